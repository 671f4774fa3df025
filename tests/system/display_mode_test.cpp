// The window and full screen: what the screen keys do during play, what a
// refusal leaves, and that the game always ends in a window.
#include "system/display_mode.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <vector>

#include "test_game.h"
#include "platform/headless/headless_platform.h"
#include "story/runner.h"
#include "test_support.h"

namespace kovan {
namespace {

using testing::TraceEvents;

std::unique_ptr<Platform> Headless(const std::string& input, bool refuse = false) {
  HeadlessOptions options;  // a 1280 x 1024 desktop
  options.inputScript = input;
  options.refuseFullScreen = refuse;
  options.maxMs = 300000;  // a game that never gets to its input still ends
  auto created = CreateHeadlessPlatform(options);
  EXPECT_TRUE(created.ok());
  return std::move(created.value());
}

// Full screen, caption, menu strip, place and size, picture size.
std::vector<int> Look(Platform& p) {
  const WindowPlacement w = p.Placement();
  return {w.fullScreen, w.caption, w.menuStrip, w.x, w.y, w.width, w.height, w.pictureWidth,
          w.pictureHeight};
}
// A 640 x 480 picture under its menu bar, captioned, centred.
const std::vector<int> kCentredWindow{0, 1, 1, 320, 262, 640, 500, 640, 480};

long VisibleMenuItems(Platform& p) {
  const auto& menu = p.Menu();
  return std::count_if(menu.begin(), menu.end(), [](const MenuItem& m) { return m.visible; });
}

struct KeysCase {
  const char* name;
  const char* input;
  bool refuse;
  int toFull, toWindow;  // screen events each way
  int refusals;          // "screen mode not changed." boxes
  int resumes;           // waits the player ended
};

const KeysCase kKeysCases[] = {
    {"EscTwiceComesBack", "until keys\nkey Escape\nkey Escape\nwait 100\n", false, 1, 1, 0, 0},
    {"ClosedInFullScreen", "until keys\nkey Escape\nwait 100\n", false, 1, 1, 0, 0},
    {"AltEnterAndF11DontAdvance", "until keys\nkey Alt+Enter\nkey F11\nkey Enter\nuntil keys\n",
     false, 1, 1, 0, 1},
    {"RefusedTwice", "until keys\nkey Escape\nkey Escape\nwait 100\n", true, 0, 0, 2, 0},
    {"HiddenMessageWindow", "until keys\nrclick 300 400\nkey Escape\nwait 100\n", false, 0, 0, 0,
     0},
};

class ScreenKeysTest : public ::testing::TestWithParam<KeysCase> {};

// The game over two messages, played with the case's input to its end.
TEST_P(ScreenKeysTest, SwitchesAndEndsInACentredWindow) {
  const KeysCase& c = GetParam();
  testing::TempDir dir;
  testing::WriteGameFolder(
      dir.path(),
      {.scenario = "1000,,,,,,,,\"一行目\",,,,\r\n1000,,,,,,,,\"二行目\",,,,\r\n1000,e,,,,,,,,,,,\r\n"});
  auto platform = Headless(c.input, c.refuse);
  std::ostringstream trace;
  platform->trace().SetStream(&trace);
  GameOptions options;
  options.appPath = dir.path();
  RunGame(*platform, options);

  // Full screen shows on the desktop's own mode; the window comes back
  // before the game ends.
  const std::string t = trace.str();
  const auto count = [&t](const char* part) {
    int n = 0;
    for (auto at = t.find(part); at != std::string::npos; at = t.find(part, at + 1)) ++n;
    return n;
  };
  EXPECT_EQ(std::vector<int>({count("\"screen\",\"full\":true,\"width\":1280,\"height\":1024"),
                              count("\"screen\",\"full\":false"), count("screen mode not changed."),
                              static_cast<int>(TraceEvents(t, "resume").size())}),
            std::vector<int>({c.toFull, c.toWindow, c.refusals, c.resumes}));
  EXPECT_TRUE(c.toWindow == 0 || t.rfind("\"screen\"") < t.find("\"exit\""));
  EXPECT_EQ(Look(*platform), kCentredWindow);
  EXPECT_EQ(VisibleMenuItems(*platform), 6);
}

INSTANTIATE_TEST_SUITE_P(Play, ScreenKeysTest, ::testing::ValuesIn(kKeysCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The full-screen window covers the desktop without menu bar or caption;
// back in a window, a window the player had resized is a centred 640 x 480
// one again. A system that can't switch ignores the keys.
TEST(DisplayMode, CoversTheDesktopAndComesBackFromAResizedWindow) {
  auto platform = Headless("");
  EngineState state;
  MainForm form(*platform);
  GameLog log;
  DisplayMode display(*platform, state, form, log);
  display.ScreenModeGet();
  platform->SetClientSize(1000, 700);

  display.SwitchScreen();
  EXPECT_EQ(Look(*platform), (std::vector<int>{1, 0, 0, 0, 0, 1280, 1024, 1280, 960}));
  EXPECT_EQ(VisibleMenuItems(*platform), 0);
  EXPECT_TRUE(state.ScreenChanged);

  display.SwitchScreen();
  EXPECT_EQ(Look(*platform), kCentredWindow);
  EXPECT_EQ(VisibleMenuItems(*platform), 6);
  EXPECT_FALSE(state.ScreenChanged);

  state.ModeFixed = true;
  display.SwitchScreen();
  EXPECT_EQ(Look(*platform), kCentredWindow);
}

}  // namespace
}  // namespace kovan
