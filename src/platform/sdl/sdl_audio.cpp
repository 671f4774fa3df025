#include "platform/sdl/sdl_audio.h"

#include <SDL.h>

#include "platform/mixer_audio.h"
#include "platform/sdl/sdl_handles.h"

namespace kovan {
namespace {

// 512 samples are 11.6 ms: short enough that music starts promptly, long
// enough that the synthesizer runs in few, cheap calls.
constexpr Uint16 kDeviceFrames = 512;

class SdlAudio final : public MixerAudio {
 public:
  explicit SdlAudio(std::string soundFont) : soundFont_(std::move(soundFont)) {}
  ~SdlAudio() override {
    // Stops the audio thread before the mixer it renders goes.
    if (device_ != 0) SDL_CloseAudioDevice(device_);
  }

  AudioStart Open() override {
    if (device_ != 0) return AudioStart{};
    if (!subsystem_.Start(SDL_INIT_AUDIO)) return NoDevice(SdlError("no audio"));
    SDL_AudioSpec want{};
    want.freq = SoundMixer::kRate;
    want.format = AUDIO_S16SYS;
    want.channels = SoundMixer::kChannels;
    want.samples = kDeviceFrames;
    want.callback = &SdlAudio::Callback;
    want.userdata = this;
    // The mixer's format exactly: SDL converts for the device if it must.
    device_ = SDL_OpenAudioDevice(nullptr, 0, &want, nullptr, 0);
    if (device_ == 0) return NoDevice(SdlError("no audio device"));
    AudioStart start = StartMixer(soundFont_);
    SDL_PauseAudioDevice(device_, 0);
    return start;
  }

  Status Close() override {
    if (device_ != 0) SDL_CloseAudioDevice(device_);
    device_ = 0;
    return Status();
  }

 protected:
  void Enter() override {
    if (device_ != 0) SDL_LockAudioDevice(device_);
  }
  void Leave() override {
    if (device_ != 0) SDL_UnlockAudioDevice(device_);
  }
  bool Output() const override { return device_ != 0; }

 private:
  static void Callback(void* self, Uint8* stream, int bytes) {
    auto* audio = static_cast<SdlAudio*>(self);
    const std::size_t frames = static_cast<std::size_t>(bytes) / (2 * SoundMixer::kChannels);
    audio->mixer_.Render(reinterpret_cast<std::int16_t*>(stream), frames);
  }

  static AudioStart NoDevice(const std::string& why) {
    return AudioStart{false, false, "No sound device (" + why + "): music and effects are off."};
  }

  std::string soundFont_;
  SdlSubsystems subsystem_;
  SDL_AudioDeviceID device_ = 0;
};

}  // namespace

std::unique_ptr<Audio> CreateSdlAudio(std::string soundFont) {
  return std::make_unique<SdlAudio>(std::move(soundFont));
}

}  // namespace kovan
