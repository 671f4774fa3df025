// The scenario interpreter: walks the lines from SeqPos, applies each
// line's scene changes and command, and shows its message.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace kovan {

class Game;

// What a line's scene updates and command give the interpreter.
enum StepResult : int {
  kStepShowMessage = 0,  // show the message, then the next line
  kStepExecuteNow = 1,   // SeqPos was set: execute that line at once
  kStepNextLine = 2,     // the next line, silently
  kStepTitle = 9,        // the title screen, then leave
};

class Script {
 public:
  explicit Script(Game& game) : game_(game) {}

  // Runs from SeqPos until the last loaded line is reached or the title is
  // shown. Ways out of the game unwind through it as GameExit.
  void ScriptRun();

  // The command handlers; each gives a step result.
  int CmdGo();
  int CmdParam();
  int CmdIf();
  int CmdTextMode();
  int CmdWait();
  // Hands the line's text to the message window with its speaker's tag
  // and colour.
  void SpeakerShow();

 private:
  Game& game_;
};

// Puts the names in for the markers "&0" to "&5", searching again from the
// start after each, so names of any length follow one another.
std::string ReplaceNameMarkers(std::string text, const std::array<std::string, 6>& names);

}  // namespace kovan
