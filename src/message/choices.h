// Choices: up to three options shown in the message window, the one under
// the pointer (or moved to with the arrow keys) highlighted with a short
// sound, the picked one taking the story to its target line.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/engine_state.h"
#include "message/main_form.h"
#include "message/messages.h"
#include "platform/platform.h"
#include "sound/sound.h"

namespace kovan {

class Choices {
 public:
  Choices(Platform& platform, EngineState& state, MainForm& form, Messages& messages,
          Sound& sound);

  // Shows the options of the choice line now current (LineText holds how
  // many, SectionNo names the set), waits for a pick and sets SeqPos to its
  // target; gives 1. Skipping stops here. A line asking for no option or
  // more than three, or a set running past the loaded table, is refused
  // with a message naming the section and gives 2: the story goes on with
  // the next line.
  int ChoiceSelect();

  // The pointer over option i: highlights it (once per new option) while
  // hovering is armed.
  void SelTxt_MouseMove(int i);
  // A button down on option i: the left button picks it, after a second.
  void SelTxt_MouseDown(int i, MouseButton button);
  // Up and Down (and the wheel) move the highlight, Enter and Space pick
  // the highlighted option. False when no choice waits or the key is not
  // one of these.
  bool OnKeyDown(const Key& key);
  bool OnWheel(int steps);
  // Whether a choice is up, waiting for its pick.
  bool Waiting() const { return waiting_; }

 private:
  struct Row {
    int index = 0;
    std::string caption;
    std::int32_t target = 0;
  };
  // Refuses the line: the message, and the step result that passes it.
  int Refuse(const std::string& why);
  // Takes the n options of the set at ChoiceFirst and shows them in grey,
  // all as wide as the widest.
  void ShowOptions(int n);
  void Highlight(int i);
  void Paint(int i, Rgb colour);
  void SetPlayItems(bool enabled);
  void MoveHighlight(int step);

  Platform& platform_;
  EngineState& state_;
  MainForm& form_;
  Messages& messages_;
  Sound& sound_;
  std::vector<Row> ChoiceRows;
  int width_ = 0;
  bool waiting_ = false;
};

}  // namespace kovan
