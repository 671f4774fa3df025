#include "platform/pictures.h"

#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>

#include <vector>

#include "hostile_pictures.h"
#include "pixels.h"
#include "platform/files.h"
#include "test_support.h"

namespace kovan {
namespace {

using Bytes = std::vector<std::uint8_t>;
using testing::Matches;
using testing::Pattern;

void PutLe(Bytes& out, std::uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// A bitmap file put together field by field. Rows are in file order, each
// padded to four bytes unless the data is compressed.
Bytes Bmp(int bits, int width, int height, const std::vector<Rgb>& palette,
          const std::vector<Bytes>& rows, std::uint32_t compression = 0) {
  Bytes data;
  for (const Bytes& row : rows) {
    data.insert(data.end(), row.begin(), row.end());
    while (compression == 0 && data.size() % 4 != 0) data.push_back(0);
  }
  const std::uint32_t offset = 54 + 4 * static_cast<std::uint32_t>(palette.size());
  Bytes out = {'B', 'M'};
  for (std::uint32_t v : {offset + static_cast<std::uint32_t>(data.size()), 0u, offset, 40u,
                          static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height)}) {
    PutLe(out, v, 4);
  }
  PutLe(out, 1, 2);
  PutLe(out, static_cast<std::uint32_t>(bits), 2);
  for (std::uint32_t v : {compression, static_cast<std::uint32_t>(data.size()), 2835u, 2835u,
                          static_cast<std::uint32_t>(palette.size()), 0u}) {
    PutLe(out, v, 4);
  }
  for (Rgb c : palette) PutLe(out, c, 4);  // blue, green, red, zero
  out.insert(out.end(), data.begin(), data.end());
  return out;
}

// The pixels of a decoded picture, top row first, after checking its size.
std::vector<Rgb> Decoded(const Bytes& file, int w, int h) {
  auto r = DecodePicture(file);
  if (!r.ok()) {
    ADD_FAILURE() << r.error();
    return {};
  }
  EXPECT_EQ(std::vector<int>({r->Width(), r->Height()}), std::vector<int>({w, h}));
  return r->Pixels();
}

TEST(DecodeBmp, EveryStoredLayout) {
  const Rgb p0 = 0x102030, p1 = 0xA0B0C0, p2 = 0x00FF7F;
  // 1 bit: rows bottom first; the high bit is the leftmost pixel.
  EXPECT_EQ(Decoded(Bmp(1, 3, 2, {p0, p1}, {{0xA0}, {0x60}}), 3, 2),
            (std::vector<Rgb>{p0, p1, p1, p1, p0, p1}));
  std::vector<Rgb> pal(16);
  for (int i = 0; i < 16; ++i) pal[i] = MakeRgb(i * 16, 255 - i * 16, i);
  EXPECT_EQ(Decoded(Bmp(4, 3, 2, pal, {{0xF0, 0x70}, {0x12, 0x30}}), 3, 2),
            (std::vector<Rgb>{pal[1], pal[2], pal[3], pal[15], pal[0], pal[7]}));
  // 8 bits with a short palette: only the colours used are stored.
  EXPECT_EQ(Decoded(Bmp(8, 3, 2, {p0, p1, p2}, {{2, 2, 0}, {0, 1, 2}}), 3, 2),
            (std::vector<Rgb>{p0, p1, p2, p2, p2, p0}));
  // Run-length coded: a run of four, end of line, four literal, end.
  const Bytes rle = {0x04, 0x01, 0x00, 0x00, 0x00, 0x04, 0x00, 0x01, 0x02, 0x00, 0x00, 0x01};
  EXPECT_EQ(Decoded(Bmp(8, 4, 2, {kBlack, p1, kWhite}, {rle}, 1), 4, 2),
            (std::vector<Rgb>{kBlack, p1, kWhite, kBlack, p1, p1, p1, p1}));
  // 24 bits top-down (negative height); 32 bits, the fourth byte no colour.
  EXPECT_EQ(Decoded(Bmp(24, 2, -2, {}, {{1, 2, 3, 4, 5, 6}, {0xFF, 0, 0, 0, 0, 0xFF}}), 2, 2),
            (std::vector<Rgb>{0x030201, 0x060504, 0x0000FF, 0xFF0000}));
  EXPECT_EQ(Decoded(Bmp(32, 2, 1, {}, {{0x10, 0x20, 0x30, 0, 0x40, 0x50, 0x60, 0xFF}}), 2, 1),
            (std::vector<Rgb>{0x302010, 0x605040}));
}

TEST(DecodeBmp, Encoded24BitRoundTripsEveryRowPadding) {
  for (int w = 1; w <= 5; ++w) {
    const Surface original = Pattern(w, 3, 7);
    const Bytes bmp = EncodeBmp24(original);
    ASSERT_EQ(bmp.size(), 54 + (w * 3 + 3) / 4 * 4 * 3);
    EXPECT_EQ(Decoded(bmp, w, 3), original.Pixels()) << "width " << w;
  }
  EXPECT_TRUE(EncodeBmp24(Surface()).empty());
}

// Four flat quadrants, so chroma subsampling can't smear the centres.
TEST(DecodeJpeg, VariantsKeepTheirColours) {
  Surface original(32, 32);
  const Rgb quadrants[] = {MakeRgb(200, 30, 30), MakeRgb(30, 180, 40), MakeRgb(40, 50, 210), 0xE6E6E6};
  for (int q = 0; q < 4; ++q) {
    original.FillBox(q % 2 * 16, q / 2 * 16, q % 2 * 16 + 16, q / 2 * 16 + 16, quadrants[q]);
  }
  const auto near = [](Rgb got, Rgb want, int tolerance) {
    return std::abs(RedOf(got) - RedOf(want)) <= tolerance &&
           std::abs(GreenOf(got) - GreenOf(want)) <= tolerance &&
           std::abs(BlueOf(got) - BlueOf(want)) <= tolerance;
  };
  for (bool progressive : {false, true}) {
    const Bytes jpeg = EncodeJpeg(original, 90, progressive);
    const std::uint8_t frame[] = {0xFF, static_cast<std::uint8_t>(progressive ? 0xC2 : 0xC0)};
    EXPECT_NE(std::search(jpeg.begin(), jpeg.end(), frame, frame + 2), jpeg.end());
    auto decoded = DecodePicture(jpeg);
    ASSERT_TRUE(decoded.ok()) << decoded.error();
    for (auto [x, y] : {std::pair{8, 8}, {24, 8}, {8, 24}, {24, 24}}) {
      EXPECT_TRUE(near(decoded->Point(x, y), original.Point(x, y), 10)) << x << "," << y;
    }
  }
  // Greyscale: the luma of the red quadrant, 0.299 * 200 + 0.587 * 30 + 0.114 * 30.
  auto grey = DecodePicture(EncodeJpeg(original, 90, false, true));
  ASSERT_TRUE(grey.ok()) << grey.error();
  EXPECT_TRUE(near(grey->Point(8, 8), MakeRgb(81, 81, 81), 4));
  EXPECT_TRUE(near(grey->Point(24, 24), 0xE6E6E6, 4));
  EXPECT_TRUE(EncodeJpeg(Surface(), 90).empty());
}

// The game decodes JPEGs itself, row by row into the picture; the picture
// library's own decoding is the oracle, pixel for pixel, whole or cut off.
TEST(DecodeJpeg, MatchesThePictureLibrary) {
  const Surface original = Pattern(61, 45, 3);
  for (const bool progressive : {false, true}) {
    for (const bool grey : {false, true}) {
      Bytes jpeg = EncodeJpeg(original, 75, progressive, grey);
      for (const std::size_t keep : {jpeg.size(), jpeg.size() * 2 / 3}) {
        jpeg.resize(keep);
        const Result<Surface> ours = DecodePicture(jpeg);
        SDL_RWops* rw = SDL_RWFromConstMem(jpeg.data(), static_cast<int>(jpeg.size()));
        SDL_Surface* theirs = IMG_LoadJPG_RW(rw);
        SDL_RWclose(rw);
        // A cut that falls inside a table is an error for both.
        ASSERT_EQ(ours.ok(), theirs != nullptr) << progressive << grey << keep;
        if (theirs == nullptr) continue;
        SDL_Surface* rgb = SDL_ConvertSurfaceFormat(theirs, SDL_PIXELFORMAT_RGB888, 0);
        EXPECT_TRUE(Matches(*ours, [&](int x, int y) {
          return static_cast<const Rgb*>(rgb->pixels)[y * rgb->pitch / 4 + x] & 0xFFFFFF;
        })) << progressive << grey << keep;
        SDL_FreeSurface(rgb);
        SDL_FreeSurface(theirs);
      }
    }
  }
}

TEST(DecodePicture, BadInputIsAnError) {
  for (const Bytes& junk : {Bytes{}, Bytes{'h', 'e', 'l', 'l', 'o'}, Bytes{'B', 'M'},
                            Bytes{0xFF, 0xD8, 0xFF}, testing::JpegClaiming(8, 0)}) {
    EXPECT_FALSE(DecodePicture(junk).ok());
  }
  // Sizes the decoder must not even try to allocate.
  for (auto [w, h] : {std::pair{100000, 10}, {10, -100000}, {0, 5}, {5, 0}, {-3, 5}}) {
    auto r = DecodePicture(Bmp(24, w, h, {}, {{1, 2, 3}}));
    ASSERT_FALSE(r.ok()) << w << " x " << h;
    EXPECT_NE(r.error().find("size"), std::string::npos) << r.error();
  }
}

// Pictures are sized by their decoders' own header readers before a pixel
// is decoded: at the size limit they decode, one pixel beyond it they are
// refused from the header alone.
TEST(PictureLimits, TheLargestSideDecodesOneMoreIsRefused) {
  constexpr int kMax = kMaxPictureSide;
  testing::PictureBytes bmpAtLimit = testing::BmpHeaderClaiming(24, kMax, 1);
  bmpAtLimit.resize(bmpAtLimit.size() + kMax * 3, 0x40);
  const struct {
    testing::PictureBytes bytes;
    int width;            // 0 = refused
    const char* refusal;  // part of the error
  } cases[] = {
      {testing::JpegClaiming(kMax, 1), kMax, ""},
      {bmpAtLimit, kMax, ""},
      {testing::JpegClaiming(kMax + 1, 1), 0, "JPEG picture of 4097 x 1 pixels, beyond"},
      {testing::BmpHeaderClaiming(24, kMax + 1, 1), 0, "BMP picture of 4097 x 1 pixels, beyond"},
      {testing::BmpHeaderClaiming(8, 1, -(kMax + 1)), 0, "BMP picture of 1 x 4097 pixels"},
  };
  for (const auto& c : cases) {
    const Result<Surface> r = DecodePicture(c.bytes);
    if (c.width != 0) {
      ASSERT_TRUE(r.ok()) << r.error();
      EXPECT_EQ(r->Width(), c.width);
    } else {
      ASSERT_FALSE(r.ok()) << c.refusal;
      EXPECT_NE(r.error().find(c.refusal), std::string::npos) << r.error();
    }
  }
}

// A picture file is read and decoded; an error names the path. A shot is
// a PNG of the surface's size.
TEST(PictureFiles, LoadAndSave) {
  testing::TempDir dir;
  const Surface original = Pattern(300, 2, 3);
  ASSERT_TRUE(WriteFileBytes(dir.path() + "pic.bmp", EncodeBmp24(original)).ok());
  auto loaded = LoadPicture(dir.path() + "pic.bmp");
  ASSERT_TRUE(loaded.ok()) << loaded.error();
  EXPECT_EQ(loaded->Pixels(), original.Pixels());
  auto missing = LoadPicture(dir.path() + "none.jpg");
  EXPECT_EQ(missing.ok() ? "" : missing.error().substr(0, dir.path().size() + 10),
            dir.path() + "none.jpg: ");

  ASSERT_TRUE(SavePng(original, dir.path() + "shot.png").ok());
  const std::string png = testing::ReadAll(dir.path() + "shot.png");
  EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1A\n");
  EXPECT_EQ(png.substr(16, 8), std::string("\0\0\x01\x2C\0\0\0\x02", 8));  // IHDR: 300 x 2
  EXPECT_FALSE(SavePng(Surface(), dir.path() + "empty.png").ok());
  EXPECT_FALSE(SavePng(original, dir.path() + "no/such/dir.png").ok());
}

}  // namespace
}  // namespace kovan
