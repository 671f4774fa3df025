#include <stdexcept>

#include "scene/scene_harness.h"

namespace kovan::testing {
namespace {

constexpr int kW = 640;
constexpr int kH = 480;

// Counts the pixels of the screen that differ from what pixel(x, y) says.
int Mismatches(const Surface& s, const std::function<Rgb(int, int)>& pixel) {
  int n = 0;
  for (int y = 0; y < kH; ++y) {
    for (int x = 0; x < kW; ++x) n += s.Point(x, y) == pixel(x, y) ? 0 : 1;
  }
  return n;
}

bool SheetWhite(const Surface& sheet, int x, int y) { return sheet.Point(x, y) == kWhite; }

TEST(MeshSheet, CellsRepeatTheirTileAndTheLowerRowIsTheInverse) {
  SceneHarness h;
  const Surface& sheet = h.form->Mesh1;
  ASSERT_EQ(sheet.Width(), 320);
  ASSERT_EQ(sheet.Height(), 64);
  EXPECT_EQ(h.form->Mesh2.Width(), 32);
  EXPECT_EQ(h.form->Mesh2.Height(), 32);
  const int whitePerTile[10] = {58, 51, 46, 38, 25, 19, 12, 6, 3, 0};
  for (int k = 0; k < 10; ++k) {
    int white = 0;
    for (int y = 0; y < 32; ++y) {
      for (int x = 0; x < 32; ++x) {
        const int sx = 32 * k + x;
        const Rgb p = sheet.Point(sx, y);
        ASSERT_TRUE(p == kWhite || p == kBlack);
        white += p == kWhite ? 1 : 0;
        ASSERT_EQ(p, sheet.Point(32 * k + x % 8, y % 8)) << "cell " << k << " at " << x << "," << y;
        ASSERT_NE(SheetWhite(sheet, sx, y), SheetWhite(sheet, sx, 32 + y));
        if (k > 0 && SheetWhite(sheet, sx, y)) {
          ASSERT_TRUE(SheetWhite(sheet, sx - 32, y));
        }
      }
    }
    EXPECT_EQ(white, whitePerTile[k] * 16) << "cell " << k;
  }
  // The high bit is the leftmost pixel: cell 0 starts 0x77, its third row
  // is 0xDF; cell 8's fourth row is 0x08.
  EXPECT_FALSE(SheetWhite(sheet, 0, 0));
  EXPECT_TRUE(SheetWhite(sheet, 1, 0));
  EXPECT_FALSE(SheetWhite(sheet, 2, 2));
  EXPECT_TRUE(SheetWhite(sheet, 5, 2));
  EXPECT_TRUE(SheetWhite(sheet, 256 + 4, 3));
  EXPECT_FALSE(SheetWhite(sheet, 256 + 3, 3));
}

struct Paced {
  const char* code;
  std::uint32_t ms;  // game time when drawing takes none
  int refreshes;
  int yields;
};
void PrintTo(const Paced& c, std::ostream* out) { *out << c.code; }

class EveryPixelArrives : public ::testing::TestWithParam<Paced> {};

TEST_P(EveryPixelArrives, TheScreenEndsAsTheBackBufferWasAndTheBufferIsReset) {
  const Paced& c = GetParam();
  SceneHarness h;
  Paint(h.form->Pic_Main, OldPixel);
  Paint(h.form->Pic_Back, NewPixel);
  EXPECT_EQ(h.Transition(c.code), c.ms);
  EXPECT_EQ(Mismatches(h.form->Pic_Main, NewPixel), 0);
  EXPECT_EQ(CountPixels(h.form->Pic_Back, kBlack), kW * kH);
  EXPECT_EQ(h.platform.presents, c.refreshes);
  EXPECT_EQ(h.platform.yields, c.yields);
  EXPECT_TRUE(h.trace.str().empty());  // the caller traces the place change
}

INSTANTIATE_TEST_SUITE_P(Codes, EveryPixelArrives,
                         ::testing::Values(Paced{"DI", 500, 50, 50}, Paced{"VB", 805, 161, 161},
                                           Paced{"HB", 0, 121, 0}, Paced{"HC", 2150, 43, 43},
                                           Paced{"BC", 400, 10, 10}, Paced{"IC", 100, 2, 2},
                                           Paced{"MS", 810, 10, 9}),
                         [](const auto& info) { return std::string(info.param.code); });

TEST(Transitions, FramesLastTheirPeriodButASlowFrameIsNotPadded) {
  SceneHarness h;
  h.platform.drawMs = 3;
  h.platform.clock = 1000;
  EXPECT_EQ(h.Transition("DI"), 500u);
  EXPECT_EQ(h.platform.sleeps, 50);
  EXPECT_EQ(h.scene->FrameStart, 1490);
  EXPECT_EQ(h.scene->FrameTime, 3);

  h.platform.ResetCounters();
  h.platform.drawMs = 25;
  EXPECT_EQ(h.Transition("DI"), 50u * 25u);
  EXPECT_EQ(h.platform.sleeps, 0);

  // The combs neither pace nor yield: they take just their drawing.
  h.platform.ResetCounters();
  h.platform.drawMs = 3;
  EXPECT_EQ(h.Transition("HB"), 121u * 3u);
  EXPECT_EQ(h.platform.sleeps + h.platform.yields, 0);
  // The checkerboard pauses once between its two refreshes.
  EXPECT_EQ(h.Transition("IC"), 3u + 100u + 3u);
}

TEST(Transitions, CodesAreExactOtherwiseTheNewSceneIsCutIn) {
  for (const char* code : {"di", "D", "", "DIX", "bi", " DI"}) {
    SceneHarness h;
    Paint(h.form->Pic_Main, OldPixel);
    Paint(h.form->Pic_Back, NewPixel);
    EXPECT_EQ(h.Transition(code), 0u) << code;
    EXPECT_EQ(Mismatches(h.form->Pic_Main, NewPixel), 0) << code;
    EXPECT_EQ(CountPixels(h.form->Pic_Back, kBlack), kW * kH) << code;
    EXPECT_EQ(h.platform.presents, 1) << code;
    EXPECT_EQ(h.platform.yields + h.platform.sleeps, 0) << code;
  }
}

TEST(Transitions, DarkenShowsTheBufferLoweredBy100AndClampedAtZero) {
  SceneHarness h;
  Surface& back = h.form->Pic_Back;
  back.FillBox(0, 0, kW, kH, MakeRgb(150, 80, 20));
  back.SetPoint(639, 0, MakeRgb(255, 255, 255));
  back.SetPoint(0, 479, MakeRgb(99, 101, 100));
  int checked = 0;
  h.platform.onPresent = [&] {
    // Until the reset the buffer holds the darkened picture too.
    EXPECT_EQ(back.Point(5, 5), MakeRgb(50, 0, 0));
    ++checked;
  };
  EXPECT_EQ(h.Transition("DK"), 0u);
  EXPECT_EQ(checked, 1);
  const Surface& screen = h.form->Pic_Main;
  EXPECT_EQ(CountPixels(screen, MakeRgb(50, 0, 0)), kW * kH - 2);
  EXPECT_EQ(screen.Point(639, 0), MakeRgb(155, 155, 155));
  EXPECT_EQ(screen.Point(0, 479), MakeRgb(0, 1, 0));
  EXPECT_EQ(CountPixels(back, kBlack), kW * kH);
  EXPECT_EQ(h.platform.yields, 0);
}

TEST(Transitions, MeshStagesShowTheNewSceneWhereTheirCellIsBlack) {
  SceneHarness h;
  Paint(h.form->Pic_Main, OldPixel);
  Paint(h.form->Pic_Back, NewPixel);
  const Surface& sheet = h.form->Mesh1;
  std::vector<int> newPixels;
  h.platform.onPresent = [&] {
    const int k = static_cast<int>(newPixels.size());
    if (k >= 9) return;
    // Stage k keeps the old picture where cell k is white, on the screen's
    // 32-pixel grid.
    const int wrong = Mismatches(h.form->Pic_Main, [&](int x, int y) {
      return SheetWhite(sheet, 32 * k + x % 32, y % 32) ? OldPixel(x, y) : NewPixel(x, y);
    });
    EXPECT_EQ(wrong, 0) << "stage " << k;
    newPixels.push_back(Mismatches(h.form->Pic_Main, OldPixel));
  };
  EXPECT_EQ(h.Transition("MS"), 810u);
  ASSERT_EQ(newPixels.size(), 9u);
  EXPECT_EQ(newPixels[0], kW * kH / 64 * 6);
  EXPECT_EQ(newPixels[8], kW * kH / 64 * 61);
  EXPECT_EQ(Mismatches(h.form->Pic_Main, NewPixel), 0);
}

TEST(Transitions, BlendInChangesOnlyTheCentredArea) {
  SceneHarness h;
  Surface& picture = h.form->Place_Load;
  picture.Resize(200, 100);
  Paint(picture, NewPixel);
  Paint(h.form->Pic_Main, OldPixel);
  Paint(h.form->Pic_Back, NewPixel);
  const auto inside = [](int x, int y) { return x >= 220 && x <= 419 && y >= 190 && y <= 289; };
  int outsideChanged = 0;
  h.platform.onPresent = [&] {
    outsideChanged += Mismatches(h.form->Pic_Main, [&](int x, int y) {
      return inside(x, y) ? h.form->Pic_Main.Point(x, y) : OldPixel(x, y);
    });
  };
  EXPECT_EQ(h.Transition("BI"), 2000u);
  EXPECT_EQ(outsideChanged, 0);
  EXPECT_EQ(Mismatches(h.form->Pic_Main,
                       [&](int x, int y) {
                         return inside(x, y) ? NewPixel(x - 220, y - 190) : OldPixel(x, y);
                       }),
            0);
  EXPECT_EQ(h.platform.presents, 21);
  EXPECT_EQ(h.platform.yields, 20);
  EXPECT_EQ(CountPixels(h.form->Pic_Back, kBlack), kW * kH);
}

TEST(Transitions, BlendInOfALargeOrEmptyPictureBlendsWhatIsOnTheScreen) {
  SceneHarness h;
  Surface& picture = h.form->Place_Load;
  picture.Resize(1001, 601);  // at (-180, -60)
  Paint(picture, NewPixel);
  Paint(h.form->Pic_Main, OldPixel);
  // The first step equals one blend of the whole area, cut by the screen.
  Surface expected(kW, kH);
  Paint(expected, OldPixel);
  BlendArea(expected, -180, -60, 1001, 601, picture, 0, 0, 0.1f);
  int firstStepWrong = -1;
  h.platform.onPresent = [&] {
    if (firstStepWrong < 0) {
      firstStepWrong =
          Mismatches(h.form->Pic_Main, [&](int x, int y) { return expected.Point(x, y); });
    }
  };
  h.Transition("BI");
  EXPECT_EQ(firstStepWrong, 0);
  EXPECT_EQ(Mismatches(h.form->Pic_Main, [](int x, int y) { return NewPixel(x + 180, y + 60); }),
            0);

  // An empty picture blends nothing, at the same pace.
  picture.Resize(0, 0);
  h.platform.onPresent = nullptr;
  EXPECT_EQ(h.Transition("BI"), 2000u);
  EXPECT_EQ(Mismatches(h.form->Pic_Main, [](int x, int y) { return NewPixel(x + 180, y + 60); }),
            0);
}

TEST(Transitions, TheBackBufferIsResetWhenAHandlerUnwindsFromAYield) {
  SceneHarness h;
  Paint(h.form->Pic_Back, NewPixel);
  h.platform.onYield = [] { throw std::runtime_error("a game was loaded"); };
  EXPECT_THROW(h.Transition("DI"), std::runtime_error);
  EXPECT_EQ(CountPixels(h.form->Pic_Back, kBlack), kW * kH);
}

}  // namespace
}  // namespace kovan::testing
