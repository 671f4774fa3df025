#include "story/script.h"

#include <array>
#include <cstdint>
#include <iterator>
#include <optional>
#include <string_view>

#include "engine/engine_state.h"
#include "engine/game_exit.h"
#include "story/game.h"
#include "engine/script_numbers.h"
#include "platform/surface.h"

namespace kovan {
namespace {

// A scenario that jumps round in a circle without a message never waits,
// so after this many lines in one go the pass lets pending events run once:
// the window can still be closed. A story shows messages long before that,
// and the extra event delivery changes nothing for it.
constexpr int kLinesPerEventPump = 4096;

// The exit status of a run that the line bound ended: a scenario that
// reaches it runs away, which a test run should not take for success.
constexpr int kLineBoundExitCode = 3;

constexpr Rgb kSpeakerColour = MakeRgb(255, 255, 255);
constexpr Rgb kNarrationColour = MakeRgb(192, 192, 255);

// Tags of the speakers 2 to 8; speaker 1 is the protagonist, by name.
constexpr std::array<std::string_view, 7> kFixedTags = {
    "【瑠璃子】", "【ルリコ】", "【直人】", "【沙耶】", "【健太郎】", "【店長】", "【女の子】"};

// A sprite field's digit at one end, or nothing when that end isn't one.
std::optional<std::uint8_t> DigitAt(const std::string& field, bool last) {
  if (field.empty()) return std::nullopt;
  return DigitOf(last ? field.back() : field.front());
}

}  // namespace

void Script::ScriptRun() {
  EngineState& s = game_.state;
  bool endCheck = true;
  int linesSincePump = 0;
  for (;;) {
    if (endCheck && s.SeqPos == s.SeqLast) return;
    if (s.SeqPos < 0 || s.SeqPos > s.SeqLast || s.SeqPos >= std::ssize(s.Seq)) return;
    if (linesSincePump == kLinesPerEventPump) {
      linesSincePump = 0;
      game_.platform().DoEvents();
    }
    ++linesSincePump;
    CountLine();
    endCheck = true;
    switch (ExecuteLine()) {
      case kStepShowMessage:
        SpeakerShow();
        ++s.SeqPos;
        break;
      case kStepExecuteNow:
        // The target runs even when it is the last loaded line.
        endCheck = false;
        break;
      case kStepNextLine:
        ++s.SeqPos;
        break;
      case kStepTitle:
        // The pass ends with the title up; its start button runs the
        // story again from the runner.
        game_.savegame().TitleDisp();
        return;
      default:
        break;  // the same line again
    }
  }
}

void Script::CountLine() {
  const std::int64_t bound = game_.options().maxLines;
  if (bound >= 0 && linesTaken_ >= bound) {
    game_.log().Line("The run ended after " + std::to_string(linesTaken_) +
                     " scenario lines, the most it was allowed.");
    throw GameExit{"lines", kLineBoundExitCode};
  }
  ++linesTaken_;
}

int Script::ExecuteLine() {
  EngineState& s = game_.state;
  const SeqRecord& line = s.Seq[static_cast<std::size_t>(s.SeqPos)];
  s.SectionNo = line.Section;
  s.CmdText = TrimSpaces(line.Command);
  s.JumpSection = line.JumpTo;
  s.LineText = TrimSpaces(line.Text);
  s.Arg1 = TrimSpaces(line.Arg1);
  s.Arg2 = TrimSpaces(line.Arg2);
  s.SubstFlag = TrimSpaces(line.Subst);
  game_.platform().trace().Event(
      game_.Now(), "line",
      {{"pos", std::int64_t{s.SeqPos}}, {"section", int{s.SectionNo}}, {"cmd", s.CmdText}});

  // A speaker that isn't a number is narration.
  s.SpeakerNo = NumberOrZero(TrimSpaces(line.Speaker));
  if (s.SubstFlag == "1") s.LineText = ReplaceNameMarkers(s.LineText, s.CharName);
  return RunCommand(SceneUpdates(line));
}

int Script::SceneUpdates(const SeqRecord& line) {
  EngineState& s = game_.state;
  bool placeChange = false;
  bool spriteChange = false;
  bool faceChange = false;

  // Fields that aren't numbers count as empty. The same place twice in a
  // row draws the scene once.
  if (auto place = ScriptNumber(TrimSpaces(line.Place)); place && *place != s.PlaceLast) {
    s.PlaceNo = *place;
    s.PlaceLast = *place;
    s.DollNo = 0;
    placeChange = true;
  }
  // Character digit first, pose digit last ("13"; "1" is character 1 in
  // pose 1). A first character that is no digit names character 0, which
  // no sprite belongs to; a last one that is no digit keeps the pose.
  if (const std::string doll = TrimSpaces(line.Doll); !doll.empty()) {
    s.DollNo = DigitAt(doll, false).value_or(0);
    if (const auto pose = DigitAt(doll, true)) s.DollPose = *pose;
    spriteChange = true;
  }
  if (auto face = ScriptNumber(TrimSpaces(line.Face)); face && *face >= 0 && *face <= 255) {
    s.FaceNo = static_cast<std::uint8_t>(*face);
    faceChange = true;
  }

  // The last update run decides the result: place 2, sprite 2, face 0 (a
  // line with a face change shows its message).
  int result = kStepShowMessage;
  if (placeChange) result = game_.scene().PlaceChange();
  if (spriteChange) result = game_.scene().DollChange();
  if (faceChange) result = game_.scene().FaceChange();
  return result;
}

int Script::RunCommand(int sceneResult) {
  struct Command {
    char letter;
    int (Script::*handler)();
  };
  // Exact letters: upper case is no command.
  static constexpr std::array<Command, 10> kCommands = {{
      {'g', &Script::CmdGo},
      {'a', &Script::SoundLine},
      {'s', &Script::ChoiceLine},
      {'p', &Script::CmdParam},
      {'i', &Script::CmdIf},
      {'t', &Script::TextModeLine},
      {'e', &Script::EndLine},
      {'q', &Script::QuitLine},
      {'r', &Script::ClearLine},
      {'w', &Script::CmdWait},
  }};
  const std::string& cmd = game_.state.CmdText;
  if (cmd.empty()) return sceneResult;
  for (const Command& c : kCommands) {
    if (c.letter == cmd.front()) return (this->*c.handler)();
  }
  return sceneResult;  // a message line
}

void Script::SpeakerShow() {
  const EngineState& s = game_.state;
  if (s.LineText.empty()) return;
  std::string tag;
  if (s.SpeakerNo == 1) {
    tag = "【" + s.CharName[2] + "】";
  } else if (s.SpeakerNo >= 2 && s.SpeakerNo <= 8) {
    tag = kFixedTags[static_cast<std::size_t>(s.SpeakerNo - 2)];
  }
  game_.messages().MessageOut(tag, s.LineText, tag.empty() ? kNarrationColour : kSpeakerColour);
}

std::string ReplaceNameMarkers(std::string text, const std::array<std::string, 6>& names) {
  // Going on behind each name rather than from the start gives the same
  // text for names without "&", and can't run for ever on a name that
  // holds a marker itself.
  std::size_t from = 0;
  for (;;) {
    const std::size_t at = text.find('&', from);
    if (at == std::string::npos || at + 1 >= text.size()) return text;
    const auto digit = DigitOf(text[at + 1]);
    if (!digit || *digit >= names.size()) {
      from = at + 1;
      continue;
    }
    const std::string& name = names[*digit];
    text.replace(at, 2, name);
    from = at + name.size();
  }
}

}  // namespace kovan
