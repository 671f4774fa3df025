// The options window, the name entry and the version box, and the menu
// commands and script command that open them.
#pragma once

#include "dialogs/about_box.h"
#include "dialogs/name_entry.h"
#include "dialogs/option_window.h"
#include "engine/engine_state.h"
#include "message/main_form.h"
#include "message/messages.h"
#include "platform/platform.h"
#include "sound/sound.h"

namespace kovan {

class Dialogs {
 public:
  Dialogs(Platform& platform, EngineState& state, MainForm& form, Messages& messages, Sound& sound);

  // "設定": opens the options window, then play waits for the player as
  // after a message. When the game already waits for the player (a
  // message, a choice, the title), the window joins that wait instead:
  // one click after the window closes ends it, as it would have anyway.
  void opt_menu_Click(bool playerWaitRunning);
  // "バージョン": shows the version box; play goes on behind it.
  void vvrr_Click();
  // The script's name entry ("g4"): the name window, then the wait that its
  // OK button ends.
  void NameEnt();

  OptionWindow& optionWindow() { return options_; }
  NameEntry& nameEntry() { return names_; }
  AboutBox& aboutBox() { return about_; }

 private:
  Messages& messages_;
  OptionWindow options_;
  NameEntry names_;
  AboutBox about_;
};

}  // namespace kovan
