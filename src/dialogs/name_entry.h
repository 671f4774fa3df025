// `NameEnt`, "なまえの変更": the player renames the protagonist. The whole
// name goes into one box, family name and given name apart by a space; OK
// stores it (when it follows the name rules) and lets the story go on.
#pragma once

#include "engine/engine_state.h"
#include "platform/form.h"
#include "platform/platform.h"
#include "platform/text_box.h"

namespace kovan {

class NameEntry {
 public:
  NameEntry(Platform& platform, EngineState& state);
  ~NameEntry();
  NameEntry(const NameEntry&) = delete;
  NameEntry& operator=(const NameEntry&) = delete;

  // Opens the window with the current name in the box and returns; the
  // main window takes no input until OK closes it. font draws the window's
  // text (may be null).
  void Form_Load(Font* font);
  bool IsOpen() const { return open_; }
  Form& form() { return form_; }

  // OK. A name whose parts the save file could not hold is refused with a
  // message in the window, which stays open. Otherwise a text that follows
  // the name rules (see SplitName) becomes CharName(1) and (2), any other
  // leaves them as they were; either way the window closes, the input
  // method goes off and the wait for the player ends.
  void Command1_Click();

 private:
  void Build();

  Platform& platform_;
  EngineState& state_;
  Form form_;
  TextBox* Text1 = nullptr;
  Label* Label2 = nullptr;  // why a name was refused
  bool open_ = false;
};

}  // namespace kovan
