#include "platform/sound_mixer.h"

#include <algorithm>
#include <cmath>

#include "platform/fluid_library.h"

namespace kovan {
namespace {

// Gains at full volume. The synthesizer's own default (0.2) leaves a
// General MIDI song well short of full scale; these keep the loudest demo
// song under the limiter's knee.
constexpr double kMusicGain = 1.1;
constexpr float kWaveGain = 0.7f;
// The limiter passes everything below the knee and bends the rest towards
// the ceiling, which a sample never reaches.
constexpr float kKnee = 0.85f;
constexpr float kCeiling = 0.98f;
constexpr std::size_t kStopRampFrames = SoundMixer::kRate / 100;  // 10 ms
// After this much silence the synthesizer (and its reverb) has nothing
// left to say and isn't run until the next note.
constexpr std::size_t kQuietFrames = SoundMixer::kRate * 3;
constexpr std::size_t kBlock = 1024;
constexpr int kPolyphony = 128;

float Limit(float x) {
  const float a = std::fabs(x);
  if (a <= kKnee) return x;
  const float room = kCeiling - kKnee;
  return std::copysign(kKnee + room * std::tanh((a - kKnee) / room), x);
}

}  // namespace

SoundMixer::SoundMixer() : left_(kBlock), right_(kBlock) {}

SoundMixer::~SoundMixer() {
  if (synth_ != nullptr) fluid_->delete_fluid_synth(synth_);
  if (settings_ != nullptr) fluid_->delete_fluid_settings(settings_);
}

Status SoundMixer::Start(const std::string& soundFont) {
  if (synth_ != nullptr) return Status();
  if (soundFont.empty()) return Status::Error("no SoundFont is installed");
  if (!fluid_) {
    Result<std::unique_ptr<FluidLibrary>> library = FluidLibrary::Open();
    if (!library) return Status::Error(library.error());
    fluid_ = std::move(library.value());
  }
  // The synthesizer's chatter (a substituted instrument, a missing kit)
  // would only clutter the terminal; failures come back as results.
  fluid_->fluid_set_log_function(FLUID_WARN, nullptr, nullptr);
  fluid_->fluid_set_log_function(FLUID_INFO, nullptr, nullptr);
  fluid_->fluid_set_log_function(FLUID_DBG, nullptr, nullptr);
  settings_ = fluid_->new_fluid_settings();
  if (settings_ == nullptr) return Status::Error("the synthesizer can't start");
  fluid_->fluid_settings_setnum(settings_, "synth.sample-rate", kRate);
  fluid_->fluid_settings_setint(settings_, "synth.lock-memory", 0);
  fluid_->fluid_settings_setint(settings_, "synth.threadsafe-api", 0);  // the device locks
  fluid_->fluid_settings_setint(settings_, "synth.cpu-cores", 1);
  // Only the instruments a song picks are read from the SoundFont, when it
  // picks them, not the whole bank at start.
  fluid_->fluid_settings_setint(settings_, "synth.dynamic-sample-loading", 1);
  // Twice what a busy General MIDI song sounds at once; every voice costs
  // memory whether it plays or not.
  fluid_->fluid_settings_setint(settings_, "synth.polyphony", kPolyphony);
  synth_ = fluid_->new_fluid_synth(settings_);
  if (synth_ == nullptr) return Status::Error("the synthesizer can't start");
  if (fluid_->fluid_synth_sfload(synth_, soundFont.c_str(), 1) == FLUID_FAILED) {
    fluid_->delete_fluid_synth(synth_);
    synth_ = nullptr;
    return Status::Error("the SoundFont " + soundFont + " can't be loaded");
  }
  ApplyMusicGain();
  return Status();
}

Status SoundMixer::MusicLoad(MidiSong song) {
  if (synth_ == nullptr) return Status::Error("no synthesizer to play it");
  MusicClose();
  song_ = std::move(song);
  loaded_ = true;
  return Status();
}

void SoundMixer::MusicPlay() {
  if (!loaded_ || synth_ == nullptr) return;
  if (stopRamp_ > 0) CutMusic();
  // A new run starts from the synthesizer's power-on state, so neither the
  // last run nor another song leaves a controller, a kit or a part behind.
  fluid_->fluid_synth_system_reset(synth_);
  playing_ = true;
  next_ = 0;
  songFrame_ = 0;
  quietFrames_ = 0;
}

void SoundMixer::MusicStop() {
  if (synth_ == nullptr) return;
  playing_ = false;
  if (stopRamp_ == 0 && fluid_->fluid_synth_get_active_voice_count(synth_) > 0) {
    stopRamp_ = kStopRampFrames;
  }
}

void SoundMixer::MusicClose() {
  MusicStop();
  loaded_ = false;
  song_ = MidiSong{};
}

void SoundMixer::SetVolume(std::uint32_t value) {
  volume_ = std::min<std::uint32_t>(value, 65535);
  // A stop's fade ends at the volume it began with; the new one follows.
  if (stopRamp_ == 0) ApplyMusicGain();
}

void SoundMixer::ApplyMusicGain() {
  if (synth_ == nullptr) return;
  fluid_->fluid_synth_set_gain(synth_, static_cast<float>(kMusicGain * volume_ / 65535.0));
}

void SoundMixer::CutMusic() {
  stopRamp_ = 0;
  fluid_->fluid_synth_all_sounds_off(synth_, -1);
  ApplyMusicGain();
}

void SoundMixer::ReleaseHeldNotes() {
  // A pedal still down would keep a released note sounding.
  for (int channel = 0; channel < 16; ++channel) {
    fluid_->fluid_synth_cc(synth_, channel, 64, 0);
    fluid_->fluid_synth_cc(synth_, channel, 66, 0);
  }
  fluid_->fluid_synth_all_notes_off(synth_, -1);
}

void SoundMixer::AddWave(const Wave& wave) {
  if (wave.rate <= 0 || wave.channels <= 0) return;
  Voice voice;
  const std::size_t in = wave.Frames();
  const std::size_t out = in * kRate / static_cast<std::size_t>(wave.rate);
  voice.stereo.resize(out * kChannels);
  const double ratio = static_cast<double>(wave.rate) / kRate;
  for (std::size_t i = 0; i < out; ++i) {
    const double pos = static_cast<double>(i) * ratio;
    const std::size_t a = static_cast<std::size_t>(pos);
    const std::size_t b = std::min(a + 1, in - 1);
    const float f = static_cast<float>(pos - static_cast<double>(a));
    for (int c = 0; c < kChannels; ++c) {
      const std::size_t from = static_cast<std::size_t>(std::min(c, wave.channels - 1));
      const float sa = wave.samples[a * static_cast<std::size_t>(wave.channels) + from];
      const float sb = wave.samples[b * static_cast<std::size_t>(wave.channels) + from];
      voice.stereo[i * kChannels + static_cast<std::size_t>(c)] = sa + (sb - sa) * f;
    }
  }
  voices_.push_back(std::move(voice));
}

void SoundMixer::Render(std::int16_t* out, std::size_t frames) {
  const float waveGain = kWaveGain * static_cast<float>(volume_) / 65535.0f;
  while (frames > 0) {
    const std::size_t n = std::min(frames, kBlock);
    RenderMusic(left_.data(), right_.data(), n);
    for (std::size_t i = 0; i < n; ++i) {
      float l = left_[i], r = right_[i];
      for (Voice& v : voices_) {
        if (v.at >= v.stereo.size()) continue;
        l += v.stereo[v.at++] * waveGain;
        r += v.stereo[v.at++] * waveGain;
      }
      out[2 * i] = static_cast<std::int16_t>(std::lround(Limit(l) * 32767.0f));
      out[2 * i + 1] = static_cast<std::int16_t>(std::lround(Limit(r) * 32767.0f));
    }
    std::erase_if(voices_, [](const Voice& v) { return v.at >= v.stereo.size(); });
    out += n * kChannels;
    frames -= n;
  }
}

void SoundMixer::RenderMusic(float* left, float* right, std::size_t frames) {
  const bool quiet = synth_ == nullptr || (!playing_ && quietFrames_ >= kQuietFrames);
  if (quiet) {
    std::fill(left, left + frames, 0.0f);
    std::fill(right, right + frames, 0.0f);
    return;
  }
  for (std::size_t done = 0; done < frames;) {
    DispatchDue();
    std::size_t n = frames - done;
    if (playing_) {
      const std::int64_t until =
          next_ < song_.events.size() ? FrameOf(song_.events[next_].us) : FrameOf(song_.endUs);
      n = std::min<std::size_t>(
          n, static_cast<std::size_t>(std::max<std::int64_t>(until - songFrame_, 1)));
    }
    if (stopRamp_ > 0) n = std::min(n, stopRamp_);
    fluid_->fluid_synth_write_float(synth_, static_cast<int>(n), left + done, 0, 1, right + done, 0,
                                    1);
    if (stopRamp_ > 0) {
      for (std::size_t i = 0; i < n; ++i) {
        const float g = static_cast<float>(stopRamp_ - i) / kStopRampFrames;
        left[done + i] *= g;
        right[done + i] *= g;
      }
      stopRamp_ -= n;
      if (stopRamp_ == 0) CutMusic();
    }
    if (playing_) songFrame_ += static_cast<std::int64_t>(n);
    done += n;
  }
  const bool silent = !playing_ && fluid_->fluid_synth_get_active_voice_count(synth_) == 0;
  quietFrames_ = silent ? quietFrames_ + frames : 0;
}

void SoundMixer::DispatchDue() {
  if (!playing_) return;
  while (next_ < song_.events.size() && FrameOf(song_.events[next_].us) <= songFrame_) {
    Dispatch(song_.events[next_++]);
  }
  if (next_ >= song_.events.size() && FrameOf(song_.endUs) <= songFrame_) {
    playing_ = false;
    ReleaseHeldNotes();
  }
}

void SoundMixer::Dispatch(const MidiEvent& e) {
  const int channel = e.status & 0x0F;
  switch (e.status & 0xF0) {
    case 0x80:
      fluid_->fluid_synth_noteoff(synth_, channel, e.data1);
      break;
    case 0x90:
      if (e.data2 == 0) {
        fluid_->fluid_synth_noteoff(synth_, channel, e.data1);
      } else {
        fluid_->fluid_synth_noteon(synth_, channel, e.data1, e.data2);
      }
      break;
    case 0xA0:
      fluid_->fluid_synth_key_pressure(synth_, channel, e.data1, e.data2);
      break;
    case 0xB0:
      fluid_->fluid_synth_cc(synth_, channel, e.data1, e.data2);
      break;
    case 0xC0:
      fluid_->fluid_synth_program_change(synth_, channel, e.data1);
      break;
    case 0xD0:
      fluid_->fluid_synth_channel_pressure(synth_, channel, e.data1);
      break;
    case 0xE0:
      fluid_->fluid_synth_pitch_bend(synth_, channel, e.data1 | (e.data2 << 7));
      break;
    default:
      Sysex(song_.sysex.data() + e.sysexAt, e.sysexSize);
      break;
  }
}

// The resets of General MIDI, GS and XG, and the GS message that makes a
// part a rhythm part; the synthesizer takes the rest (tuning and the like).
void SoundMixer::Sysex(const std::uint8_t* d, std::size_t size) {
  const bool gmOn = size >= 4 && d[0] == 0x7E && d[2] == 0x09 && (d[3] == 0x01 || d[3] == 0x03);
  const bool xgOn = size >= 7 && d[0] == 0x43 && (d[1] & 0xF0) == 0x10 && d[2] == 0x4C &&
                    d[3] == 0 && d[4] == 0 && d[5] == 0x7E && d[6] == 0;
  const bool gsWrite = size >= 9 && d[0] == 0x41 && d[2] == 0x42 && d[3] == 0x12 &&
                       (d[4] + d[5] + d[6] + d[7] + d[8]) % 128 == 0;
  if (gmOn || xgOn || (gsWrite && d[4] == 0x40 && d[5] == 0x00 && d[6] == 0x7F)) {
    fluid_->fluid_synth_system_reset(synth_);
    return;
  }
  if (gsWrite && d[4] == 0x40 && (d[5] & 0xF0) == 0x10 && d[6] == 0x15) {
    // Parts 1-9 are blocks 1-9, part 10 is block 0, parts 11-16 are A-F.
    const int block = d[5] & 0x0F;
    const int channel = block == 0 ? 9 : block <= 9 ? block - 1 : block;
    fluid_->fluid_synth_set_channel_type(synth_, channel,
                                         d[7] == 0 ? CHANNEL_TYPE_MELODIC : CHANNEL_TYPE_DRUM);
    int font = 0, bank = 0, program = 0;
    fluid_->fluid_synth_get_program(synth_, channel, &font, &bank, &program);
    fluid_->fluid_synth_program_change(synth_, channel, program);
    return;
  }
  fluid_->fluid_synth_sysex(synth_, reinterpret_cast<const char*>(d), static_cast<int>(size),
                            nullptr, nullptr, nullptr, 0);
}

}  // namespace kovan
