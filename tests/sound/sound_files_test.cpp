// MIDI songs as the sequencer reads them.
#include <gtest/gtest.h>

#include "platform/midi_song.h"
#include "sound_play.h"

namespace kovan::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Cut(Bytes file, std::size_t n) {
  file.resize(file.size() - n);
  return file;
}

struct SongCase {
  const char* name;
  Bytes file;
  bool refused;
  std::uint32_t lengthMs;
  int notes;  // note-ons read
};

TEST(ParseMidi, ReadsTimesThroughTempoAndDivisionAndRefusesWhatIsntMidi) {
  const Bytes tempoX2 = {0xFF, 0x51, 0x03, 0x03, 0xD0, 0x90};  // 250000 us: 240 bpm
  const Bytes note = TestTrack({{0, {0x90, 60, 90}}, {1000, {0x80, 60, 0}}}, 1000);
  const SongCase cases[] = {
      {"a tick a millisecond", TestMidi({{0, {0x90, 60, 90}}, {700, {0x80, 60, 0}}}, 1500), false,
       1500, 1},
      {"a tempo change halves the ticks after it",
       TestMidi({{0, {0x90, 60, 90}}, {500, tempoX2}, {900, {0x80, 60, 0}}}, 1500), false, 1000, 1},
      {"running status goes on across events",
       TestMidi({{0, {0x90, 60, 90}}, {10, {62, 90}}, {20, {64, 0}}}, 30), false, 30, 2},
      {"a tempo in the first track times the second",
       TestMidiFile(1, 500, {TestTrack({{0, tempoX2}}, 0), note}), false, 500, 1},
      {"time-code division: 25 frames of 40 ticks", TestMidiFile(0, 0xE728, {note}), false, 1000,
       1},
      {"a track cut inside an event ends before it",
       Cut(TestMidi({{0, {0x90, 60, 90}}, {400, {0x90, 62, 90}}}, 900), 6), false, 400, 1},
      {"a data byte with no status before it ends the track", TestMidiFile(0, 500, {{0, 60, 90}}),
       false, 0, 0},
      {"no header", Bytes{'R', 'I', 'F', 'F', 0, 0, 0, 6, 0, 0, 0, 1, 1, 0xF4}, true, 0, 0},
      {"a header alone", TestMidiFile(0, 500, {}), true, 0, 0},
      {"format 3", TestMidiFile(3, 500, {note}), true, 0, 0},
      {"nothing", {}, true, 0, 0},
  };
  for (const SongCase& c : cases) {
    SCOPED_TRACE(c.name);
    Result<MidiSong> song = ParseMidi(c.file);
    ASSERT_EQ(song.ok(), !c.refused);
    if (c.refused) continue;
    EXPECT_EQ(song->LengthMs(), c.lengthMs);
    int notes = 0;
    for (const MidiEvent& e : song->events) notes += (e.status & 0xF0) == 0x90 && e.data2 > 0;
    EXPECT_EQ(notes, c.notes);
  }
}

}  // namespace
}  // namespace kovan::testing
