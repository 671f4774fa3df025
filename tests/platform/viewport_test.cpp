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

void PrintTo(const ViewportCase& c, std::ostream* os) { *os << c.name; }

class ViewportTest : public ::testing::TestWithParam<ViewportCase> {};

TEST_P(ViewportTest, PictureFitsBelowTheStripWithItsAspect) {
  const ViewportCase& c = GetParam();
  const Viewport v(c.windowW, c.windowH, c.drawableW, c.drawableH, c.strip);
  EXPECT_EQ(v.Picture(), c.picture);
  EXPECT_EQ(v.WholeFactor(), c.whole);
  EXPECT_EQ(v.Smooth(ScaleFilter::kAuto), !c.whole);
  EXPECT_GE(v.Picture().y, v.Strip().h);
}

// Every picture pixel has a window point that maps back to it.
TEST_P(ViewportTest, EveryPicturePixelComesBackFromItsWindowPoint) {
  const ViewportCase& c = GetParam();
  const Viewport v(c.windowW, c.windowH, c.drawableW, c.drawableH, c.strip);
  int misses = 0;
  for (int y = 0; y < 480; ++y) {
    for (int x = 0; x < 640; ++x) {
      const PicturePoint w = v.ToWindow(x, y);
      const std::optional<PicturePoint> back = v.ToPicture(w.x, w.y);
      if (back != PicturePoint{x, y}) ++misses;
    }
  }
  EXPECT_EQ(misses, 0);
}

// Across the window's middle row and column, points give the picture's
// pixels in order, each at least once and none skipped; the bars and the
// strip give nothing.
TEST_P(ViewportTest, WindowPointsCoverThePictureInOrder) {
  const ViewportCase& c = GetParam();
  const Viewport v(c.windowW, c.windowH, c.drawableW, c.drawableH, c.strip);
  const PicturePoint centre = v.ToWindow(320, 240);
  int last = -1;
  for (int x = -1; x <= c.windowW; ++x) {
    const std::optional<PicturePoint> p = v.ToPicture(x, centre.y);
    if (!p) {
      EXPECT_TRUE(last == -1 || last == 639) << "gap at x " << x;
      continue;
    }
    EXPECT_TRUE(p->x == last || p->x == last + 1) << "x " << x << " gives " << p->x;
    last = p->x;
  }
  EXPECT_EQ(last, 639);
  last = -1;
  for (int y = -1; y <= c.windowH; ++y) {
    const std::optional<PicturePoint> p = v.ToPicture(centre.x, y);
    if (!p) {
      EXPECT_TRUE(last == -1 || last == 479) << "gap at y " << y;
      continue;
    }
    EXPECT_TRUE(p->y == last || p->y == last + 1) << "y " << y << " gives " << p->y;
    last = p->y;
  }
  EXPECT_EQ(last, 479);
  if (c.strip > 0) {
    EXPECT_TRUE(v.InStrip(centre.x, c.strip - 1));
    EXPECT_FALSE(v.ToPicture(centre.x, c.strip - 1).has_value());
  }
}

// An overlay placed in picture pixels covers exactly the drawable pixels
// that show those picture pixels: checked in a window whose points are the
// drawable's pixels.
TEST_P(ViewportTest, OverlayEdgesFallOnThePictureEdges) {
  const ViewportCase& c = GetParam();
  const Viewport scaled(c.windowW, c.windowH, c.drawableW, c.drawableH, c.strip);
  const Viewport v(c.drawableW, c.drawableH, c.drawableW, c.drawableH, scaled.Strip().h);
  ASSERT_EQ(v.Picture(), scaled.Picture());
  EXPECT_EQ(scaled.PictureToDrawable({0, 0, 640, 480}), v.Picture());
  const PixelRect panel{173, 201, 294, 77};
  const PixelRect r = scaled.PictureToDrawable(panel);
  const int midY = r.y + r.h / 2, midX = r.x + r.w / 2;
  EXPECT_EQ(v.ToPicture(r.x, midY)->x, panel.x);
  EXPECT_EQ(v.ToPicture(r.x - 1, midY)->x, panel.x - 1);
  EXPECT_EQ(v.ToPicture(r.x + r.w - 1, midY)->x, panel.x + panel.w - 1);
  EXPECT_EQ(v.ToPicture(r.x + r.w, midY)->x, panel.x + panel.w);
  EXPECT_EQ(v.ToPicture(midX, r.y)->y, panel.y);
  EXPECT_EQ(v.ToPicture(midX, r.y + r.h)->y, panel.y + panel.h);
}

INSTANTIATE_TEST_SUITE_P(Windows, ViewportTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Viewport, FiltersAndDegenerateWindows) {
  const Viewport whole(1280, 980, 1280, 980, 20);
  EXPECT_TRUE(whole.WholeFactor());
  EXPECT_FALSE(whole.Smooth(ScaleFilter::kNearest));
  EXPECT_TRUE(whole.Smooth(ScaleFilter::kLinear));
  // A window with no room below its strip shows nothing and maps nothing.
  const Viewport none(640, 20, 640, 20, 20);
  EXPECT_EQ(none.Picture().h, 0);
  EXPECT_FALSE(none.ToPicture(10, 10).has_value());
  const Viewport zero(0, 0, 0, 0, 0);
  EXPECT_FALSE(zero.ToPicture(0, 0).has_value());
}

}  // namespace
}  // namespace kovan
