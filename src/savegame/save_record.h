// The save record and the save file. A save remembers the story by section
// (play resumes at the section's first line), the three counters, the place,
// four options and the track; the state string packs them into 32 digits:
//
//   1-3 kou  4-6 pap  7-9 rub  10-12 place  13-16 section
//   17-20 window density x 100  21-22 music on  23-24 effects on
//   25-26 message mode  27-30 line  31-32 track
//
// each the value's decimal text, "0"-padded on the left and cut to its
// width ("-1" for a flag that is on, "0-5" for a counter of -5). A slot
// file is CP932 text with CR LF line ends, six lines: the save time
// "yyyy/mm/dd hh:mm", the save title, the state string, the hero's family
// and given names, and "\".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/engine_state.h"
#include "platform/result.h"

namespace kovan {

constexpr std::size_t kStateLength = 32;

// What the state string carries.
struct SavedState {
  std::int16_t Kou = 0, Pap = 0, Rub = 0;
  std::int16_t PlaceNo = 0;
  std::int16_t SectionNo = 0;
  std::int16_t Density = 60;  // WakuDensity in hundredths
  bool BgmOn = true, SeOn = true;
  std::int16_t MsgMode = 3;
  std::int32_t SeqPos = 0;
  std::int16_t BgmNo = 0;
};

// The state string of the game now. A value beyond its field is held at
// the field's end (-99..999 for a counter, say), so that every string
// written reads back.
std::string PackState(const EngineState& s);
// The state string read back; an error says which field is wrong. Fields
// may carry a sign after their padding ("0-5"); the message mode must be
// 0 to 3 and the density 0 to 100.
[[nodiscard]] Result<SavedState> UnpackState(std::string_view text);
// The state string with its track field set to bgmNo.
std::string WithTrack(std::string state, std::int16_t bgmNo);
// Puts the saved values into the engine state (WakuDensity = field / 100).
void ApplyState(const SavedState& saved, EngineState& s);

// One slot file, its texts in UTF-8.
struct SaveFile {
  std::string time;   // "yyyy/mm/dd hh:mm"
  std::string title;  // may be empty
  std::string state;  // the state string
  std::string familyName;
  std::string givenName;
};

// The file's bytes. Characters CP932 lacks become '?'; control characters
// inside a text (line breaks among them) become blanks, so the file always
// has its six lines.
std::vector<std::uint8_t> EncodeSaveFile(const SaveFile& file);
// Reads a file back. Refused (with the reason) unless it is CP932 with its
// six lines (CR LF, or LF alone), the last "\", and a state string that
// unpacks. Control characters in a line read as blanks.
[[nodiscard]] Result<SaveFile> DecodeSaveFile(const std::vector<std::uint8_t>& bytes);

// How the slot list shows a save time: "08/15 21:07" for
// "2001/08/15 21:07"; a time of any other form is shown as it is.
std::string SlotTime(const std::string& saveTime);

}  // namespace kovan
