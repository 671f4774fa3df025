#include "sound_play.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "engine/game_exit.h"
#include "platform/files.h"

namespace kovan::testing {
namespace {

// The SoundFont every listening test hears, whatever else is installed.
constexpr const char* kSoundFont = "/usr/share/sounds/sf2/TimGM6mb.sf2";
constexpr std::int64_t kMaxGameMs = 600'000;
constexpr int kRate = 44100;

void PutVarLen(std::vector<std::uint8_t>& out, std::uint32_t v) {
  std::vector<std::uint8_t> bytes{static_cast<std::uint8_t>(v & 0x7F)};
  while ((v >>= 7) != 0) bytes.insert(bytes.begin(), static_cast<std::uint8_t>(0x80 | (v & 0x7F)));
  out.insert(out.end(), bytes.begin(), bytes.end());
}

}  // namespace

std::vector<std::uint8_t> TestTrack(const MidiEvents& events, int endTick) {
  std::vector<std::uint8_t> track;
  int now = 0;
  for (const auto& [tick, bytes] : events) {
    PutVarLen(track, static_cast<std::uint32_t>(tick - now));
    now = tick;
    track.insert(track.end(), bytes.begin(), bytes.begin() + 1);
    // A system exclusive message carries its length after F0.
    if (bytes.at(0) == 0xF0) PutVarLen(track, static_cast<std::uint32_t>(bytes.size() - 1));
    track.insert(track.end(), bytes.begin() + 1, bytes.end());
  }
  PutVarLen(track, static_cast<std::uint32_t>(std::max(0, endTick - now)));
  track.insert(track.end(), {0xFF, 0x2F, 0x00});
  return track;
}

std::vector<std::uint8_t> TestMidiFile(int format, int division,
                                       const std::vector<std::vector<std::uint8_t>>& tracks) {
  auto byte = [](auto v) { return static_cast<std::uint8_t>(v); };
  std::vector<std::uint8_t> out{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, byte(format), 0};
  out.insert(out.end(), {byte(tracks.size()), byte(division >> 8), byte(division)});
  for (const auto& t : tracks) {
    out.insert(out.end(), {'M', 'T', 'r', 'k', 0, 0, byte(t.size() >> 8), byte(t.size())});
    out.insert(out.end(), t.begin(), t.end());
  }
  return out;
}

// 120 bpm at 500 ticks a quarter: a tick is a millisecond.
std::vector<std::uint8_t> TestMidi(const MidiEvents& events, int endMs) {
  return TestMidiFile(0, 500, {TestTrack(events, endMs)});
}

namespace {

GameSetup GameFor(const SoundSetup& setup) {
  std::vector<std::string> config = {"朝霧", "湊", "白峰", "ソフィア", "能登", "opt"};
  for (std::size_t m = 0; m < 9; ++m) config.push_back(m < setup.music.size() ? setup.music[m] : "");
  config.resize(24);
  config.push_back("end");
  return {.scenario = setup.scenario,
          .choices = "",
          .config = config,
          .prepare =
              [files = setup.files](const std::string& dir) {
                for (const auto& [name, bytes] : files) {
                  EXPECT_TRUE(WriteFileBytes(dir + name, bytes).ok()) << name;
                }
              },
          .input = setup.input,
          .maxMs = kMaxGameMs,
          .soundFont = setup.record ? kSoundFont : "",
          .start = false};
}

}  // namespace

SoundPlay::SoundPlay(const SoundSetup& setup) : TestGame(GameFor(setup)) {
  try {
    if (setup.opening) {
      game().FormLoad();
      throw GameExit{"end", 0};
    }
    game().StartUp();
    state().MsgMode = 0;
    state().BgmOn = setup.bgmOn;
    state().SeOn = setup.seOn;
    game().script().ScriptRun();
  } catch (const GameExit&) {
  }
  game().FormUnload();
  EXPECT_TRUE(platform().audio().Close().ok());
  if (!setup.record) return;
  auto wav = ReadFileBytes(dir() + "heard.wav");
  if (!wav.ok() || wav->size() < 44) throw std::runtime_error("no recording");
  samples_.resize((wav->size() - 44) / 2);
  std::memcpy(samples_.data(), wav->data() + 44, samples_.size() * 2);
}

std::vector<std::string> SoundPlay::Events(std::string_view ev) const {
  if (!ev.empty()) return TestGame::Events(ev);
  std::vector<std::string> all;
  std::istringstream in(Trace());
  for (std::string line; std::getline(in, line);) all.push_back(line);
  return all;
}

std::span<const std::int16_t> SoundPlay::Window(int fromMs, int toMs) const {
  auto at = [&](int ms) {
    return std::min(samples_.size(), static_cast<std::size_t>(std::max(ms, 0)) * kRate / 1000 * 2);
  };
  return std::span<const std::int16_t>(samples_).subspan(at(fromMs), at(toMs) - at(fromMs));
}

double SoundPlay::Rms(int fromMs, int toMs) const {
  double sum = 0;
  const auto window = Window(fromMs, toMs);
  for (const std::int16_t v : window) sum += static_cast<double>(v) * v;
  return window.empty() ? 0 : std::sqrt(sum / static_cast<double>(window.size()));
}

int SoundPlay::Peak(int fromMs, int toMs) const {
  int peak = 0;
  for (const std::int16_t v : Window(fromMs, toMs)) peak = std::max(peak, std::abs(int{v}));
  return peak;
}

}  // namespace kovan::testing
