// The state every part of the game shares: the scenario tables, the position
// in the scenario and the fields of the line being played, the script's
// counters and names, the player's options and the sound state. Plain data;
// one instance per game.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace kovan {

// One line of the scenario. Texts are UTF-8.
struct SeqRecord {
  std::int16_t Section = 0;  // lines of one section are consecutive
  std::string Command;       // first character selects the command
  std::int16_t JumpTo = 0;   // section the jump commands go to
  std::string Place;         // place number; empty = no change
  std::string Doll;          // character digit then pose digit; empty = no change
  std::string Face;          // face number; empty = no change
  std::string Spare;         // kept, unused
  std::string Speaker;       // tag 1..8; empty = narration
  std::string Text;          // message, or a command's argument text
  std::string Arg1;
  std::string Arg2;
  std::string Subst;         // "1" = replace name markers in Text
};

// The first scenario line of a run of one section.
struct NumEntry {
  std::int16_t Section = 0;
  std::int32_t Line = 0;
};

// One option of a choice.
struct SctRecord {
  std::int16_t SetNo = 0;   // section of the choice line offering it
  std::string Text;         // the option's caption
  std::int16_t Target = 0;  // a section in the file; its first line after loading
};

constexpr int kSeqCapacity = 3001;
constexpr int kNumCapacity = 501;
constexpr int kSctCapacity = 201;

// `LastHover` when no choice or title button is highlighted.
constexpr std::int16_t kNoHover = 5;

struct EngineState {
  // Scenario tables, filled once at start-up, as long as the files are
  // (the capacities bound them).
  std::vector<SeqRecord> Seq;
  std::int32_t SeqLast = -1;
  std::vector<NumEntry> Num;
  std::int32_t NumCount = 0;
  std::vector<SctRecord> Sct;
  std::int32_t SctLast = -1;

  // Position and the fields of the current line.
  std::int32_t SeqPos = 0;
  std::int16_t SectionNo = 0;
  std::string CmdText;
  std::int16_t JumpSection = 0;
  std::int16_t SpeakerNo = 0;
  std::uint8_t DollNo = 0;
  std::uint8_t DollPose = 0;
  std::uint8_t FaceNo = 0;
  std::string LineText;
  std::string Arg1;
  std::string Arg2;
  std::string SubstFlag;
  std::int16_t PlaceNo = 0;
  std::int16_t PlaceLast = -1;

  // Script counters and names.
  std::int16_t Kou = 0;
  std::int16_t Pap = 0;
  std::int16_t Rub = 0;
  std::int16_t Hap = 0;
  std::array<std::string, 6> CharName;
  std::string SaveTitle;
  std::string DateText;

  // Player options and message-window flags.
  std::int16_t MsgMode = 3;  // 0 skip, 1 page, 2 line, 3 character
  bool BgmOn = true;
  bool SeOn = true;
  bool MeshOn = false;
  float WakuDensity = 0.6f;
  bool KeyWait = false;
  bool ClickMode = true;
  bool DateTabOn = false;
  std::int16_t NextFontSize = 0;
  std::int16_t CaptionX = 0;
  std::int16_t CaptionY = 0;
  std::int16_t ChoiceNo = -1;
  std::int32_t ChoiceFirst = 0;
  std::int16_t LineNo = 0;
  std::int16_t LastHover = kNoHover;

  // The save record: 0 the packed state, 1 and 2 the protagonist's names.
  std::array<std::string, 6> Data_stack;

  // Sound state.
  std::array<std::string, 10> BgmFile;
  std::array<std::string, 10> ExtraFile;
  std::int16_t BgmNo = 0;
  std::string MidiFile;
  std::int32_t VolumeAtStart = 0;
  std::int32_t VolumeSaved = 0;

  // Display mode.
  bool ScreenChanged = false;
  bool ModeFixed = false;

  // Folders, each ending with '/'.
  std::string AppPath;
  std::string DataPath;
};

// Puts the values that start-up sets before any data file is read.
void SetStartValues(EngineState& s);

}  // namespace kovan
