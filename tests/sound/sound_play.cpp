#include "sound_play.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>

#include "data_folder.h"
#include "engine/game_exit.h"
#include "platform/files.h"
#include "platform/headless/headless_platform.h"

namespace kovan::testing {
namespace {

// The SoundFont every listening test hears, whatever else is installed.
constexpr const char* kSoundFont = "/usr/share/sounds/sf2/TimGM6mb.sf2";
constexpr std::int64_t kMaxGameMs = 600'000;
constexpr int kRate = 44100;

void PutBe(std::vector<std::uint8_t>& out, std::uint32_t v, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void PutVarLen(std::vector<std::uint8_t>& out, std::uint32_t v) {
  std::vector<std::uint8_t> bytes{static_cast<std::uint8_t>(v & 0x7F)};
  while ((v >>= 7) != 0) bytes.insert(bytes.begin(), static_cast<std::uint8_t>(0x80 | (v & 0x7F)));
  out.insert(out.end(), bytes.begin(), bytes.end());
}

}  // namespace

std::vector<std::uint8_t> TestMidi(
    const std::vector<std::pair<int, std::vector<std::uint8_t>>>& events, int endMs) {
  std::vector<std::uint8_t> track;
  int now = 0;
  for (const auto& [ms, bytes] : events) {
    PutVarLen(track, static_cast<std::uint32_t>(ms - now));
    now = ms;
    if (bytes.at(0) == 0xF0) {
      track.push_back(0xF0);
      PutVarLen(track, static_cast<std::uint32_t>(bytes.size() - 1));
      track.insert(track.end(), bytes.begin() + 1, bytes.end());
    } else {
      track.insert(track.end(), bytes.begin(), bytes.end());
    }
  }
  PutVarLen(track, static_cast<std::uint32_t>(std::max(0, endMs - now)));
  track.insert(track.end(), {0xFF, 0x2F, 0x00});
  // 120 bpm at 500 ticks a quarter: a tick is a millisecond.
  std::vector<std::uint8_t> out{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1};
  PutBe(out, 500, 2);
  out.insert(out.end(), {'M', 'T', 'r', 'k'});
  PutBe(out, static_cast<std::uint32_t>(track.size()), 4);
  out.insert(out.end(), track.begin(), track.end());
  return out;
}

SoundPlay::SoundPlay(const SoundSetup& setup) {
  std::vector<std::string> config = DefaultConfig();
  for (std::size_t m = 0; m < 9; ++m) config[6 + m] = m < setup.music.size() ? setup.music[m] : "";
  WriteDataFolder(dir_.path(), DataFolderSpec{config, setup.scenario, ""});
  for (const auto& [name, bytes] : setup.files) {
    EXPECT_TRUE(WriteFileBytes(dir_.path() + name, bytes).ok()) << name;
  }
  HeadlessOptions options;
  options.inputScript = setup.input;
  options.maxMs = kMaxGameMs;
  if (setup.record) {
    options.audioPath = dir_.path() + "heard.wav";
    options.soundFont = kSoundFont;
  }
  auto platform = CreateHeadlessPlatform(options);
  if (!platform.ok()) throw std::runtime_error(platform.error());
  platform_ = std::move(*platform);
  platform_->trace().SetStream(&trace_);
  game_ = std::make_unique<Game>(*platform_, GameOptions{dir_.path(), dir_.path()});
  try {
    if (setup.opening) {
      game_->FormLoad();
      throw GameExit{"end", 0};
    }
    game_->StartUp();
    game_->state.MsgMode = 0;
    game_->state.BgmOn = setup.bgmOn;
    game_->state.SeOn = setup.seOn;
    game_->script().ScriptRun();
  } catch (const GameExit& e) {
    exit_ = e.reason;
  }
  game_->FormUnload();
  EXPECT_TRUE(platform_->audio().Close().ok());
  if (!setup.record) return;
  auto wav = ReadFileBytes(options.audioPath);
  if (!wav.ok() || wav->size() < 44) throw std::runtime_error("no recording");
  samples_.resize((wav->size() - 44) / 2);
  std::memcpy(samples_.data(), wav->data() + 44, samples_.size() * 2);
}

std::vector<std::string> SoundPlay::Events(std::string_view ev) const {
  return TraceEvents(trace_.str(), std::string(ev));
}

std::vector<std::int64_t> SoundPlay::Volumes() const {
  std::vector<std::int64_t> out;
  for (const std::string& e : Events("volume")) out.push_back(NumberOf(e, "value"));
  return out;
}

std::vector<std::string> SoundPlay::MusicOps() const {
  std::vector<std::string> out;
  for (const std::string& e : Events("music"))
    out.push_back(FieldOf(e, "op") + " " + FieldOf(e, "file"));
  return out;
}

double SoundPlay::Rms(int fromMs, int toMs) const {
  const std::size_t from = static_cast<std::size_t>(fromMs) * kRate / 1000 * 2;
  const std::size_t to =
      std::min(samples_.size(), static_cast<std::size_t>(toMs) * kRate / 1000 * 2);
  if (to <= from) return 0;
  double sum = 0;
  for (std::size_t i = from; i < to; ++i) sum += static_cast<double>(samples_[i]) * samples_[i];
  return std::sqrt(sum / static_cast<double>(to - from));
}

int SoundPlay::Peak(int fromMs, int toMs) const {
  const std::size_t from = static_cast<std::size_t>(fromMs) * kRate / 1000 * 2;
  const std::size_t to =
      std::min(samples_.size(), static_cast<std::size_t>(toMs) * kRate / 1000 * 2);
  int peak = 0;
  for (std::size_t i = from; i < to; ++i)
    peak = std::max(peak, std::abs(static_cast<int>(samples_[i])));
  return peak;
}

}  // namespace kovan::testing
