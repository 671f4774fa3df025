// `Option_Window`, "オプション設定": how messages are shown, music and sound
// effects on or off, the mesh option and the message window's density. It
// works on the engine's option variables directly; nothing goes to disk.
#pragma once

#include <array>

#include "engine/engine_state.h"
#include "message/main_form.h"
#include "platform/form.h"
#include "platform/form_controls.h"
#include "platform/platform.h"
#include "sound/sound.h"

namespace kovan {

class OptionWindow {
 public:
  OptionWindow(Platform& platform, EngineState& state, MainForm& mainForm, Sound& sound);
  ~OptionWindow();
  OptionWindow(const OptionWindow&) = delete;
  OptionWindow& operator=(const OptionWindow&) = delete;

  // Opens the window over the picture with the current settings and
  // returns; the main window takes no input until OK or Cancel closes it.
  // font draws the window's text (may be null).
  void Form_Load(Font* font);
  bool IsOpen() const { return open_; }
  Form& form() { return form_; }

  // The slider moved: its value shows beside it.
  void HScroll1_Change();
  // OK: the settings take effect at once. Music switched off stops now;
  // "選択までｽｷｯﾌﾟ" ends the wait for the player and skips from here.
  void Command1_Click();
  // Cancel (or Escape): nothing changes.
  void Command2_Click();

 private:
  void Build();
  // Closes the window (traced with op first, when given); the main window
  // takes input again.
  void Form_Unload(const char* op);

  Platform& platform_;
  EngineState& state_;
  MainForm& mainForm_;
  Sound& sound_;
  Form form_;
  Frame* Frame1 = nullptr;
  std::array<OptionButton*, 4> Option{};  // Option1 to Option4: MsgMode 0 to 3
  CheckBox* Check1 = nullptr;
  CheckBox* Check2 = nullptr;
  CheckBox* Check3 = nullptr;
  HScrollBar* HScroll1 = nullptr;
  Label* Label4 = nullptr;
  bool open_ = false;
};

}  // namespace kovan
