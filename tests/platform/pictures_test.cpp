#include "platform/pictures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <vector>

#include "test_support.h"

namespace kovan {
namespace {

using Bytes = std::vector<std::uint8_t>;

void PutLe(Bytes& out, std::uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// A bitmap file put together field by field: pixel data as it is stored.
Bytes BmpFile(int bits, int width, int height, std::uint32_t compression,
              const std::vector<Rgb>& palette, const Bytes& data) {
  const std::uint32_t offset = 54 + 4 * static_cast<std::uint32_t>(palette.size());
  Bytes out = {'B', 'M'};
  PutLe(out, offset + static_cast<std::uint32_t>(data.size()), 4);
  PutLe(out, 0, 4);
  PutLe(out, offset, 4);
  PutLe(out, 40, 4);
  PutLe(out, static_cast<std::uint32_t>(width), 4);
  PutLe(out, static_cast<std::uint32_t>(height), 4);  // negative: top-down
  PutLe(out, 1, 2);
  PutLe(out, static_cast<std::uint32_t>(bits), 2);
  PutLe(out, compression, 4);
  PutLe(out, static_cast<std::uint32_t>(data.size()), 4);
  PutLe(out, 2835, 4);
  PutLe(out, 2835, 4);
  PutLe(out, static_cast<std::uint32_t>(palette.size()), 4);
  PutLe(out, 0, 4);
  for (Rgb c : palette) PutLe(out, c, 4);  // blue, green, red, zero
  out.insert(out.end(), data.begin(), data.end());
  return out;
}

// An uncompressed bitmap; rows are in file order and get padded to four bytes.
Bytes Bmp(int bits, int width, int height, const std::vector<Rgb>& palette,
          const std::vector<Bytes>& rows) {
  Bytes data;
  for (const Bytes& row : rows) {
    data.insert(data.end(), row.begin(), row.end());
    while (data.size() % 4 != 0) data.push_back(0);
  }
  return BmpFile(bits, width, height, 0, palette, data);
}

// The pixels of a decoded picture, top row first, after checking its size.
std::vector<Rgb> Decoded(const Bytes& file, int w, int h) {
  auto r = DecodePicture(file);
  if (!r.ok()) {
    ADD_FAILURE() << r.error();
    return {};
  }
  EXPECT_EQ(r->Width(), w);
  EXPECT_EQ(r->Height(), h);
  return r->Pixels();
}

Surface Pattern(int w, int h) {
  Surface s(w, h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) s.SetPoint(x, y, MakeRgb(x * 37 + y, y * 53 + 7, x ^ y));
  }
  return s;
}

// Four flat 16 x 16 quadrants, so chroma subsampling can't smear the centres.
Surface Quadrants() {
  Surface s(32, 32);
  s.FillBox(0, 0, 16, 16, MakeRgb(200, 30, 30));
  s.FillBox(16, 0, 32, 16, MakeRgb(30, 180, 40));
  s.FillBox(0, 16, 16, 32, MakeRgb(40, 50, 210));
  s.FillBox(16, 16, 32, 32, MakeRgb(230, 230, 230));
  return s;
}

void ExpectNear(Rgb got, Rgb want, int tolerance) {
  EXPECT_NEAR(RedOf(got), RedOf(want), tolerance);
  EXPECT_NEAR(GreenOf(got), GreenOf(want), tolerance);
  EXPECT_NEAR(BlueOf(got), BlueOf(want), tolerance);
}

bool HasMarker(const Bytes& jpeg, std::uint8_t marker) {
  for (std::size_t i = 0; i + 1 < jpeg.size(); ++i) {
    if (jpeg[i] == 0xFF && jpeg[i + 1] == marker) return true;
  }
  return false;
}

TEST(DecodeBmp, PaletteDepths) {
  const Rgb p0 = 0x102030, p1 = 0xA0B0C0, p2 = 0x00FF7F;
  // 1 bit: rows bottom first; the high bit is the leftmost pixel.
  EXPECT_EQ(Decoded(Bmp(1, 3, 2, {p0, p1}, {{0xA0}, {0x60}}), 3, 2),
            (std::vector<Rgb>{p0, p1, p1, p1, p0, p1}));

  std::vector<Rgb> sixteen;
  for (int i = 0; i < 16; ++i) sixteen.push_back(MakeRgb(i * 16, 255 - i * 16, i));
  EXPECT_EQ(
      Decoded(Bmp(4, 3, 2, sixteen, {{0xF0, 0x70}, {0x12, 0x30}}), 3, 2),
      (std::vector<Rgb>{sixteen[1], sixteen[2], sixteen[3], sixteen[15], sixteen[0], sixteen[7]}));

  // A short palette: only the colours used are stored.
  EXPECT_EQ(Decoded(Bmp(8, 3, 2, {p0, p1, p2}, {{2, 2, 0}, {0, 1, 2}}), 3, 2),
            (std::vector<Rgb>{p0, p1, p2, p2, p2, p0}));
}

TEST(DecodeBmp, RunLengthEncoded8Bit) {
  const Rgb p0 = 0x000000, p1 = 0x4080C0, p2 = 0xFFFFFF;
  const Bytes rle = {
      0x04, 0x01,                          // bottom row: four of colour 1
      0x00, 0x00,                          // end of line
      0x00, 0x04, 0x00, 0x01, 0x02, 0x00,  // top row: four given one by one
      0x00, 0x01,                          // end of bitmap
  };
  const std::uint32_t kRle8 = 1;
  EXPECT_EQ(Decoded(BmpFile(8, 4, 2, kRle8, {p0, p1, p2}, rle), 4, 2),
            (std::vector<Rgb>{p0, p1, p2, p0, p1, p1, p1, p1}));
}

TEST(DecodeBmp, TrueColourLayouts) {
  // 24 bits, top-down: rows top first, each padded from 6 to 8 bytes.
  const std::vector<Bytes> rows = {{1, 2, 3, 4, 5, 6}, {0xFF, 0, 0, 0, 0, 0xFF}};
  EXPECT_EQ(Decoded(Bmp(24, 2, -2, {}, rows), 2, 2),
            (std::vector<Rgb>{0x030201, 0x060504, 0x0000FF, 0xFF0000}));
  // 32 bits: the fourth byte is not part of the colour.
  EXPECT_EQ(Decoded(Bmp(32, 2, 1, {}, {{0x10, 0x20, 0x30, 0, 0x40, 0x50, 0x60, 0xFF}}), 2, 1),
            (std::vector<Rgb>{0x302010, 0x605040}));
}

TEST(DecodeBmp, Encoded24BitRoundTripsEveryRowPadding) {
  for (int w = 1; w <= 5; ++w) {
    const Surface original = Pattern(w, 3);
    const Bytes bmp = EncodeBmp24(original);
    const std::size_t stride = (w * 3 + 3) / 4 * 4;
    ASSERT_EQ(bmp.size(), 54 + stride * 3);
    EXPECT_EQ(bmp[28], 24);  // bits per pixel
    auto decoded = DecodePicture(bmp);
    ASSERT_TRUE(decoded.ok()) << decoded.error();
    EXPECT_EQ(decoded->Pixels(), original.Pixels()) << "width " << w;
  }
  EXPECT_TRUE(EncodeBmp24(Surface()).empty());
}

TEST(DecodeJpeg, VariantsKeepTheirColours) {
  const Surface original = Quadrants();
  struct Variant {
    bool progressive;
    std::uint8_t frameMarker;
  };
  for (const Variant& v : {Variant{false, 0xC0}, Variant{true, 0xC2}}) {
    const Bytes jpeg = EncodeJpeg(original, 90, v.progressive);
    ASSERT_FALSE(jpeg.empty());
    EXPECT_TRUE(HasMarker(jpeg, v.frameMarker)) << "progressive " << v.progressive;
    auto decoded = DecodePicture(jpeg);
    ASSERT_TRUE(decoded.ok()) << decoded.error();
    ASSERT_EQ(decoded->Width(), 32);
    ASSERT_EQ(decoded->Height(), 32);
    for (auto [x, y] : {std::pair{8, 8}, {24, 8}, {8, 24}, {24, 24}}) {
      ExpectNear(decoded->Point(x, y), original.Point(x, y), 10);
    }
  }

  const Bytes grey = EncodeJpeg(original, 90, false, true);
  auto decoded = DecodePicture(grey);
  ASSERT_TRUE(decoded.ok()) << decoded.error();
  // Luma of the red quadrant: 0.299 * 200 + 0.587 * 30 + 0.114 * 30.
  const Rgb red = decoded->Point(8, 8);
  EXPECT_EQ(RedOf(red), GreenOf(red));
  EXPECT_EQ(GreenOf(red), BlueOf(red));
  EXPECT_NEAR(RedOf(red), 81, 4);
  ExpectNear(decoded->Point(24, 24), 0xE6E6E6, 4);
  EXPECT_TRUE(EncodeJpeg(Surface(), 90).empty());
}

TEST(DecodePicture, BadInputIsAnError) {
  EXPECT_FALSE(DecodePicture({}).ok());
  EXPECT_FALSE(DecodePicture({'h', 'e', 'l', 'l', 'o'}).ok());
  EXPECT_FALSE(DecodePicture({'B', 'M'}).ok());
  EXPECT_FALSE(DecodePicture({0xFF, 0xD8, 0xFF}).ok());

  // Sizes the decoder must not even try to allocate.
  for (auto [w, h] : {std::pair{100000, 10}, {10, -100000}, {0, 5}, {5, 0}, {-3, 5}}) {
    auto r = DecodePicture(Bmp(24, w, h, {}, {{1, 2, 3}}));
    ASSERT_FALSE(r.ok()) << w << " x " << h;
    EXPECT_NE(r.error().find("size"), std::string::npos) << r.error();
  }
  Bytes zeroHeight = EncodeJpeg(Quadrants(), 80);
  for (std::size_t i = 0; i + 8 < zeroHeight.size(); ++i) {
    if (zeroHeight[i] == 0xFF && zeroHeight[i + 1] == 0xC0) {
      zeroHeight[i + 5] = 0;  // frame height
      zeroHeight[i + 6] = 0;
      break;
    }
  }
  EXPECT_FALSE(DecodePicture(zeroHeight).ok());
}

// Every cut of a file either fails cleanly or gives a picture of the right
// size (a cut JPEG decodes with its missing part filled in).
TEST(DecodePicture, CutFilesNeverCrash) {
  const Bytes bmp = EncodeBmp24(Pattern(13, 7));
  for (std::size_t n = 0; n < bmp.size(); ++n) {
    auto r = DecodePicture(Bytes(bmp.begin(), bmp.begin() + n));
    EXPECT_FALSE(r.ok()) << "a bitmap cut at " << n << " decoded";
  }
  for (bool progressive : {false, true}) {
    const Bytes jpeg = EncodeJpeg(Pattern(40, 24), 75, progressive);
    for (std::size_t n = 0; n < jpeg.size(); ++n) {
      auto r = DecodePicture(Bytes(jpeg.begin(), jpeg.begin() + n));
      if (r.ok()) {
        EXPECT_EQ(r->Width(), 40);
        EXPECT_EQ(r->Height(), 24);
      }
    }
  }
}

TEST(LoadPicture, ReadsFilesAndNamesThePathInErrors) {
  testing::TempDir dir;
  const std::string path = dir.path() + "pic.bmp";
  const Surface original = Pattern(6, 4);
  const Bytes bmp = EncodeBmp24(original);
  std::ofstream(path, std::ios::binary) << std::string(bmp.begin(), bmp.end());
  auto loaded = LoadPicture(path);
  ASSERT_TRUE(loaded.ok()) << loaded.error();
  EXPECT_EQ(loaded->Pixels(), original.Pixels());

  auto missing = LoadPicture(dir.path() + "none.jpg");
  ASSERT_FALSE(missing.ok());
  EXPECT_EQ(missing.error().rfind(dir.path() + "none.jpg: ", 0), 0u) << missing.error();

  const std::string junk = dir.path() + "junk.bmp";
  std::ofstream(junk, std::ios::binary) << "BMnot really";
  auto bad = LoadPicture(junk);
  ASSERT_FALSE(bad.ok());
  EXPECT_EQ(bad.error().rfind(junk + ": ", 0), 0u) << bad.error();
}

TEST(SavePng, WritesAPngOfTheSurfaceSize) {
  testing::TempDir dir;
  const std::string path = dir.path() + "shot.png";
  ASSERT_TRUE(SavePng(Pattern(300, 2), path).ok());
  std::ifstream in(path, std::ios::binary);
  const Bytes png((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_GT(png.size(), 24u);
  const Bytes signature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  EXPECT_TRUE(std::equal(signature.begin(), signature.end(), png.begin()));
  // IHDR: big-endian width and height.
  EXPECT_EQ((png[18] << 8) | png[19], 300);
  EXPECT_EQ((png[22] << 8) | png[23], 2);

  EXPECT_FALSE(SavePng(Surface(), dir.path() + "empty.png").ok());
  EXPECT_FALSE(SavePng(Pattern(2, 2), dir.path() + "no/such/dir.png").ok());
}

}  // namespace
}  // namespace kovan
