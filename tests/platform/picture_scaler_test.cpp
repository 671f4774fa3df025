// The CPU scaler the window's framebuffer is drawn with: whole factors keep
// square pixels, smoothing interpolates, and redrawing only what changed
// gives the frame a whole redraw would.
#include "platform/picture_scaler.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

namespace kovan {
namespace {

struct Frame {
  int w, h;
  std::vector<std::uint32_t> pixels;
  Frame(int width, int height) : w(width), h(height), pixels(std::size_t(width) * height, 0) {}
  PixelTarget Target() { return PixelTarget{pixels.data(), w, h, w}; }
  std::uint32_t At(int x, int y) const { return pixels[std::size_t(y) * w + x]; }
};

Surface Noise(unsigned seed) {
  Surface s(640, 480);
  std::mt19937 rng(seed);
  for (Rgb& p : s.Pixels()) p = rng() & 0xFFFFFF;
  return s;
}

struct Place {
  const char* name;
  int targetW, targetH;
  PixelRect place;
  bool smooth;
};

// The window at 1x and 2x, full screen at 1920 x 1080 both ways, and an
// odd window the player dragged.
const Place kPlaces[] = {
    {"Window", 640, 500, {0, 20, 640, 480}, false},
    {"Double", 1280, 980, {0, 20, 1280, 960}, false},
    {"Full1080Smooth", 1920, 1080, {240, 0, 1440, 1080}, true},
    {"Full1080Nearest", 1920, 1080, {240, 0, 1440, 1080}, false},
    {"Dragged", 701, 533, {3, 20, 695, 513}, true},
};

class ScalerPlaces : public ::testing::TestWithParam<Place> {};

// A change drawn over the old frame, only in the area it reaches, leaves
// the frame a whole draw of the new picture gives.
TEST_P(ScalerPlaces, RedrawingTheChangedAreaEqualsAWholeRedraw) {
  const Place& c = GetParam();
  const Surface before = Noise(1);
  PictureScaler scaler;
  const PixelRect changes[] = {
      {300, 400, 16, 16}, {0, 0, 1, 1}, {639, 479, 1, 1}, {5, 100, 630, 3}};
  for (const PixelRect& change : changes) {
    Surface after = before;
    for (int y = change.y; y < change.y + change.h; ++y) {
      for (int x = change.x; x < change.x + change.w; ++x)
        after.SetPoint(x, y, 0xFFFFFF ^ before.Point(x, y));
    }
    ASSERT_EQ(ChangedRect(before, after), change);
    Frame partial(c.targetW, c.targetH), whole(c.targetW, c.targetH);
    scaler.Draw(partial.Target(), c.place, before, c.place, c.smooth);
    const PixelRect area = ScaledArea(c.place, 640, 480, change, c.smooth);
    scaler.Draw(partial.Target(), c.place, after, area, c.smooth);
    scaler.Draw(whole.Target(), c.place, after, c.place, c.smooth);
    EXPECT_EQ(partial.pixels, whole.pixels)
        << c.name << " change at " << change.x << "," << change.y;
    // Nothing is drawn outside the place.
    EXPECT_EQ(whole.At(0, 0), 0u) << c.name;
  }
}

INSTANTIATE_TEST_SUITE_P(Places, ScalerPlaces, ::testing::ValuesIn(kPlaces),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PictureScaler, WholeFactorGivesSquareBlocksOfTheSourcePixel) {
  const Surface src = Noise(2);
  Frame f(1920, 1440);
  PictureScaler().Draw(f.Target(), PixelRect{0, 0, 1920, 1440}, src, PixelRect{0, 0, 1920, 1440},
                       false);
  for (int y = 0; y < 1440; y += 7) {
    for (int x = 0; x < 1920; x += 5)
      ASSERT_EQ(f.At(x, y), src.Point(x / 3, y / 3)) << x << "," << y;
  }
}

// A ramp scaled smoothly follows the straight line through the source
// pixels' centres, within rounding.
TEST(PictureScaler, SmoothingInterpolatesBetweenPixelCentres) {
  Surface src(640, 480);
  for (int y = 0; y < 480; ++y) {
    for (int x = 0; x < 640; ++x) src.SetPoint(x, y, MakeRgb(x * 255 / 639, y * 255 / 479, 77));
  }
  Frame f(1440, 1080);
  PictureScaler().Draw(f.Target(), PixelRect{0, 0, 1440, 1080}, src, PixelRect{0, 0, 1440, 1080},
                       true);
  const auto line = [](double centre, int size, int last) {
    const double u = std::clamp(centre, 0.0, double(size - 1));
    const int i = std::min(int(u), size - 2);
    const double a = double(i * 255 / last), b = double((i + 1) * 255 / last);
    return a + (b - a) * (u - i);
  };
  for (int y = 0; y < 1080; y += 13) {
    for (int x = 0; x < 1440; x += 11) {
      const std::uint32_t p = f.At(x, y);
      EXPECT_NEAR(RedOf(p), line((x + 0.5) * 640 / 1440 - 0.5, 640, 639), 2.0) << x;
      EXPECT_NEAR(GreenOf(p), line((y + 0.5) * 480 / 1080 - 0.5, 480, 479), 2.0) << y;
      EXPECT_EQ(BlueOf(p), 77);
    }
  }
}

// Smoothing a one-colour source gives that colour, also where a source only
// a pixel or two wide or high has no neighbour to mix with.
TEST(PictureScaler, SmoothingASmallPlainSourceGivesItsColour) {
  const int sizes[][2] = {{1, 1}, {1, 3}, {3, 1}, {2, 2}, {5, 1}};
  for (const auto& [w, h] : sizes) {
    const Surface src(w, h, 0x3A7FC1);
    Frame f(37, 23);
    PictureScaler().Draw(f.Target(), PixelRect{0, 0, 37, 23}, src, PixelRect{0, 0, 37, 23}, true);
    EXPECT_TRUE(std::all_of(f.pixels.begin(), f.pixels.end(), [](auto p) { return p == 0x3A7FC1; }))
        << w << "x" << h;
  }
}

// Every changed pixel lies in a rectangle; stripes across the picture go
// as stripes, a blob as one rectangle.
TEST(ChangedRects, CoverEveryChangeWithoutSendingTheWholeForStripes) {
  struct Case {
    const char* name;
    std::vector<PixelRect> spots;
    std::size_t rects;
  };
  const Case cases[] = {
      {"Columns", {{0, 0, 1, 480}, {50, 0, 1, 480}, {600, 0, 1, 480}}, 3},
      {"Rows", {{0, 10, 640, 2}, {0, 300, 640, 2}}, 2},
      {"NearSpotsJoin", {{100, 100, 5, 5}, {108, 102, 5, 5}}, 1},
      {"Corners", {{0, 0, 3, 3}, {637, 477, 3, 3}}, 2},
  };
  const Surface before = Noise(4);
  for (const Case& c : cases) {
    Surface after = before;
    for (const PixelRect& r : c.spots) after.FillBox(r.x, r.y, r.x + r.w, r.y + r.h, 0x123456);
    const std::vector<PixelRect> rects = ChangedRects(before, after);
    EXPECT_EQ(rects.size(), c.rects) << c.name;
    long long area = 0;
    for (const PixelRect& r : rects) area += static_cast<long long>(r.w) * r.h;
    EXPECT_LT(area, 640 * 480 / 4) << c.name;
    for (int y = 0; y < 480; ++y) {
      for (int x = 0; x < 640; ++x) {
        if (before.Point(x, y) == after.Point(x, y)) continue;
        const bool covered = std::any_of(rects.begin(), rects.end(), [&](const PixelRect& r) {
          return x >= r.x && y >= r.y && x < r.x + r.w && y < r.y + r.h;
        });
        ASSERT_TRUE(covered) << c.name << " misses " << x << "," << y;
      }
    }
  }
  EXPECT_TRUE(ChangedRects(before, before).empty());
  EXPECT_EQ(ChangedRect(before, before), std::nullopt);
}

}  // namespace
}  // namespace kovan
