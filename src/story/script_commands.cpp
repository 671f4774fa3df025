// The handlers of the scenario's command letters.
#include <cstdint>
#include <string_view>

#include "story/game.h"
#include "engine/game_exit.h"
#include "engine/scenario.h"
#include "story/script.h"
#include "engine/script_numbers.h"
#include "platform/text_codec.h"

namespace kovan {
namespace {

constexpr std::int64_t kDefaultWaitMs = 1000;
constexpr std::uint32_t kWaitStepMs = 50;
constexpr std::uint32_t kQuitStepMs = 50;
constexpr long kEndPauseSeconds = 2;

// The counter a command names by the first three characters of its text;
// nothing for any other name. "hap" only when the command may name it.
std::int16_t* CounterNamed(EngineState& s, std::string_view text, bool hapToo) {
  const std::string name = Utf8Left(text, 3);
  if (name == "kou") return &s.Kou;
  if (name == "pap") return &s.Pap;
  if (name == "rub") return &s.Rub;
  if (name == "hap" && hapToo) return &s.Hap;
  return nullptr;
}

// The selector: the command's last character.
char SelectorOf(const std::string& cmd) { return cmd.empty() ? '\0' : cmd.back(); }

}  // namespace

int Script::JumpTo(std::int16_t section) {
  const bool known = FindSectionLine(game_.state, section).has_value();
  game_.SeqJump(section);  // says "Not found NUM to SEQ" when it misses
  return known ? kStepExecuteNow : kStepNextLine;
}

int Script::CmdGo() {
  const std::string& cmd = game_.state.CmdText;
  if (cmd == "g0") return JumpTo(game_.state.JumpSection);
  if (cmd == "g9") return kStepTitle;
  // "g4" asks for the protagonist's name and waits for it; "g1" to "g3"
  // and other "g" commands do nothing.
  if (cmd == "g4") game_.dialogs().NameEnt();
  return kStepNextLine;
}

int Script::CmdParam() {
  EngineState& s = game_.state;
  switch (SelectorOf(s.CmdText)) {
    case '2':
      // Sums beyond the 16-bit range stay at its end rather than wrapping
      // round to the other sign.
      if (std::int16_t* counter = CounterNamed(s, s.LineText, true)) {
        *counter = SaturatedSum(*counter, NumberOrZero(s.Arg1));
      }
      break;
    case '8':
      s.SaveTitle = s.LineText;
      break;
    case '9':
      s.DateText = s.LineText;
      game_.messages().SetDate(s.DateText);
      break;
    default:
      game_.MsgBox("error(p?)");
      break;
  }
  return kStepNextLine;
}

int Script::CmdIf() {
  EngineState& s = game_.state;
  if (SelectorOf(s.CmdText) != '1') {
    game_.MsgBox("error(i?)");
    return kStepNextLine;
  }
  // Equality only; "hap" can't be tested.
  const std::int16_t* counter = CounterNamed(s, s.LineText, false);
  if (counter == nullptr || *counter != NumberOrZero(s.Arg1)) return kStepNextLine;
  return JumpTo(s.JumpSection);
}

int Script::CmdTextMode() {
  EngineState& s = game_.state;
  switch (SelectorOf(s.CmdText)) {
    case '0':
      s.ClickMode = false;
      game_.form().Blinker.shown = false;
      s.DateTabOn = false;
      s.MsgMode = 3;
      game_.messages().ShowSkipState();  // skipping, if it ran, has ended
      break;
    case 's':
      s.NextFontSize = NumberOrZero(s.Arg1);
      break;
    case 'p':
      s.CaptionX = NumberOrZero(s.Arg1);
      s.CaptionY = NumberOrZero(s.Arg2);
      break;
    default:
      break;
  }
  return kStepShowMessage;
}

int Script::CmdWait() {
  // A text that isn't a number counts as none: the standard second.
  const auto ms = ScriptNumber(game_.state.LineText);
  const std::int64_t wait = ms ? *ms : kDefaultWaitMs;
  Platform& platform = game_.platform();
  const std::uint32_t start = platform.Ticks();
  // At most w ms have passed: "0" still lets events run once.
  while (static_cast<std::int64_t>(platform.Ticks() - start) <= wait) {
    platform.DoEvents();
    platform.Sleep(kWaitStepMs);
  }
  return kStepNextLine;
}

int Script::SoundLine() {
  game_.sound().CmdSound(game_.state.CmdText);
  return kStepNextLine;
}

int Script::ChoiceLine() { return game_.choices().ChoiceSelect(); }

int Script::TextModeLine() {
  EngineState& s = game_.state;
  s.ClickMode = true;
  const int result = CmdTextMode();
  // Every mode but automatic text starts on a clean page.
  if (s.ClickMode) game_.messages().WakuClear();
  return result;
}

int Script::EndLine() {
  // The wait marker's timer runs only inside the player wait, which has
  // stopped it before any line runs. The music is left to end on its own.
  game_.sound().BGMLoopStop();
  game_.messages().WaitSec(kEndPauseSeconds);
  throw GameExit{"end", 0};
}

int Script::QuitLine() {
  Platform& platform = game_.platform();
  for (int i = 0; i < 2; ++i) {
    platform.DoEvents();
    platform.Sleep(kQuitStepMs);
  }
  throw GameExit{"quit", 0};
}

int Script::ClearLine() {
  game_.messages().WakuClear();
  return kStepShowMessage;
}

}  // namespace kovan
