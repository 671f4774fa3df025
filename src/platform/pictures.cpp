#include "platform/pictures.h"

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>

// After <cstdio>: jpeglib.h needs size_t and FILE declared before it.
#include <jpeglib.h>

namespace kovan {

namespace {

using SurfacePtr = std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)>;

struct RwCloser {
  void operator()(SDL_RWops* rw) const { SDL_RWclose(rw); }
};
using RwPtr = std::unique_ptr<SDL_RWops, RwCloser>;

enum class Kind { kBmp, kJpeg };

std::uint32_t ReadLe(const std::vector<std::uint8_t>& b, std::size_t at, int bytes) {
  std::uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | b[at + i];
  return v;
}

std::uint32_t ReadBe16(const std::vector<std::uint8_t>& b, std::size_t at) {
  return (static_cast<std::uint32_t>(b[at]) << 8) | b[at + 1];
}

struct Size {
  long long w = 0;
  long long h = 0;
};

// The size a bitmap's header gives (a negative height means top-down).
Result<Size> BmpSize(const std::vector<std::uint8_t>& b) {
  if (b.size() < 26) return Result<Size>::Error("truncated BMP header");
  const std::uint32_t headerSize = ReadLe(b, 14, 4);
  if (headerSize == 12) {  // the old OS/2 core header
    return Size{ReadLe(b, 18, 2), ReadLe(b, 20, 2)};
  }
  const auto w = static_cast<std::int32_t>(ReadLe(b, 18, 4));
  const auto h = static_cast<std::int32_t>(ReadLe(b, 22, 4));
  return Size{w, h < 0 ? -static_cast<long long>(h) : h};
}

// The size in a JPEG's frame header, found by walking the markers.
Result<Size> JpegSize(const std::vector<std::uint8_t>& b) {
  std::size_t at = 2;
  while (true) {
    while (at < b.size() && b[at] == 0xFF) ++at;  // fill bytes
    if (at >= b.size()) break;
    const std::uint8_t marker = b[at++];
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) continue;  // no length
    if (marker == 0xD9 || marker == 0xDA) {
      return Result<Size>::Error("JPEG has no frame header before its image data");
    }
    if (at + 2 > b.size()) break;
    const std::uint32_t length = ReadBe16(b, at);
    const bool frame =
        marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
    if (frame) {
      if (at + 7 > b.size()) break;
      return Size{ReadBe16(b, at + 5), ReadBe16(b, at + 3)};
    }
    if (length < 2) return Result<Size>::Error("corrupt JPEG marker segment");
    at += length;
  }
  return Result<Size>::Error("truncated JPEG header");
}

std::string CheckSize(const Size& s) {
  if (s.w <= 0 || s.h <= 0 || s.w > kMaxSurfaceSide || s.h > kMaxSurfaceSide) {
    return "unsupported picture size " + std::to_string(s.w) + " x " + std::to_string(s.h);
  }
  return {};
}

std::string SdlError(const char* what) { return std::string(what) + ": " + SDL_GetError(); }

}  // namespace

Result<Surface> DecodePicture(const std::vector<std::uint8_t>& bytes) {
  if (bytes.empty()) return Result<Surface>::Error("empty picture file");
  Kind kind;
  if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M') {
    kind = Kind::kBmp;
  } else if (bytes.size() >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF) {
    kind = Kind::kJpeg;
  } else {
    return Result<Surface>::Error("not a BMP or JPEG picture");
  }
  // Refuse absurd sizes before the decoder tries to allocate them.
  const auto size = kind == Kind::kBmp ? BmpSize(bytes) : JpegSize(bytes);
  if (!size) return Result<Surface>::Error(size.error());
  if (auto bad = CheckSize(size.value()); !bad.empty()) return Result<Surface>::Error(bad);

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
  if (auto bad = CheckSize({decoded->w, decoded->h}); !bad.empty()) {
    return Result<Surface>::Error(bad);
  }
  SurfacePtr rgb(SDL_ConvertSurfaceFormat(decoded.get(), SDL_PIXELFORMAT_RGB888, 0),
                 SDL_FreeSurface);
  if (!rgb) return Result<Surface>::Error(SdlError("cannot convert picture"));
  if (SDL_LockSurface(rgb.get()) != 0) {
    return Result<Surface>::Error(SdlError("cannot read picture pixels"));
  }
  Surface out(rgb->w, rgb->h);
  for (int y = 0; y < rgb->h; ++y) {
    const auto* in = reinterpret_cast<const std::uint32_t*>(
        static_cast<const std::uint8_t*>(rgb->pixels) + static_cast<std::size_t>(y) * rgb->pitch);
    Rgb* row = out.Row(y);
    for (int x = 0; x < rgb->w; ++x) row[x] = in[x] & 0x00FFFFFF;
  }
  SDL_UnlockSurface(rgb.get());
  return out;
}

Result<Surface> LoadPicture(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return Result<Surface>::Error(path + ": cannot open the file");
  std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
  if (in.bad()) return Result<Surface>::Error(path + ": cannot read the file");
  auto decoded = DecodePicture(bytes);
  if (!decoded) return Result<Surface>::Error(path + ": " + decoded.error());
  return decoded;
}

// --- Encoders ----------------------------------------------------------------

namespace {

void PutLe(std::vector<std::uint8_t>& out, std::uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// libjpeg reports fatal errors through a callback that must not return.
struct JpegErrorJump {
  jpeg_error_mgr mgr;
  std::jmp_buf jump;
};

[[noreturn]] void JpegErrorExit(j_common_ptr cinfo) {
  std::longjmp(reinterpret_cast<JpegErrorJump*>(cinfo->err)->jump, 1);
}

void JpegQuiet(j_common_ptr) {}

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
