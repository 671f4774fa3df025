// The headless backend: no window and no audio, a virtual clock, input from
// a script, observable events to the trace, screenshots as PNG.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/platform.h"
#include "platform/result.h"

namespace kovan {

struct HeadlessOptions {
  std::string inputScript;  // the script's text (not a path); empty = no actions
  std::string shotsDir;     // where relative shot names land
  std::int64_t maxMs = -1;  // game-time bound; -1 = none
  // Where to record what the player would hear (a wave file); empty = no
  // recording, and then the synthesizer never starts.
  std::string audioPath;
  std::string soundFont;  // as FindSoundFont takes it
  DisplayInfo display{1280, 1024, 24};
  bool refuseFullScreen = false;  // the desktop says no to full screen
};

// A script line that can't be read is an error naming its line number.
//
// How the script meets the game:
// - The clock starts at 0 and moves only by Sleep.
// - Each DoEvents runs the actions that are due, delivering at most one
//   input (click, key, menu, dialog action, quit) per call.
// - `menu ITEM` reaches the game only while the menu bar (SetMenu) has an
//   enabled, visible item of that name, as a click would; otherwise it is
//   dropped, with a trace event {"ev":"menu","item":ITEM,"op":"ignored"},
//   and counts as no input.
// - `until STATE` holds the actions behind it until the state the game last
//   reported through SetGameState is STATE. Delivering an input forgets the
//   reported state, since the input may end the wait; so a waiting loop
//   reports its state on every pass, before it calls DoEvents. `until
//   dialog NAME` also holds while a form of that name is open.
// - MessageBox takes its answer from the script when the next action is
//   `answer` (possibly after `wait`s, which then pass while the box is open,
//   and `until msgbox`); otherwise OK boxes answer OK and Yes/No boxes No.
//   An `answer` that comes up while no box is open waits for the next box.
// - When the actions are used up and the game reports a waiting state the
//   sink gets OnClose, once (a scripted `quit` counts as the script's
//   close); when the clock reaches maxMs it gets OnTimeLimit, once.
// - The window is modelled on a desktop of the display's size: it opens at
//   its top left corner, the strip is kMenuBarHeight tall, full screen
//   covers the display and leaving it puts the window back where it was.
[[nodiscard]] Result<std::unique_ptr<Platform>> CreateHeadlessPlatform(
    const HeadlessOptions& options);

}  // namespace kovan
