// A game that plays a tiny scenario with music files of the test's own
// making, optionally recording what the player would hear, for checks on
// the trace, the state, the log and the sound.
#pragma once

#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "test_game.h"

namespace kovan::testing {

// MIDI events of a test: a tick and the bytes (a system exclusive message
// as F0, its body, F7).
using MidiEvents = std::vector<std::pair<int, std::vector<std::uint8_t>>>;
// A track chunk's body ending at endTick, and a whole file of such tracks.
std::vector<std::uint8_t> TestTrack(const MidiEvents& events, int endTick);
std::vector<std::uint8_t> TestMidiFile(int format, int division,
                                       const std::vector<std::vector<std::uint8_t>>& tracks);
// One track at 120 bpm whose ticks are milliseconds, ending at endMs.
std::vector<std::uint8_t> TestMidi(const MidiEvents& events, int endMs);

struct SoundSetup {
  std::string scenario;  // as ScenarioText gives it
  // Music 1 to 9 by file name (empty = none), and the files themselves.
  std::vector<std::string> music;
  std::map<std::string, std::vector<std::uint8_t>> files;
  std::string input;
  bool record = false;   // render what the player hears, with the default SoundFont
  bool opening = false;  // play the opening before the lines
  bool bgmOn = true;
  bool seOn = true;
};

class SoundPlay : public TestGame {
 public:
  // Starts the game (start-up included) and plays the lines from the first.
  explicit SoundPlay(const SoundSetup& setup);

  // The trace's events named ev; all of them for "".
  std::vector<std::string> Events(std::string_view ev) const;
  // The "value" of every volume event.
  std::vector<std::int64_t> Volumes() const { return Numbers("volume", "value"); }
  std::string Log() { return game().log().Text(); }

  // The recording, in 16-bit units over both channels.
  double Rms(int fromMs, int toMs) const;
  int Peak(int fromMs, int toMs) const;
  int LengthMs() const { return static_cast<int>(samples_.size() / 2 * 1000 / 44100); }

 private:
  std::span<const std::int16_t> Window(int fromMs, int toMs) const;

  std::vector<std::int16_t> samples_;
};

}  // namespace kovan::testing
