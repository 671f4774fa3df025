// The scenario interpreter: walks the lines from SeqPos, applies each
// line's scene changes and command, and shows its message.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace kovan {

class Game;
struct SeqRecord;

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
  // shown. Ways out of the game unwind through it as GameExit. A pass is a
  // loop, never a recursion, so it doesn't grow the stack however long it
  // runs. A position outside the loaded lines (a bad jump target or a
  // loaded position) ends the pass like the last line does. When the game
  // has taken the most lines its options allow, it ends with the reason
  // "lines".
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
  // Copies the line at SeqPos into the current-line fields, applies its
  // scene changes and runs its command; gives the step result.
  int ExecuteLine();
  // Takes the line's place, sprite and face fields into the state; gives
  // the result of the scene updates they call for.
  int SceneUpdates(const SeqRecord& line);
  // Runs the command named by the first character of CmdText; a line
  // without a command keeps sceneResult.
  int RunCommand(int sceneResult);
  // Jumps to a section: 1, or 2 when the section isn't there (after the
  // message), so a missing target never repeats the jump.
  int JumpTo(std::int16_t section);

  // The handlers of the letters "a", "s", "t", "e", "q" and "r".
  int SoundLine();
  int ChoiceLine();
  int TextModeLine();
  int EndLine();
  int QuitLine();
  int ClearLine();

  // Ends the game when the line bound is reached; counts the line.
  void CountLine();

  Game& game_;
  std::int64_t linesTaken_ = 0;  // in every pass of this game
};

// Puts the names in for the markers "&0" to "&5". After each name the
// search goes on behind it, so names of any length follow one another and
// a name is put in as it is: a marker inside a name is not expanded. A "&"
// at the end or before anything but 0 to 5 stays.
std::string ReplaceNameMarkers(std::string text, const std::array<std::string, 6>& names);

}  // namespace kovan
