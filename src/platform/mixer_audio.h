// Audio over the mixer: the part the sound device and the offline recording
// share. Each backend says how the mixer is rendered and guarded.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/audio.h"
#include "platform/sound_mixer.h"

namespace kovan {

class MixerAudio : public Audio {
 public:
  Status MusicOpen(const std::string& path) override;
  void MusicPlay() override;
  void MusicStop() override;
  void MusicClose() override;
  bool MusicPlaying() override;
  void SetVolume(std::uint32_t value) override;
  std::uint32_t Volume() override;
  Result<std::uint32_t> PlayWave(const std::vector<std::uint8_t>& riff) override;

 protected:
  // Starts the synthesizer with the SoundFont found for `chosen` and says
  // how that went.
  AudioStart StartMixer(const std::string& chosen);
  // Run around every use of the mixer: the device's lock, or a recording
  // catching up with the clock.
  virtual void Enter() {}
  virtual void Leave() {}
  // Whether music and waves can be heard at all.
  virtual bool Output() const = 0;

  SoundMixer mixer_;

 private:
  class Guard;
};

}  // namespace kovan
