// Pictures are sized by their decoders' own header readers before a pixel
// is decoded: a file claiming more than the game takes is refused at once,
// whatever stands in front of its real frame header.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>

#include "engine/data_files.h"
#include "hostile_pictures.h"
#include "platform/pictures.h"

namespace kovan {
namespace {

using testing::BmpHeaderClaiming;
using testing::JpegClaiming;
using testing::PictureBytes;

struct LimitCase {
  const char* name;
  std::function<PictureBytes()> bytes;
  int width;            // of the decoded picture; 0 = refused
  const char* refusal;  // part of the error when refused
};

void PrintTo(const LimitCase& c, std::ostream* out) { *out << c.name; }

class PictureLimits : public ::testing::TestWithParam<LimitCase> {};

TEST_P(PictureLimits, RefusedBeforeDecodingOrDecodedWhole) {
  const LimitCase& c = GetParam();
  const PictureBytes bytes = c.bytes();
  const auto start = std::chrono::steady_clock::now();
  const Result<Surface> r = DecodePicture(bytes);
  const auto took = std::chrono::steady_clock::now() - start;
  if (c.width == 0) {
    ASSERT_FALSE(r.ok());
    EXPECT_NE(r.error().find(c.refusal), std::string::npos) << r.error();
    // Refused from the header alone, not after a decoder's attempt.
    EXPECT_LT(took, std::chrono::milliseconds(200));
  } else {
    ASSERT_TRUE(r.ok()) << r.error();
    EXPECT_EQ(r->Width(), c.width);
    EXPECT_EQ(r->Height(), 1);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, PictureLimits,
    ::testing::Values(
        LimitCase{"JpegAtTheLimit", [] { return JpegClaiming(kMaxPictureSide, 1); },
                  kMaxPictureSide, ""},
        LimitCase{"JpegOneWider", [] { return JpegClaiming(kMaxPictureSide + 1, 1); }, 0,
                  "4097 x 1 pixels, beyond"},
        LimitCase{"JpegOneTaller", [] { return JpegClaiming(1, kMaxPictureSide + 1); }, 0,
                  "1 x 4097 pixels, beyond"},
        LimitCase{"JpegSixteenThousandSquare", [] { return JpegClaiming(16384, 16384); }, 0,
                  "16384 x 16384"},
        LimitCase{"JpegDecoyFrame", testing::JpegWithDecoyFrame, 0, "64370 x 42761 pixels"},
        LimitCase{"BmpAtTheLimit",
                  [] {
                    PictureBytes b = BmpHeaderClaiming(24, kMaxPictureSide, 1);
                    b.resize(b.size() + kMaxPictureSide * 3, 0x40);
                    return b;
                  },
                  kMaxPictureSide, ""},
        LimitCase{"BmpOneWider", [] { return BmpHeaderClaiming(24, kMaxPictureSide + 1, 1); },
                  0, "4097 x 1 pixels, beyond"},
        LimitCase{"OneBitBmpSixteenThousandSquare",
                  [] { return BmpHeaderClaiming(1, 16384, 16384); }, 0,
                  "BMP picture of 16384 x 16384"},
        LimitCase{"BmpTopDownTooTall",
                  [] { return BmpHeaderClaiming(8, 1, -(kMaxPictureSide + 1)); }, 0,
                  "1 x 4097"}),
    [](const ::testing::TestParamInfo<LimitCase>& info) { return std::string(info.param.name); });

// A picture of one kind where the game expects the other is named for what
// it is, whether or not its header is scrambled; a place or a plain picture
// is taken by its content.
TEST(DataPicture, TheWrongKindIsNamed) {
  const Surface picture(4, 4, MakeRgb(1, 2, 3));
  const PictureBytes jpeg = EncodeJpeg(picture, 90);
  const PictureBytes bmp = EncodeBmp24(picture);
  const struct {
    const char* name;
    PictureBytes bytes;
    const char* refusal;
  } cases[] = {
      {"60.dat", testing::Scrambled(jpeg), "a JPEG picture where a BMP picture belongs"},
      {"11.dat", jpeg, "a JPEG picture where a BMP picture belongs"},
      {"p3.dat", testing::Scrambled(bmp), "a BMP picture where a JPEG picture belongs"},
      {"60.dat", testing::Scrambled(bmp), ""},
      {"P14.DAT", testing::Scrambled(jpeg), ""},
      {"61.dat", jpeg, ""},
  };
  for (const auto& c : cases) {
    const Result<Surface> r = DecodeDataPicture(c.name, c.bytes);
    if (c.refusal[0] == '\0') {
      ASSERT_TRUE(r.ok()) << c.name << ": " << r.error();
      EXPECT_EQ(r->Width(), 4);
    } else {
      ASSERT_FALSE(r.ok()) << c.name;
      EXPECT_EQ(r.error(), c.refusal) << c.name;
    }
  }
}

}  // namespace
}  // namespace kovan
