#include "platform/pictures.h"

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>

// After <cstdio>: jpeglib.h needs size_t and FILE declared before it.
#include <jpeglib.h>

#include "platform/files.h"

namespace kovan {

namespace {

using SurfacePtr = std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)>;

struct RwCloser {
  void operator()(SDL_RWops* rw) const { SDL_RWclose(rw); }
};
using RwPtr = std::unique_ptr<SDL_RWops, RwCloser>;

using Kind = PictureKind;

struct Size {
  long long w = 0;
  long long h = 0;
};

// libjpeg reports fatal errors through a callback that must not return.
struct JpegErrorJump {
  jpeg_error_mgr mgr;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void JpegErrorExit(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<JpegErrorJump*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, err->message);
  std::longjmp(err->jump, 1);
}

void JpegQuiet(j_common_ptr) {}

// Reads the JPEG's headers with libjpeg itself, the reader the decoder
// uses, so the size checked is the size that would be decoded; with `out`,
// goes on to decode a picture of one or three components straight into it,
// a row at a time, as the picture library decodes it (RGB output, no
// quantizing, the default DCT and upsampling), with no full-size copy
// between. False with err.message set on an error; false with an empty
// message for a picture left to the library (four components). Only
// trivially destructible objects live here: the error jump skips no
// destructor.
bool ReadJpeg(const std::vector<std::uint8_t>& b, jpeg_decompress_struct& cinfo,
              JpegErrorJump& err, Size& size, Surface* out) {
  cinfo.err = jpeg_std_error(&err.mgr);
  err.mgr.error_exit = JpegErrorExit;
  err.mgr.output_message = JpegQuiet;
  if (setjmp(err.jump) != 0) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, b.data(), static_cast<unsigned long>(b.size()));
  jpeg_read_header(&cinfo, TRUE);
  size = Size{cinfo.image_width, cinfo.image_height};
  if (out == nullptr || cinfo.num_components == 4) {
    jpeg_destroy_decompress(&cinfo);
    return out == nullptr;
  }
  // Blue, green, red and a spare byte: a surface pixel's bytes in memory.
  cinfo.out_color_space = JCS_EXT_BGRX;
  cinfo.quantize_colors = FALSE;
  jpeg_start_decompress(&cinfo);
  out->Resize(static_cast<int>(cinfo.output_width), static_cast<int>(cinfo.output_height));
  while (cinfo.output_scanline < cinfo.output_height) {
    Rgb* row = out->Row(static_cast<int>(cinfo.output_scanline));
    JSAMPROW rows[1] = {reinterpret_cast<JSAMPROW>(row)};
    jpeg_read_scanlines(&cinfo, rows, 1);
    for (int x = 0; x < out->Width(); ++x) row[x] &= 0x00FFFFFF;
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return true;
}

Result<Size> JpegSize(const std::vector<std::uint8_t>& b) {
  jpeg_decompress_struct cinfo{};
  JpegErrorJump err{};
  Size size;
  if (!ReadJpeg(b, cinfo, err, size, nullptr)) {
    return Result<Size>::Error(std::string("broken JPEG picture: ") + err.message);
  }
  return size;
}

// The size in a bitmap's header, read the way SDL's loader reads it: the
// old 12-byte core header has 16-bit sides, every later header 32-bit ones;
// a negative height means the rows run top-down.
Result<Size> BmpSize(const std::vector<std::uint8_t>& b) {
  constexpr std::size_t kInfoAt = 14;
  if (b.size() < kInfoAt + 12) return Result<Size>::Error("truncated BMP header");
  RwPtr rw(SDL_RWFromConstMem(b.data(), static_cast<int>(std::min<std::size_t>(b.size(), 0x7FFFFFFF))));
  if (!rw || SDL_RWseek(rw.get(), kInfoAt, RW_SEEK_SET) < 0) {
    return Result<Size>::Error(std::string("cannot read BMP header: ") + SDL_GetError());
  }
  const Uint32 headerSize = SDL_ReadLE32(rw.get());
  if (headerSize == 12) {
    const Uint16 w = SDL_ReadLE16(rw.get());
    const Uint16 h = SDL_ReadLE16(rw.get());
    return Size{w, h};
  }
  if (headerSize < 40) {
    return Result<Size>::Error("not a BMP picture (a header of " + std::to_string(headerSize) +
                               " bytes)");
  }
  const auto w = static_cast<std::int32_t>(SDL_ReadLE32(rw.get()));
  const auto h = static_cast<std::int32_t>(SDL_ReadLE32(rw.get()));
  return Size{w, h < 0 ? -static_cast<long long>(h) : h};
}

std::string CheckSize(Kind kind, const Size& s, int maxSide) {
  const std::string picture =
      std::string(PictureKindName(kind)) + " picture of " + std::to_string(s.w) + " x " +
      std::to_string(s.h) + " pixels";
  if (s.w <= 0 || s.h <= 0) return "a " + picture + ", an impossible size";
  if (s.w > maxSide || s.h > maxSide) {
    return "a " + picture + ", beyond the largest size the game takes (" +
           std::to_string(maxSide) + " x " + std::to_string(maxSide) + ")";
  }
  return {};
}

std::string SdlError(const char* what) { return std::string(what) + ": " + SDL_GetError(); }

}  // namespace

