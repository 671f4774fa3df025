// Pictures are sized by their decoders' own header readers before a pixel
// is decoded: at the size limit they decode, one pixel beyond it they are
// refused from the header alone.
#include <gtest/gtest.h>

#include "hostile_pictures.h"
#include "platform/pictures.h"

namespace kovan {
namespace {

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

}  // namespace
}  // namespace kovan
