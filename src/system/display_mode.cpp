#include "system/display_mode.h"

namespace kovan {

namespace {

constexpr int kClientWidth = 640;
constexpr int kClientHeight = 480;
constexpr const char* kRefused = "screen mode not changed.";

}  // namespace

DisplayMode::DisplayMode(Platform& platform, EngineState& state, MainForm& form, GameLog& log)
    : platform_(platform), state_(state), form_(form), log_(log) {}

void DisplayMode::ScreenModeGet() {
  screenModeSaved_ = platform_.Display();
  screenMode_ = screenModeSaved_;
}

// The switch is asked for first, so a refusal has nothing to undo: the
// menu bar and the caption stay as they were and the next Esc tries again.
void DisplayMode::ScreenFull() {
  screenMode_ = platform_.Display();
  if (Status full = platform_.SetFullScreen(true); !full) {
    log_.Line("full screen: " + full.error());
    platform_.MessageBox(kRefused, MsgBoxButtons::kOk);
    return;
  }
  ShowMenu(false);
  platform_.ToggleCaption();
  platform_.stage().Invalidate();
  state_.ScreenChanged = true;
  TraceScreen(true, screenMode_);
}

void DisplayMode::ScreenWindow() {
  if (Status left = platform_.SetFullScreen(false); !left) {
    log_.Line("leaving full screen: " + left.error());
    return;
  }
  ShowMenu(true);
  platform_.ToggleCaption();
  platform_.stage().Invalidate();
  platform_.SetClientSize(kClientWidth, kClientHeight);
  platform_.CentreWindow();
  state_.ScreenChanged = false;
  TraceScreen(false, screenModeSaved_);
}

void DisplayMode::SwitchScreen() {
  if (state_.ModeFixed) return;
  if (state_.ScreenChanged) {
    ScreenWindow();
  } else {
    ScreenFull();
  }
}

bool DisplayMode::IsScreenKey(const Key& key) {
  return key.code == KeyCode::kEscape || key.code == KeyCode::kF11 ||
         (key.code == KeyCode::kEnter && key.alt);
}

void DisplayMode::ShowMenu(bool shown) {
  for (MenuItem& item : form_.Menu) item.visible = shown;
  form_.UpdateMenu();
}

void DisplayMode::TraceScreen(bool full, const DisplayInfo& desktop) {
  platform_.trace().Event(platform_.Ticks(), "screen",
                          {{"full", full}, {"width", desktop.width}, {"height", desktop.height}});
}

}  // namespace kovan
