// What the player hears, from the headless recording: sample n of it is
// game time n / 44.1 ms, so levels are read from the windows of time in
// which the trace says things happened.
#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "platform/files.h"
#include "platform/midi_song.h"
#include "sound_play.h"

namespace kovan::testing {
namespace {

constexpr std::uint8_t kOrgan = 19;

// A game that selects music 1 (the given file) and lets `ms` pass.
SoundPlay Listen(const std::vector<std::uint8_t>& midi, int ms,
                 const std::vector<std::string>& more = {}) {
  SoundSetup s;
  s.scenario = ScenarioText({ScriptLine{.cmd = "aa"}, ScriptLine{.cmd = "w", .text = "100"}});
  for (const std::string& cmd : more) s.scenario += ScenarioText({ScriptLine{.cmd = cmd}});
  // A wait's text is a 16-bit number: long waits take several lines.
  for (; ms > 0; ms -= 30'000) {
    s.scenario +=
        ScenarioText({ScriptLine{.cmd = "w", .text = std::to_string(std::min(ms, 30'000))}});
  }
  s.scenario += ScenarioText({ScriptLine{}});
  s.music = {"song.mid"};
  s.files = {{"song.mid", midi}};
  s.record = true;
  return SoundPlay(s);
}

std::int64_t TimeOf(const std::string& event) { return NumberOf(event, "t"); }

// Every demo tune plays for 30 s to 2 min with sound in every second of
// it, never touching full scale, and starts again within half a second.
TEST(Listening, DemoMusicIsHeardWholeAndNeverClips) {
  for (const char* name :
       {"bgm01.mid", "bgm02.mid", "bgm04.mid", "bgm05.mid", "bgm06.mid", "bgm07.mid"}) {
    SCOPED_TRACE(name);
    auto midi = ReadFileBytes(DemoDataDir() + name);
    auto song = LoadMidi(DemoDataDir() + name);
    ASSERT_TRUE(midi.ok() && song.ok());
    // Just long enough to hear the tune start again.
    SoundPlay play = Listen(*midi, static_cast<int>(song->LengthMs()) + 500);
    const std::vector<std::string> music = play.Events("music");
    ASSERT_GE(music.size(), 3u);
    ASSERT_EQ(FieldOf(music[2], "op"), "restart");
    const int start = static_cast<int>(TimeOf(music[1]));
    const int length = static_cast<int>(TimeOf(music[2])) - start;
    EXPECT_GE(length, 30'000);
    EXPECT_LE(length, 120'000);
    for (int at = start; at + 1000 <= start + length - 500; at += 1000) {
      EXPECT_GT(play.Rms(at, at + 1000), 300) << "silence at " << at - start << " ms";
    }
    EXPECT_LT(play.Peak(0, play.LengthMs()), 32767);
  }
}

// An organ chord held for `holdMs`, then the end of the track at endMs; no
// note is ever released by the file itself when holdMs reaches the end.
std::vector<std::uint8_t> HeldChord(int holdMs, int endMs) {
  MidiEvents e = {{0, {0xC0, kOrgan}}};
  for (std::uint8_t key : {60, 64, 67}) e.push_back({0, {0x90, key, 100}});
  if (holdMs < endMs) {
    for (std::uint8_t key : {60, 64, 67}) e.push_back({holdMs, {0x80, key, 0}});
  }
  return TestMidi(e, endMs);
}

// Each step of a fade out lowers what is heard in proportion to the volume.
TEST(Listening, AFadeLowersTheLevelStepByStep) {
  SoundPlay play = Listen(HeldChord(20'000, 20'000), 1500, {"w 1000", "aJ"});
  const std::vector<std::string> steps = play.Events("volume");
  ASSERT_GE(steps.size(), 9u);
  const double full =
      play.Rms(static_cast<int>(TimeOf(steps[0])) - 500, static_cast<int>(TimeOf(steps[0])));
  ASSERT_GT(full, 1000);
  double last = full * 2;
  for (std::size_t i = 0; i < 9; ++i) {
    const int at = static_cast<int>(TimeOf(steps[i]));
    const double level = play.Rms(at + 30, at + 100);
    const double expected = full * static_cast<double>(NumberOf(steps[i], "value")) / 65535;
    EXPECT_LT(level, last) << "step " << i;
    EXPECT_NEAR(level, expected, full * 0.04 + expected * 0.1) << "step " << i;
    last = level;
  }
}

// Notes the file leaves held at its end are released there: the gap until
// the timer starts the music again is quiet.
TEST(Listening, NoNoteHangsOverTheEndOfTheMusic) {
  SoundPlay play = Listen(HeldChord(1100, 1100), 2000);
  const std::vector<std::string> music = play.Events("music");
  ASSERT_GE(music.size(), 3u);
  const int start = static_cast<int>(TimeOf(music[1]));
  const int restart = static_cast<int>(TimeOf(music[2]));
  const int end = start + 1100;
  ASSERT_GE(restart - end, 300) << "the gap is too short to hear";
  const double held = play.Rms(start + 200, end);
  EXPECT_GT(held, 1000);
  EXPECT_LT(play.Rms(end + 250, restart), held / 20);
}

// The level, 20 ms at a time, of the first 800 ms of the music.
std::vector<double> Envelope(const std::vector<std::uint8_t>& midi) {
  SoundPlay play = Listen(midi, 800);
  const int start = static_cast<int>(TimeOf(play.Events("music").at(1)));
  std::vector<double> out;
  for (int at = start; at < start + 800; at += 20) out.push_back(play.Rms(at, at + 20));
  return out;
}

// How far apart two envelopes are, as a share of the first one's sum.
double Distance(const std::vector<double>& a, const std::vector<double>& b) {
  double diff = 0, sum = 0;
  for (std::size_t i = 0; i < a.size(); ++i) {
    diff += std::abs(a[i] - b[i]);
    sum += a[i];
  }
  return diff / sum;
}

// A snare on the General MIDI drum channel is what the GS rhythm-part
// message makes of the same note on channel 11, until a reset takes the
// part back; without the message channel 11 plays a piano.
TEST(Listening, TheGsRhythmPartMessageMakesChannel11Drums) {
  const std::vector<std::uint8_t> gsReset = {0xF0, 0x41, 0x10, 0x42, 0x12, 0x40,
                                             0x00, 0x7F, 0x00, 0x41, 0xF7};
  const std::vector<std::uint8_t> part11Drums = {0xF0, 0x41, 0x10, 0x42, 0x12, 0x40,
                                                 0x1A, 0x15, 0x02, 0x0F, 0xF7};
  const std::vector<std::uint8_t> gmOn = {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7};
  auto snare = [](std::uint8_t status, MidiEvents before) {
    before.push_back({100, {status, 38, 110}});
    before.push_back({300, {static_cast<std::uint8_t>(status - 0x10), 38, 0}});
    return TestMidi(before, 1000);
  };
  const std::vector<double> drums = Envelope(snare(0x99, {}));
  const std::vector<double> gs = Envelope(snare(0x9A, {{0, gsReset}, {10, part11Drums}}));
  const std::vector<double> reset =
      Envelope(snare(0x9A, {{0, gsReset}, {10, part11Drums}, {20, gmOn}}));
  const std::vector<double> piano = Envelope(snare(0x9A, {}));
  EXPECT_LT(Distance(drums, gs), 0.02);
  EXPECT_GT(Distance(drums, piano), 0.3);
  EXPECT_LT(Distance(piano, reset), 0.02);
}

// An effect sounds for its length over silence, the game waits exactly as
// long, and nothing sounds after it.
TEST(Listening, EffectsSoundForTheirLengthWhileTheGameWaits) {
  for (const auto& [cmd, no, ms] :
       {std::tuple{"a1", 100, 14}, std::tuple{"a2", 101, 36}, std::tuple{"a3", 102, 60}}) {
    SCOPED_TRACE(cmd);
    SoundSetup s;
    s.scenario =
        ScenarioText({ScriptLine{.cmd = cmd}, ScriptLine{.cmd = "w", .text = "0"}, ScriptLine{}});
    s.record = true;
    SoundPlay play(s);
    const std::vector<std::string> effects = play.Events("effect");
    ASSERT_EQ(effects.size(), 1u);
    EXPECT_EQ(NumberOf(effects[0], "no"), no);
    const int at = static_cast<int>(TimeOf(effects[0]));
    EXPECT_EQ(TimeOf(play.Events("line").at(1)), at + ms);
    EXPECT_GT(play.Rms(at, at + ms), 1000);
    EXPECT_EQ(play.Peak(0, at), 0);
    EXPECT_EQ(play.Peak(at + ms + 1, play.LengthMs()), 0);
  }
}

}  // namespace
}  // namespace kovan::testing
