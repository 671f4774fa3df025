#include "dialogs/dialogs.h"

namespace kovan {

namespace {

constexpr double kTextPoints = 9;
constexpr double kTitlePoints = 16;

}  // namespace

Dialogs::Dialogs(Platform& platform, EngineState& state, MainForm& form, Messages& messages,
                 Sound& sound)
    : messages_(messages),
      options_(platform, state, form, sound),
      names_(platform, state),
      about_(platform) {}

void Dialogs::opt_menu_Click(bool playerWaitRunning) {
  if (options_.IsOpen()) return;
  options_.Form_Load(messages_.FontAt(kTextPoints));
  if (!playerWaitRunning) messages_.Keys();
}

void Dialogs::vvrr_Click() {
  if (about_.IsOpen()) return;
  about_.Form_Load(messages_.FontAt(kTextPoints), messages_.FontAt(kTitlePoints));
}

void Dialogs::NameEnt() {
  if (!names_.IsOpen()) names_.Form_Load(messages_.FontAt(kTextPoints));
  // Only OK ends this wait while the window is up; should anything else,
  // the story still waits for the name.
  do {
    messages_.Keys();
  } while (names_.IsOpen());
}

}  // namespace kovan