Result<Surface> DecodePicture(std::vector<std::uint8_t> bytes, int maxSide) {
  maxSide = std::min(maxSide, kMaxPictureSide);
  if (bytes.empty()) return Result<Surface>::Error("empty picture file");
  Kind kind;
  if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M') {
    kind = Kind::kBmp;
  } else if (bytes.size() >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF) {
    kind = Kind::kJpeg;
  } else {
    return Result<Surface>::Error("not a BMP or JPEG picture");
  }
  // Refuse absurd sizes before the decoder allocates anything for them.
  const auto size = kind == Kind::kBmp ? BmpSize(bytes) : JpegSize(bytes);
  if (!size) return Result<Surface>::Error(size.error());
  if (auto bad = CheckSize(kind, size.value(), maxSide); !bad.empty()) return Result<Surface>::Error(bad);

  if (kind == Kind::kJpeg) {
    jpeg_decompress_struct cinfo{};
    JpegErrorJump err{};
    Size decoded;
    Surface out;
    if (ReadJpeg(bytes, cinfo, err, decoded, &out)) return out;
    if (err.message[0] != '\0') {
      return Result<Surface>::Error(std::string("cannot decode JPEG: ") + err.message);
    }
  }
  if (kind == Kind::kJpeg && (IMG_Init(IMG_INIT_JPG) & IMG_INIT_JPG) == 0) {
    return Result<Surface>::Error(SdlError("cannot start the JPEG decoder"));
  }
  RwPtr rw(SDL_RWFromConstMem(bytes.data(),
                              static_cast<int>(std::min<std::size_t>(bytes.size(), 0x7FFFFFFF))));
  if (!rw) return Result<Surface>::Error(SdlError("cannot read picture"));
  SurfacePtr decoded(kind == Kind::kBmp ? IMG_LoadBMP_RW(rw.get()) : IMG_LoadJPG_RW(rw.get()),
                     SDL_FreeSurface);
  if (!decoded) {
    return Result<Surface>::Error(
        SdlError(kind == Kind::kBmp ? "cannot decode BMP" : "cannot decode JPEG"));
  }
  rw.reset();
  std::vector<std::uint8_t>().swap(bytes);
  if (auto bad = CheckSize(kind, {decoded->w, decoded->h}, maxSide); !bad.empty()) {
    return Result<Surface>::Error(bad);
  }
  // Pixels of a palette go through SDL's own conversion; all others are
  // converted straight into the surface's store, with no copy between.
  if (SDL_ISPIXELFORMAT_INDEXED(decoded->format->format)) {
    decoded.reset(SDL_ConvertSurfaceFormat(decoded.get(), SDL_PIXELFORMAT_RGB888, 0));
    if (!decoded) return Result<Surface>::Error(SdlError("cannot convert picture"));
  }
  if (SDL_LockSurface(decoded.get()) != 0) {
    return Result<Surface>::Error(SdlError("cannot read picture pixels"));
  }
  Surface out(decoded->w, decoded->h);
  const int converted =
      SDL_ConvertPixels(out.Width(), out.Height(), decoded->format->format, decoded->pixels,
                        decoded->pitch, SDL_PIXELFORMAT_RGB888, out.Row(0),
                        out.Width() * static_cast<int>(sizeof(Rgb)));
  SDL_UnlockSurface(decoded.get());
  if (converted != 0) return Result<Surface>::Error(SdlError("cannot convert picture"));
  for (Rgb& pixel : out.Pixels()) pixel &= 0x00FFFFFF;
  return out;
}

