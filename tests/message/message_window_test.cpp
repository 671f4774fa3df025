// The message window as the player sees it: its layout, its pixels over
// the scene and the characters, and the input while it waits.
#include <gtest/gtest.h>

#include <fstream>

#include "engine/data_files.h"
#include "engine/game_exit.h"
#include "pixels.h"
#include "test_game.h"

namespace kovan::testing {
namespace {

// A started game over a scene where neighbouring pixels differ.
class WindowGame : public TestGame {
 public:
  explicit WindowGame(const GameSetup& setup = {}) : TestGame(setup) {
    BitBlt(form().Pic_Main, 0, 0, 640, 480, Pattern(640, 480, 1), 0, 0, RasterOp::kSrcCopy);
    form().Pic_Main.shown = true;
  }
};

TEST(LayoutInit, PlacesLabelsButtonsFacesAndMenus) {
  WindowGame g;
  const MainForm& f = g.form();
  // (Where the options and buttons lie, the games' clicks show.)
  for (int i = 0; i < 4; ++i) {
    EXPECT_TRUE(SameArea(f.Smenu[i], 0, 0, f.Texture, 4, 148 + 50 * i, 166, 38)) << "button " << i;
  }
  for (const MenuItem& item : g.platform().Menu()) {
    EXPECT_EQ(item.enabled, item.name == menu::kProgEnd) << item.name;
  }
  const std::vector<int> faces = {f.FaceTable[0].w, f.FaceTable[2].w, f.FaceTable[4].h};
  EXPECT_EQ(faces, std::vector<int>({135, 140, 85}));
}

TEST(LayoutInit, MissingSkinOrFacesEndTheGameAnEmptySkinDoesNot) {
  WindowGame g;
  TempDir dir;
  DataFiles data(dir.path(), false);
  const Status skin = g.messages().LayoutInit(data), faces = g.messages().FaceInit(data);
  EXPECT_EQ(skin.ok() ? "" : skin.error(), MissingFileMessage(dir.path() + "61"));
  EXPECT_EQ(faces.ok() ? "" : faces.error(), MissingFileMessage(dir.path() + "60"));
  std::ofstream(dir.path() + "61.dat", std::ios::binary).close();
  ASSERT_TRUE(g.messages().LayoutInit(data).ok());
  g.messages().WakuBuild();
  g.state().MsgMode = 0;
  g.Say("空の皮");  // a window cut from nothing still works
  EXPECT_EQ(g.state().LineNo, 2);
}

// The window's inner area (inside the 4-pixel rim) shows the scene blended
// with the skin's fill colour at the window's density; the rim is the
// skin's frame: 16-pixel corners, 16 x 8 edge tiles repeated.
class Density : public ::testing::TestWithParam<float> {};

TEST_P(Density, BlendsTheSceneWithTheFillInsideTheFrame) {
  WindowGame g;
  g.state().WakuDensity = GetParam();
  g.messages().WakuOpen();
  const MainForm& f = g.form();
  Surface inner(568, 100);
  BitBlt(inner, 0, 0, 568, 100, f.Pic_Main, 39, 364, RasterOp::kSrcCopy);
  BlendArea(inner, 0, 0, 568, 100, Surface(568, 100, f.Texture.Point(24, 24)), 0, 0, GetParam());
  EXPECT_TRUE(SameArea(f.Waku[0], 4, 4, inner, 0, 0, 568, 100));
  EXPECT_TRUE(Matches(f.Waku[0], [&](int x, int y) {
    if (x >= 4 && y >= 4 && x < 572 && y < 104) return f.Waku[0].Point(x, y);
    const int tx = x < 16 ? x : x >= 560 ? x - 528 : 16 + x % 16;
    const int ty = y < 16 ? y : y >= 92 ? y - 60 : 16 + y % 16;
    return f.Texture.Point(tx, ty);
  }));
  EXPECT_TRUE(SameSurface(f.Waku[6], f.Waku[0]));
}

INSTANTIATE_TEST_SUITE_P(Values, Density, ::testing::Values(0.0f, 0.6f, 1.0f));

TEST(WakuOpen, CharactersShowThroughTheWindowAndTheTab) {
  constexpr Rgb kCoat = MakeRgb(200, 30, 60);
  WindowGame g;
  MainForm& f = g.form();
  g.state().WakuDensity = 0;
  g.state().DateText = "4月1日";
  f.SlotUsed[1] = true;
  f.SlotX[1] = 350;
  f.SlotY[1] = 0;
  f.SlotW[1] = 200;
  f.SlotH[1] = 480;
  f.Doll_Disp[1].Resize(200, 480);
  f.Doll_Disp[1].SetBackColor(kCoat);
  g.messages().WakuOpen();
  // The strip inside the rim of the character's box lies over the scene.
  for (int x : {353, 354, 545, 546}) {
    const Rgb behind = x == 353 || x == 546 ? f.Pic_Main.Point(x, 410) : kCoat;
    EXPECT_EQ(f.Waku[0].Point(x - 35, 50), behind) << x;
  }
  // The tab's black corner is keyed out: the box, or the scene beside it.
  EXPECT_EQ(f.Waku[3].Point(0, 0), kCoat);
  EXPECT_EQ(f.Waku[3].Point(119, 0), f.Pic_Main.Point(610, 338));
  const Surface& label = f.Dtime_label;
  EXPECT_EQ(std::vector<int>({label.left, label.top}), std::vector<int>({24, 8}));
  EXPECT_GT(CountPixels(label, kWhite), 20);
}

// The wait begins at 0; `until keys` passes at 10. Clicks anywhere, Enter
// and Space end it; other input does nothing.
TEST(Waits, EndAtTheInputThatEndsThem) {
  const std::pair<const char*, std::int64_t> cases[] = {
      {"until keys\nwait 290\nclick 100 400\n", 300},  // the window
      {"until keys\nwait 290\nclick 100 100\n", 300},  // the scene
      {"until keys\nwait 290\nclick 450 100\n", 300},  // a character
      {"until keys\nwait 590\nclick 590 445\n", 600},  // the marker
      {"until keys\nwait 290\nkey Enter\n", 300},
      {"until keys\nwait 290\nkey Space\n", 300},
      {"until keys\nrclick 100 100\nkey a\nkey Escape\nwait 260\nkey Enter\n", 300},
  };
  for (const auto& [script, resumeAt] : cases) {
    SCOPED_TRACE(script);
    WindowGame g({.input = script});
    Surface& doll = g.form().Doll_Disp[2];
    doll.Resize(150, 300);
    doll.left = 400;
    doll.shown = true;
    g.state().MsgMode = 1;
    g.Say("待つ");
    EXPECT_EQ(g.Numbers("resume", "t"), (std::vector<std::int64_t>{resumeAt}));
    EXPECT_FALSE(g.form().Blinker.shown);
  }
}

TEST(Keys, MarkerBlinksEveryHalfSecondOnlyWhileWaiting) {
  WindowGame g({.input = "until keys\nwait 1690\nclick 100 400\n"});
  std::vector<std::pair<std::uint32_t, bool>> changes;
  bool last = false;
  g.Watch([&](std::uint32_t now) {
    if (g.form().Blinker.shown != last) changes.emplace_back(now, last = !last);
  });
  g.state().MsgMode = 1;
  g.Say("待つ");
  g.messages().WaitSec(2);
  const std::vector<std::pair<std::uint32_t, bool>> expected = {
      {500, true}, {1000, false}, {1500, true}, {1800, false}};  // gone by the next look
  EXPECT_EQ(changes, expected);
}

// A handler may unwind through a wait (a game being left or loaded):
// nothing is left behind that would blink. (Captions: InputWhileDrawing.)
TEST(Keys, LeavingThroughAHandlerTidiesUp) {
  WindowGame g({.input = "until keys\nwait 690\n"});  // runs out at 700, the marker on
  g.state().MsgMode = 1;
  EXPECT_THROW(g.Say("待つ"), GameExit);
  EXPECT_TRUE(g.Events("resume").empty());
  g.messages().WaitSec(1);
  EXPECT_FALSE(g.form().Blinker.shown);
}

// A right click on the window hides it (only in player-paced text), and
// stops skipping; clicks and keys then do nothing until a right click on
// the scene brings the window and its date tab back.
TEST(HiddenWindow, IgnoresInputUntilARightClickOnTheSceneRestoresIt) {
  WindowGame g({.msgMode = 0});
  g.state().DateTabOn = true;
  g.Say("窓");
  g.form().FindMenu(menu::kOptMenu)->enabled = true;
  Messages& m = g.messages();
  g.state().MsgMode = 1;
  m.speedup_Click();  // skipping
  g.state().KeyWait = true;
  g.state().ClickMode = false;
  m.OnMouseDown(MouseButton::kRight, 100, 400);
  EXPECT_TRUE(g.form().Waku[0].shown);
  g.state().ClickMode = true;
  m.OnMouseDown(MouseButton::kRight, 100, 400);
  EXPECT_FALSE(g.form().Waku[0].shown || g.form().Waku[3].shown);
  EXPECT_FALSE(g.platform().Menu()[3].enabled);  // the options
  EXPECT_EQ(g.state().MsgMode, 1);
  EXPECT_EQ(g.platform().Menu()[4].caption, menu::kSkipCaption);
  m.OnMouseDown(MouseButton::kLeft, 100, 400);  // the scene, now the window is gone
  m.OnKeyDown(Key{KeyCode::kEnter});
  m.OnKeyDown(Key{KeyCode::kSpace});
  EXPECT_TRUE(g.state().KeyWait);
  m.OnMouseDown(MouseButton::kRight, 100, 100);
  EXPECT_TRUE(g.form().Waku[0].shown && g.form().Waku[3].shown);
  EXPECT_TRUE(g.platform().Menu()[3].enabled);
  m.OnMouseDown(MouseButton::kLeft, 100, 100);
  EXPECT_FALSE(g.state().KeyWait);
}

// The skip item ends a wait at once, also while the player has hidden the
// window; the next message opens the window again without a wait, and a
// click ends the next wait again.
TEST(SkipItem, EndsTheWaitAndReopensAWindowThePlayerHid) {
  WindowGame g({.input = "until keys\nrclick 100 400\nwait 180\nmenu speedup\n"
                         "until keys\nclick 100 100\n"});
  g.form().FindMenu(menu::kSpeedup)->enabled = true;
  g.form().UpdateMenu();
  g.state().MsgMode = 1;
  g.Say("一");
  EXPECT_EQ(g.Numbers("resume", "t"), (std::vector<std::int64_t>{200}));
  EXPECT_EQ(g.platform().Menu()[4].caption, menu::kStopSkipCaption);
  g.Say("二");
  EXPECT_TRUE(g.form().Waku[0].shown);
  EXPECT_TRUE(g.form().FindMenu(menu::kOptMenu)->enabled);
  g.messages().speedup_Click();
  EXPECT_EQ(g.platform().Menu()[4].caption, menu::kSkipCaption);
  g.Say("三");
  EXPECT_EQ(g.Events("resume").size(), 2u);
}

}  // namespace
}  // namespace kovan::testing
