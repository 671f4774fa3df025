#include "platform/mixer_audio.h"

#include "platform/midi_song.h"
#include "platform/wave.h"

namespace kovan {

class MixerAudio::Guard {
 public:
  explicit Guard(MixerAudio& audio) : audio_(audio) { audio_.Enter(); }
  ~Guard() { audio_.Leave(); }
  Guard(const Guard&) = delete;
  Guard& operator=(const Guard&) = delete;

 private:
  MixerAudio& audio_;
};

AudioStart MixerAudio::StartMixer(const std::string& chosen) {
  AudioStart start;
  const std::string found = FindSoundFont(chosen);
  Status started = mixer_.Start(found);
  if (!started && !chosen.empty()) {
    // A SoundFont named by the player that can't be used gives way to the
    // installed one, and the log says so.
    const std::string installed = FindSoundFont("");
    if (!installed.empty() && installed != chosen && mixer_.Start(installed)) {
      start.note = started.error() + "; music plays with " + installed + " instead.";
      return start;
    }
  }
  if (!started) {
    start.music = false;
    start.note = "Music is off: " + started.error() +
                 " (install the timgm6mb-soundfont package, or name a SoundFont with "
                 "--soundfont FILE or KOVAN_SOUNDFONT).";
  }
  return start;
}

Status MixerAudio::MusicOpen(const std::string& path) {
  // The file is read outside the guard: the device keeps playing meanwhile.
  Result<MidiSong> song = LoadMidi(path);
  Guard guard(*this);
  if (!Output()) {
    mixer_.MusicClose();
    return Status::Error("no sound device");
  }
  if (!song) {
    mixer_.MusicClose();
    return Status::Error(song.error());
  }
  return mixer_.MusicLoad(std::move(song.value()));
}

void MixerAudio::MusicPlay() {
  Guard guard(*this);
  mixer_.MusicPlay();
}

void MixerAudio::MusicStop() {
  Guard guard(*this);
  mixer_.MusicStop();
}

void MixerAudio::MusicClose() {
  Guard guard(*this);
  mixer_.MusicClose();
}

bool MixerAudio::MusicPlaying() {
  Guard guard(*this);
  return mixer_.MusicPlaying();
}

void MixerAudio::SetVolume(std::uint32_t value) {
  Guard guard(*this);
  mixer_.SetVolume(value);
}

std::uint32_t MixerAudio::Volume() {
  Guard guard(*this);
  return mixer_.Volume();
}

Result<std::uint32_t> MixerAudio::PlayWave(const std::vector<std::uint8_t>& riff) {
  Result<Wave> wave = DecodeWave(riff);
  if (!wave) return Result<std::uint32_t>::Error(wave.error());
  Guard guard(*this);
  if (!Output()) return Result<std::uint32_t>::Error("no sound device");
  mixer_.AddWave(wave.value());
  return wave->LengthMs();
}

}  // namespace kovan
