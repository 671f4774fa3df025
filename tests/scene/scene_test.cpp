// The scene on screen: the transitions, place changes and the opening,
// checked pixel by pixel at every refresh and timed on the virtual clock.
#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

#include "engine/game_exit.h"
#include "platform/files.h"
#include "pixels.h"
#include "test_game.h"

namespace kovan::testing {
namespace {

constexpr int kW = 640;
constexpr int kH = 480;

// A game on the probe platform: the screen shows one pattern, the back
// buffer holds another.
class ScreenGame : public TestGame {
 public:
  ScreenGame() : TestGame({.probe = true}) {
    BitBlt(form().Pic_Main, 0, 0, kW, kH, oldScene, 0, 0, RasterOp::kSrcCopy);
    BitBlt(form().Pic_Back, 0, 0, kW, kH, newScene, 0, 0, RasterOp::kSrcCopy);
    form().Pic_Main.shown = true;
  }
  // Runs a transition; the game time it took.
  std::uint32_t Transition(const std::string& code) {
    scene().EffectCode = code;
    const std::uint32_t start = probe().clock;
    scene().PlaceEffect();
    return probe().clock - start;
  }

  const Surface oldScene = Pattern(kW, kH, 1);
  const Surface newScene = Pattern(kW, kH, 2);
};

// Whatever the code, the screen ends as the back buffer was and the buffer
// is black again; codes are exact, any other cuts the new scene in.
TEST(Transition, EveryPixelOfTheNewSceneArrives) {
  const struct {
    const char* code;
    std::uint32_t ms;  // game time when drawing takes none
    int refreshes, yields;
  } cases[] = {{"DI", 500, 50, 50}, {"VB", 805, 161, 161}, {"HB", 0, 121, 0}, {"HC", 2150, 43, 43},
               {"BC", 400, 10, 10}, {"IC", 100, 2, 2},     {"MS", 810, 10, 9}, {"di", 0, 1, 0},
               {"DIX", 0, 1, 0},    {" DI", 0, 1, 0},      {"", 0, 1, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string("code '") + c.code + "'");
    ScreenGame g;
    EXPECT_EQ(g.Transition(c.code), c.ms);
    EXPECT_TRUE(SameSurface(g.form().Pic_Main, g.newScene));
    EXPECT_EQ(CountPixels(g.form().Pic_Back, kBlack), kW * kH);
    EXPECT_EQ(g.probe().presents, c.refreshes);
    EXPECT_EQ(g.probe().yields, c.yields);
  }
}

TEST(Transition, FramesLastTheirPeriodButASlowFrameIsNotPadded) {
  ScreenGame g;
  g.probe().drawMs = 3;
  EXPECT_EQ(g.Transition("DI"), 500u);
  EXPECT_EQ(g.probe().sleeps, 50);
  g.probe().drawMs = 25;
  EXPECT_EQ(g.Transition("DI"), 50u * 25u);
  // What the sleeps oversleep does not add up from frame to frame.
  g.probe().drawMs = 3;
  g.probe().oversleepMs = 1;
  EXPECT_EQ(g.Transition("DI"), 500u + 1u);
  g.probe().oversleepMs = 0;
  // The combs neither pace nor yield; the checkerboard pauses once, the
  // time its first half takes to show counted in the pause.
  g.probe().drawMs = 3;
  g.probe().ResetCounters();
  EXPECT_EQ(g.Transition("HB"), 121u * 3u);
  EXPECT_EQ(g.probe().sleeps + g.probe().yields, 0);
  EXPECT_EQ(g.Transition("IC"), 100u + 3u);
  g.probe().drawMs = 120;
  EXPECT_EQ(g.Transition("IC"), 120u + 120u);
}

TEST(Transition, DarkenShowsTheBufferLoweredBy100AndClampedAtZero) {
  ScreenGame g;
  const Surface back = g.form().Pic_Back;
  EXPECT_EQ(g.Transition("DK"), 0u);
  EXPECT_TRUE(Matches(g.form().Pic_Main, [&](int x, int y) {
    const Rgb p = back.Point(x, y);
    return MakeRgb(std::max(RedOf(p) - 100, 0), std::max(GreenOf(p) - 100, 0),
                   std::max(BlueOf(p) - 100, 0));
  }));
  EXPECT_EQ(g.probe().yields, 0);
}

// Stage k keeps the old scene where its keep tile has a 1, on the screen's
// grid, and shows the new one elsewhere.
TEST(Transition, MeshStagesShowTheNewSceneThroughTheirPattern) {
  ScreenGame g;
  int stage = 0;
  g.probe().onPresent = [&] {
    if (stage == 9) return;
    EXPECT_TRUE(Matches(g.form().Pic_Main, [&](int x, int y) {
      return MeshKeeps(stage, x, y) ? g.oldScene.Point(x, y) : g.newScene.Point(x, y);
    })) << "stage " << stage;
    ++stage;
  };
  EXPECT_EQ(g.Transition("MS"), 810u);
  EXPECT_EQ(stage, 9);
}

// "BI" blends Place_Load into the middle of the screen; only the part on
// the screen is blended, as one blend of the whole picture would be.
TEST(Transition, BlendInChangesOnlyTheCentredArea) {
  ScreenGame g;
  Surface& picture = g.form().Place_Load;
  picture = Pattern(200, 100, 3);
  EXPECT_EQ(g.Transition("BI"), 2000u);
  EXPECT_EQ(g.probe().presents, 21);
  EXPECT_TRUE(Matches(g.form().Pic_Main, [&](int x, int y) {
    const bool inside = x >= 220 && x < 420 && y >= 190 && y < 290;
    return inside ? picture.Point(x - 220, y - 190) : g.oldScene.Point(x, y);
  }));

  picture = Pattern(1001, 601, 4);  // at (-180, -60)
  g.Transition("BI");
  EXPECT_TRUE(SameArea(g.form().Pic_Main, 0, 0, picture, 180, 60, kW, kH));

  picture.Resize(0, 0);  // nothing to blend, at the same pace
  EXPECT_EQ(g.Transition("BI"), 2000u);
}

TEST(Transition, TheBackBufferIsResetWhenAHandlerUnwindsFromAYield) {
  ScreenGame g;
  g.probe().onYield = [] { throw std::runtime_error("a game was loaded"); };
  EXPECT_THROW(g.Transition("DI"), std::runtime_error);
  EXPECT_EQ(CountPixels(g.form().Pic_Back, kBlack), kW * kH);
}

// A scene with a message on screen, the marker on and every row of the
// sprite table taken.
void FillTheScene(TestGame& g) {
  g.form().Waku[0].shown = g.form().Waku[3].shown = g.form().Blinker.shown = true;
  g.form().LastSpeaker = 3;
  g.state().LineNo = 2;
  for (auto& row : g.scene().ShownPose) row.fill(1);
  g.form().SlotUsed.fill(true);
}

TEST(PlaceChange, ShowsThePlaceWithTheLinesCodeAndClearsTheScene) {
  ScreenGame g;
  FillTheScene(g);
  g.state().PlaceNo = 11;
  g.state().LineText = "MSから始まる台詞";
  g.probe().clock = 700;
  EXPECT_EQ(g.scene().PlaceChange(), 2);

  // Place 11 is the tall picture: its top screenful shows.
  EXPECT_TRUE(SameArea(g.form().Pic_Main, 0, 0, g.Picture("p11.dat"), 0, 0, kW, kH));
  const auto place = g.Events("place");
  ASSERT_EQ(place.size(), 1u);
  EXPECT_EQ(FieldOf(place[0], "effect"), "MS");
  EXPECT_EQ(std::vector<std::int64_t>({NumberOf(place[0], "no"), NumberOf(place[0], "t"),
                                       NumberOf(place[0], "ms")}),
            std::vector<std::int64_t>({11, 700, 810}));
  const MainForm& f = g.form();
  EXPECT_FALSE(f.Waku[0].shown || f.Waku[3].shown || f.Blinker.shown);
  EXPECT_EQ(f.LastSpeaker, -1);
  EXPECT_EQ(g.state().LineNo, 0);
  for (int c = 0; c < 8; ++c) {
    for (int s = 0; s < 3; ++s) EXPECT_EQ(g.scene().ShownPose[c][s], c < 7 ? 0 : 1) << c;
  }
  EXPECT_EQ(f.SlotUsed, (std::array<bool, 3>{}));

  // The code is the text's first two characters, whatever they are.
  for (const auto& [text, code] : {std::pair{"D", "D"}, {"", ""}, {"あいう", "あい"}}) {
    ++g.state().PlaceNo;
    g.state().LineText = text;
    g.scene().PlaceChange();
    EXPECT_EQ(g.Strings("place", "effect").back(), code);
  }
}

// What the player sees at every refresh: the old scene with its characters
// until the blinds have reached a column, the place after.
TEST(PlaceChange, CharactersLeaveWithTheOldPicture) {
  ScreenGame g;
  for (const auto& [doll, pose, slot] : {std::tuple{1, 1, "L"}, {7, 2, "R"}}) {
    g.state().DollNo = doll;
    g.state().DollPose = pose;
    g.state().LineText = slot;
    g.scene().DollChange();
  }
  const Surface before = g.Screen();
  const Surface place = g.Picture("p5.dat");
  int refresh = 0;
  g.probe().onPresent = [&] {
    const int frame = refresh++ - 2;  // two refreshes fold the characters in
    EXPECT_TRUE(Matches(g.Screen(), [&](int x, int y) {
      return x % 50 <= frame ? place.Point(x, y) : before.Point(x, y);
    })) << "refresh " << refresh;
  };
  g.state().PlaceNo = 5;
  g.state().LineText = "DI";
  g.probe().clock = 1000;
  g.probe().drawMs = 4;
  g.scene().PlaceChange();
  EXPECT_EQ(refresh, 2 + 50);
  EXPECT_FALSE(g.form().Doll_Disp[0].shown || g.form().Doll_Disp[1].shown);
  EXPECT_EQ(g.Numbers("place", "t"), (std::vector<std::int64_t>{1008}));  // after the folds
  EXPECT_EQ(g.Numbers("place", "ms"), (std::vector<std::int64_t>{500}));
}

// The opening's game time before the scroll: each logo fades in for 2 s,
// then 2 s and 3 s of pause, then nine dissolve stages of 200 ms.
constexpr std::uint32_t kLogosMs = 2000 + 2000 + 2000 + 3000;
constexpr std::uint32_t kBeforeScrollMs = kLogosMs + 9 * 200;

// An opening picture of the given height whose neighbouring rows differ.
void WriteOpeningPicture(const std::string& dir, int height) {
  Surface picture(kW, height);
  for (int y = 0; y < height; ++y) {
    const Rgb row = y % 2 == 0 ? MakeRgb(240, 40 + y % 150, 20) : MakeRgb(20, 60, 250 - y % 150);
    picture.FillBox(0, y, kW, y + 1, row);
  }
  ASSERT_TRUE(WriteFileBytes(dir + "p11.dat", EncodeJpeg(picture, 95)).ok());
}

// The scroll goes 2 rows a frame (50 ms) from the bottom screenful while
// the top row is in the picture: an odd range ends one row below the top,
// a picture no taller than the screen scrolls one frame or none. Clicks
// and keys don't shorten it.
TEST(OpeningDisp, ScrollsFromTheBottomScreenfulUpToTheTop) {
  struct Case {
    int height;  // 0: the demo's picture, 960 rows
    int frames;
    int lastRow;
  };
  for (const Case& c : {Case{0, 241, 0}, Case{961, 241, 1}, Case{480, 1, 0}, Case{400, 0, -1}}) {
    SCOPED_TRACE("height " + std::to_string(c.height));
    TestGame g({.prepare = [&](const std::string& dir) {
                  if (c.height > 0) WriteOpeningPicture(dir, c.height);
                },
                .input = "wait 500\nclick 320 240\nkey Enter\nwait 6000\nrclick 300 300\n"
                         "key Space\nwait 5000\nclick 10 10\n"});
    // The picture is let go once the opening is over.
    Surface picture;
    g.Watch([&](std::uint32_t now) {
      if (now == kBeforeScrollMs) picture = g.form().Place_Load;
    });
    g.scene().OpeningDisp();
    EXPECT_EQ(g.platform().Ticks(), kBeforeScrollMs + c.frames * 50);
    EXPECT_TRUE(g.form().Place_Load.Plain());
    if (c.lastRow >= 0) {
      EXPECT_TRUE(SameArea(g.form().Pic_Main, 0, 0, picture, 0, c.lastRow, kW, kH));
    }
  }
}

// The second logo, centred on white; then stage k of the dissolve keeps
// the logo screen where keep tile k has a 1 and shows the picture's bottom
// screenful elsewhere.
TEST(OpeningDisp, DissolvesFromTheLogoIntoTheBottomScreenful) {
  TestGame g;
  Surface logos, first, last, picture;
  g.Watch([&](std::uint32_t now) {
    if (now == kLogosMs - 100) logos = g.form().Pic_Main;
    if (now == kLogosMs + 200) first = g.form().Pic_Main;
    if (now == kBeforeScrollMs) last = g.form().Pic_Main, picture = g.form().Place_Load;
    if (now == kLogosMs + 1000) MaybeShot(g.Screen(), "opening_dissolve.png");
  });
  g.scene().OpeningDisp();
  ASSERT_EQ(logos.Width(), kW);
  EXPECT_EQ(logos.Point(10, 10), kWhite);
  EXPECT_NE(logos.Point(320, 240), kWhite);
  for (const auto& [stage, screen] : {std::pair{0, &first}, std::pair{8, &last}}) {
    EXPECT_TRUE(Matches(*screen, [&, stage = stage](int x, int y) {
      return MeshKeeps(stage, x, y) ? logos.Point(x, y)
                                    : picture.Point(x, picture.Height() - kH + y);
    })) << "stage " << stage;
  }
}

TEST(OpeningDisp, AnOpeningPictureThatCannotBeLoadedEndsTheGame) {
  TestGame g({.prepare = [](const std::string& dir) { (void)RemoveFile(dir + "P98.dat"); }});
  EXPECT_THROW(g.scene().OpeningDisp(), GameExit);
  EXPECT_EQ(g.Strings("msgbox", "text"),
            std::vector<std::string>{MissingFileMessage(g.dir() + "P98")});
}

}  // namespace
}  // namespace kovan::testing