std::optional<PictureKind> PictureKindAfterSignature(const std::vector<std::uint8_t>& bytes) {
  // A JPEG goes on with the marker of its next segment; a bitmap, after
  // its file size, reserved words and pixel offset, with the size of its
  // info header.
  if (bytes.size() >= 4 && bytes[2] == 0xFF && bytes[3] >= 0xC0 && bytes[3] != 0xFF) {
    return PictureKind::kJpeg;
  }
  if (bytes.size() >= 18) {
    const std::uint32_t header = static_cast<std::uint32_t>(bytes[14]) | (bytes[15] << 8) |
                                 (bytes[16] << 16) | (static_cast<std::uint32_t>(bytes[17]) << 24);
    if (header == 12 || header == 40 || header == 52 || header == 56 || header == 64 ||
        header == 108 || header == 124) {
      return PictureKind::kBmp;
    }
  }
  return std::nullopt;
}

const char* PictureKindName(PictureKind kind) { return kind == PictureKind::kBmp ? "BMP" : "JPEG"; }

Result<Surface> LoadPicture(const std::string& path) {
  auto bytes = ReadFileBytes(path);
  if (!bytes) return Result<Surface>::Error(path + ": " + bytes.error());
  auto decoded = DecodePicture(std::move(bytes.value()));
  if (!decoded) return Result<Surface>::Error(path + ": " + decoded.error());
  return decoded;
}

// --- Encoders ----------------------------------------------------------------

namespace {

void PutLe(std::vector<std::uint8_t>& out, std::uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

std::uint8_t Luma(Rgb c) {
  return static_cast<std::uint8_t>((299 * RedOf(c) + 587 * GreenOf(c) + 114 * BlueOf(c) + 500) /
                                   1000);
}

// Compresses s into a buffer libjpeg allocates. Only trivially destructible
// objects live here, so the error jump skips no destructor. On an error the
// buffer may already be gone; it is then left alone (a rare, small leak
// beats a double free).
bool CompressJpeg(jpeg_compress_struct& cinfo, JpegErrorJump& err, const Surface& s, int quality,
                  bool progressive, bool greyscale, std::uint8_t* row, unsigned char** buffer,
                  unsigned long* size) {
  cinfo.err = jpeg_std_error(&err.mgr);
  err.mgr.error_exit = JpegErrorExit;
  err.mgr.output_message = JpegQuiet;
  if (setjmp(err.jump) != 0) {
    jpeg_destroy_compress(&cinfo);
    *buffer = nullptr;
    return false;
  }
  jpeg_create_compress(&cinfo);
  jpeg_mem_dest(&cinfo, buffer, size);
  cinfo.image_width = static_cast<JDIMENSION>(s.Width());
  cinfo.image_height = static_cast<JDIMENSION>(s.Height());
  cinfo.input_components = greyscale ? 1 : 3;
  cinfo.in_color_space = greyscale ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, std::clamp(quality, 1, 100), TRUE);
  if (progressive) jpeg_simple_progression(&cinfo);
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    const Rgb* in = s.Row(static_cast<int>(cinfo.next_scanline));
    for (int x = 0; x < s.Width(); ++x) {
      if (greyscale) {
        row[x] = Luma(in[x]);
      } else {
        row[3 * x] = static_cast<std::uint8_t>(RedOf(in[x]));
        row[3 * x + 1] = static_cast<std::uint8_t>(GreenOf(in[x]));
        row[3 * x + 2] = static_cast<std::uint8_t>(BlueOf(in[x]));
      }
    }
    JSAMPROW rows[1] = {row};
    jpeg_write_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  return true;
}

}  // namespace

