// Audio on the clock alone, and where the SoundFont is found.
#include <algorithm>
#include <cstdlib>

#include "platform/audio.h"
#include "platform/files.h"
#include "platform/midi_song.h"
#include "platform/wave.h"

namespace kovan {
namespace {

// The better sets first; the small default comes with the program's
// packages. The last is whatever the system chose as its default.
constexpr const char* kInstalledSoundFonts[] = {
    "/usr/share/sounds/sf2/FluidR3_GM.sf2",        "/usr/share/sounds/sf3/MuseScore_General.sf3",
    "/usr/share/sounds/sf2/MuseScore_General.sf2", "/usr/share/sounds/sf2/TimGM6mb.sf2",
    "/usr/share/sounds/sf2/default-GM.sf2",        "/usr/share/sounds/sf3/default-GM.sf3",
};

class SilentAudio final : public Audio {
 public:
  explicit SilentAudio(std::function<std::uint32_t()> clock) : clock_(std::move(clock)) {}

  AudioStart Open() override { return AudioStart{}; }

  Status MusicOpen(const std::string& path) override {
    MusicClose();
    Result<MidiSong> song = LoadMidi(path);
    if (!song) return Status::Error(song.error());
    lengthMs_ = song->LengthMs();
    open_ = true;
    return Status();
  }
  void MusicPlay() override {
    if (!open_) return;
    playing_ = true;
    startedAt_ = clock_();
  }
  void MusicStop() override { playing_ = false; }
  void MusicClose() override {
    playing_ = false;
    open_ = false;
  }
  bool MusicPlaying() override {
    if (playing_ && clock_() - startedAt_ >= lengthMs_) playing_ = false;
    return playing_;
  }

  void SetVolume(std::uint32_t value) override { volume_ = std::min(value, kFullVolume); }
  std::uint32_t Volume() override { return volume_; }

  Result<std::uint32_t> PlayWave(const std::vector<std::uint8_t>& riff) override {
    Result<Wave> wave = DecodeWave(riff);
    if (!wave) return Result<std::uint32_t>::Error(wave.error());
    return wave->LengthMs();
  }

 private:
  std::function<std::uint32_t()> clock_;
  bool open_ = false;
  bool playing_ = false;
  std::uint32_t startedAt_ = 0;
  std::uint32_t lengthMs_ = 0;
  std::uint32_t volume_ = kFullVolume;
};

}  // namespace

std::unique_ptr<Audio> CreateSilentAudio(std::function<std::uint32_t()> clock) {
  return std::make_unique<SilentAudio>(std::move(clock));
}

std::string FindSoundFont(const std::string& chosen) {
  if (!chosen.empty()) return chosen;
  if (const char* named = std::getenv("KOVAN_SOUNDFONT"); named != nullptr && *named != '\0') {
    return named;
  }
  for (const char* path : kInstalledSoundFonts) {
    if (FileExists(path)) return path;
  }
  return "";
}

}  // namespace kovan
