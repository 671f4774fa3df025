// Where the picture lands in windows of every kind, and how window points
// map to picture pixels and back.
#include "platform/viewport.h"

#include <gtest/gtest.h>

#include <optional>

namespace kovan {
namespace {

struct ViewportCase {
  const char* name;
  int windowW, windowH, drawableW, drawableH, strip;
  PixelRect picture;
  bool whole;
};

// The window at its start, full screen on the common desktops (the 150 %
// one in points over a drawable of pixels), a high-DPI window and a window
// the player made tall.
const ViewportCase kCases[] = {
    {"Window640x480", 640, 500, 640, 500, 20, {0, 20, 640, 480}, true},
    {"Full1920x1080", 1920, 1080, 1920, 1080, 0, {240, 0, 1440, 1080}, false},
    {"Full2560x1440At150", 1707, 960, 2560, 1440, 0, {320, 0, 1920, 1440}, true},
    {"Full3840x2160", 3840, 2160, 3840, 2160, 0, {480, 0, 2880, 2160}, false},
    {"WindowAt200", 640, 500, 1280, 1000, 20, {0, 40, 1280, 960}, true},
    {"TallWindow", 700, 900, 700, 900, 20, {0, 197, 700, 525}, false},
};

class ViewportTest : public ::testing::TestWithParam<ViewportCase> {};

// The picture fits below the strip in its own proportions; every picture
// pixel has a window point that maps back to it; across the window's middle
// row and column, points give the picture's pixels in order, none skipped,
// and the bars and the strip give nothing.
TEST_P(ViewportTest, PictureFitsBelowTheStripWithItsAspect) {
  const ViewportCase& c = GetParam();
  const Viewport v(c.windowW, c.windowH, c.drawableW, c.drawableH, c.strip);
  EXPECT_EQ(v.Picture(), c.picture);
  EXPECT_EQ(v.WholeFactor(), c.whole);
  EXPECT_EQ(v.Smooth(ScaleFilter::kAuto), !c.whole);
  int misses = 0;
  for (int y = 0; y < 480; ++y) {
    for (int x = 0; x < 640; ++x) {
      const PicturePoint w = v.ToWindow(x, y);
      misses += v.ToPicture(w.x, w.y) != PicturePoint{x, y};
    }
  }
  EXPECT_EQ(misses, 0);
  const PicturePoint centre = v.ToWindow(320, 240);
  for (const bool across : {true, false}) {
    int last = -1;
    for (int i = -1; i <= (across ? c.windowW : c.windowH); ++i) {
      const auto p = across ? v.ToPicture(i, centre.y) : v.ToPicture(centre.x, i);
      if (!p) {
        EXPECT_TRUE(last == -1 || last == (across ? 639 : 479)) << "gap at " << i;
      } else {
        const int at = across ? p->x : p->y;
        EXPECT_TRUE(at == last || at == last + 1) << i << " gives " << at;
        last = at;
      }
    }
    EXPECT_EQ(last, across ? 639 : 479);
  }
  EXPECT_TRUE(c.strip == 0 || !v.ToPicture(centre.x, c.strip - 1)) << "the strip maps nothing";
}

INSTANTIATE_TEST_SUITE_P(Windows, ViewportTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A window with no room below its strip, or no size at all, maps nothing.
TEST(Viewport, DegenerateWindowsShowAndMapNothing) {
  EXPECT_EQ(Viewport(640, 20, 640, 20, 20).Picture().h, 0);
  EXPECT_FALSE(Viewport(640, 20, 640, 20, 20).ToPicture(10, 10).has_value());
  EXPECT_FALSE(Viewport(0, 0, 0, 0, 0).ToPicture(0, 0).has_value());
}

}  // namespace
}  // namespace kovan
