// Standard MIDI files read into one list of timed events: every track
// merged in time order, the tempo map applied, ready to be sequenced.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/result.h"

namespace kovan {

// One event of a song. Channel messages keep their status and data bytes;
// a system exclusive message keeps its bytes after F0, without the closing
// F7, in MidiSong::sysex.
struct MidiEvent {
  std::int64_t us = 0;      // time from the song's start, microseconds
  std::uint8_t status = 0;  // 0x80..0xEF, or 0xF0 for system exclusive
  std::uint8_t data1 = 0;
  std::uint8_t data2 = 0;
  std::uint32_t sysexAt = 0;
  std::uint32_t sysexSize = 0;
};

struct MidiSong {
  std::vector<MidiEvent> events;  // in time order; equal times keep file order
  std::vector<std::uint8_t> sysex;
  std::int64_t endUs = 0;  // the last track's end
  std::uint32_t LengthMs() const { return static_cast<std::uint32_t>((endUs + 999) / 1000); }
};

// Reads a standard MIDI file (formats 0, 1 and 2; metrical or time-code
// division). A track cut short ends where it breaks. The error says why
// the bytes aren't a song: no header, no track, running status with nothing
// to run on, a data byte out of range, too many events.
[[nodiscard]] Result<MidiSong> ParseMidi(const std::vector<std::uint8_t>& bytes);
// Reads the file at path: a regular file of at most 16 MiB.
[[nodiscard]] Result<MidiSong> LoadMidi(const std::string& path);

}  // namespace kovan
