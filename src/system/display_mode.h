// Switching the main window between a window and full screen. The display's
// own mode never changes: full screen shows the picture scaled on the mode
// the desktop already has, so switching back has nothing to restore on the
// desktop, only the window's caption, menu bar, size and place.
#pragma once

#include "engine/engine_state.h"
#include "engine/game_log.h"
#include "message/main_form.h"
#include "platform/platform.h"

namespace kovan {

class DisplayMode {
 public:
  DisplayMode(Platform& platform, EngineState& state, MainForm& form, GameLog& log);

  // At start-up: notes the desktop's mode, the one the game leaves the
  // desktop in.
  void ScreenModeGet();
  // Full screen: the menu items hidden, the caption off, the picture
  // scaled to the screen; `ScreenChanged` becomes true. When the desktop
  // refuses, the window stays as it was and the player is told "screen
  // mode not changed.".
  void ScreenFull();
  // Back to a window: the menu items shown, the caption on, a 640 x 480
  // client area, centred on the screen; `ScreenChanged` becomes false. A
  // window that can't leave full screen stays full, and the game says so in
  // its log.
  void ScreenWindow();
  // What the screen keys do where the main window takes keys: switch to the
  // other mode unless `ModeFixed` says this system can't.
  void SwitchScreen();

  // Esc, and the keys players know from other programs, F11 and Alt+Enter.
  static bool IsScreenKey(const Key& key);

 private:
  void ShowMenu(bool shown);
  // The "screen" event: the mode now shown and the desktop's mode it shows on.
  void TraceScreen(bool full, const DisplayInfo& desktop);

  Platform& platform_;
  EngineState& state_;
  MainForm& form_;
  GameLog& log_;
  DisplayInfo screenModeSaved_;  // the desktop's mode at start-up
  DisplayInfo screenMode_;       // the desktop's mode full screen last used
};

}  // namespace kovan
