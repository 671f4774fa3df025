// The window and full screen: what the screen keys do during play, what a
// refusal leaves, and that the game always ends in a window.
#include "system/display_mode.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "data_folder.h"
#include "platform/headless/headless_platform.h"
#include "story/runner.h"
#include "test_support.h"

namespace kovan {
namespace {

using testing::TempDir;
using testing::TraceEvents;

constexpr DisplayInfo kDesktop{1280, 1024, 24};

std::unique_ptr<Platform> Headless(const std::string& input, bool refuse = false) {
  HeadlessOptions options;
  options.inputScript = input;
  options.refuseFullScreen = refuse;
  options.maxMs = 300000;  // a game that never gets to its input still ends
  auto created = CreateHeadlessPlatform(options);
  EXPECT_TRUE(created.ok());
  return std::move(created.value());
}

// A 640 x 480 picture under its menu bar, captioned, in the middle of the
// desktop, every menu item shown.
void ExpectCentredWindow(Platform& p) {
  const WindowPlacement w = p.Placement();
  EXPECT_FALSE(w.fullScreen);
  EXPECT_TRUE(w.caption);
  EXPECT_TRUE(w.menuStrip);
  EXPECT_EQ(w.pictureWidth, 640);
  EXPECT_EQ(w.pictureHeight, 480);
  EXPECT_EQ(w.x, (kDesktop.width - w.width) / 2);
  EXPECT_EQ(w.y, (kDesktop.height - w.height) / 2);
  for (const MenuItem& item : p.Menu()) EXPECT_TRUE(item.visible) << item.name;
}

// The "full" field of each screen event, in order: "true,false".
std::string ScreenSwitches(const std::string& trace) {
  std::string out;
  for (const std::string& e : TraceEvents(trace, "screen")) {
    if (!out.empty()) out += ",";
    out += e.find("\"full\":true") != std::string::npos ? "true" : "false";
  }
  return out;
}

struct KeysCase {
  const char* name;
  const char* input;
  bool refuse;
  const char* switches;
  int refusals;  // "screen mode not changed." boxes
  int resumes;   // waits the player ended
};

void PrintTo(const KeysCase& c, std::ostream* os) { *os << c.name; }

const KeysCase kKeysCases[] = {
    {"EscTwiceComesBack", "until keys\nkey Escape\nkey Escape\nwait 100\n", false, "true,false",
     0, 0},
    {"ClosedInFullScreen", "until keys\nkey Escape\nwait 100\n", false, "true,false", 0, 0},
    {"AltEnterAndF11DontAdvance", "until keys\nkey Alt+Enter\nkey F11\nkey Enter\nuntil keys\n",
     false, "true,false", 0, 1},
    {"RefusedTwice", "until keys\nkey Escape\nkey Escape\nwait 100\n", true, "", 2, 0},
    {"HiddenMessageWindow", "until keys\nrclick 300 400\nkey Escape\nwait 100\n", false, "", 0,
     0},
};

class ScreenKeysTest : public ::testing::TestWithParam<KeysCase> {};

// The game over two messages, played with the case's input to its end.
TEST_P(ScreenKeysTest, SwitchesAndEndsInACentredWindow) {
  const KeysCase& c = GetParam();
  TempDir dir;
  testing::WriteDataFolder(dir.path(), {{},
                                        "1000,,,,,,,,\"一行目\",,,,\r\n"
                                        "1000,,,,,,,,\"二行目\",,,,\r\n"
                                        "1000,e,,,,,,,,,,,\r\n",
                                        ""});
  auto platform = Headless(c.input, c.refuse);
  std::ostringstream trace;
  platform->trace().SetStream(&trace);
  GameOptions options;
  options.appPath = dir.path();
  RunGame(*platform, options);

  const std::string t = trace.str();
  EXPECT_EQ(ScreenSwitches(t), c.switches);
  const auto boxes = TraceEvents(t, "msgbox");
  EXPECT_EQ(std::count_if(boxes.begin(), boxes.end(),
                          [](const std::string& e) {
                            return e.find("screen mode not changed.") != std::string::npos;
                          }),
            c.refusals);
  EXPECT_EQ(TraceEvents(t, "resume").size(), static_cast<std::size_t>(c.resumes));
  // Full screen shows on the desktop's own mode; the window comes back
  // before the game ends.
  for (const std::string& e : TraceEvents(t, "screen")) {
    EXPECT_NE(e.find("\"width\":1280,\"height\":1024"), std::string::npos) << e;
  }
  if (!TraceEvents(t, "screen").empty()) {
    EXPECT_LT(t.rfind("\"ev\":\"screen\""), t.find("\"ev\":\"exit\""));
  }
  ExpectCentredWindow(*platform);
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
  platform->SetClientSize(640, 480);
  display.ScreenModeGet();
  platform->SetClientSize(1000, 700);

  display.SwitchScreen();
  const WindowPlacement full = platform->Placement();
  EXPECT_TRUE(full.fullScreen);
  EXPECT_FALSE(full.caption);
  EXPECT_FALSE(full.menuStrip);
  EXPECT_EQ(full.width, kDesktop.width);
  EXPECT_EQ(full.height, kDesktop.height);
  EXPECT_EQ(full.pictureWidth, 1280);
  EXPECT_EQ(full.pictureHeight, 960);
  EXPECT_TRUE(state.ScreenChanged);
  for (const MenuItem& item : platform->Menu()) EXPECT_FALSE(item.visible) << item.name;

  display.SwitchScreen();
  EXPECT_FALSE(state.ScreenChanged);
  ExpectCentredWindow(*platform);

  state.ModeFixed = true;
  display.SwitchScreen();
  EXPECT_FALSE(state.ScreenChanged);
  EXPECT_FALSE(platform->Placement().fullScreen);
}

}  // namespace
}  // namespace kovan