std::vector<std::uint8_t> EncodeBmp24(const Surface& s) {
  if (s.Empty()) return {};
  const std::uint32_t w = static_cast<std::uint32_t>(s.Width());
  const std::uint32_t h = static_cast<std::uint32_t>(s.Height());
  const std::uint32_t stride = (w * 3 + 3) & ~3u;
  const std::uint32_t imageSize = stride * h;
  std::vector<std::uint8_t> out;
  out.reserve(54 + imageSize);
  // BITMAPFILEHEADER
  out.push_back('B');
  out.push_back('M');
  PutLe(out, 54 + imageSize, 4);
  PutLe(out, 0, 4);   // reserved
  PutLe(out, 54, 4);  // offset of the pixels
  // BITMAPINFOHEADER
  PutLe(out, 40, 4);
  PutLe(out, w, 4);
  PutLe(out, h, 4);  // positive: bottom row first
  PutLe(out, 1, 2);  // planes
  PutLe(out, 24, 2);
  PutLe(out, 0, 4);  // BI_RGB
  PutLe(out, imageSize, 4);
  PutLe(out, 3780, 4);  // 96 DPI in pixels per metre
  PutLe(out, 3780, 4);
  PutLe(out, 0, 4);  // colours used
  PutLe(out, 0, 4);  // colours important
  for (int y = s.Height() - 1; y >= 0; --y) {
    const Rgb* row = s.Row(y);
    for (std::uint32_t x = 0; x < w; ++x) {
      out.push_back(static_cast<std::uint8_t>(BlueOf(row[x])));
      out.push_back(static_cast<std::uint8_t>(GreenOf(row[x])));
      out.push_back(static_cast<std::uint8_t>(RedOf(row[x])));
    }
    for (std::uint32_t pad = w * 3; pad < stride; ++pad) out.push_back(0);
  }
  return out;
}

std::vector<std::uint8_t> EncodeJpeg(const Surface& s, int quality, bool progressive,
                                     bool greyscale) {
  if (s.Empty()) return {};
  std::vector<std::uint8_t> row(static_cast<std::size_t>(s.Width()) * 3);
  jpeg_compress_struct cinfo{};
  JpegErrorJump err{};
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  if (!CompressJpeg(cinfo, err, s, quality, progressive, greyscale, row.data(), &buffer, &size)) {
    return {};
  }
  std::vector<std::uint8_t> out(buffer, buffer + size);
  std::free(buffer);
  return out;
}

Status SavePng(const Surface& s, const std::string& path) {
  if (s.Empty()) return Status::Error(path + ": a picture without pixels can't be saved");
  SurfacePtr sdl(
      SDL_CreateRGBSurfaceWithFormatFrom(const_cast<Rgb*>(s.Pixels().data()), s.Width(), s.Height(),
                                         32, s.Width() * 4, SDL_PIXELFORMAT_RGB888),
      SDL_FreeSurface);
  if (!sdl) return Status::Error(path + ": " + SdlError("cannot prepare the picture"));
  if (IMG_SavePNG(sdl.get(), path.c_str()) != 0) {
    return Status::Error(path + ": " + SdlError("cannot save PNG"));
  }
  return {};
}

}  // namespace kovan
