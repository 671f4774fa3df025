#include "platform/headless/audio_recorder.h"

#include <fstream>
#include <vector>

#include "platform/mixer_audio.h"
#include "platform/wave.h"

namespace kovan {
namespace {

constexpr std::size_t kChunkFrames = 4096;
constexpr std::uint32_t kHeaderBytes = 44;
// A wave file counts its bytes in 32 bits; a longer run stops recording.
constexpr std::uint64_t kMaxDataBytes = 0xFFFFFFFFu - kHeaderBytes;

class AudioRecorder final : public MixerAudio {
 public:
  AudioRecorder(std::function<std::uint32_t()> clock, std::string path, std::string soundFont)
      : clock_(std::move(clock)), path_(std::move(path)), soundFont_(std::move(soundFont)) {
    out_.open(path_, std::ios::binary | std::ios::trunc);
    const std::vector<std::uint8_t> header = WaveHeader(SoundMixer::kRate, 2, 16, 0);
    out_.write(reinterpret_cast<const char*>(header.data()), kHeaderBytes);
  }
  // The clock may be gone by now: what was rendered is what is kept.
  ~AudioRecorder() override { (void)Finish(); }

  AudioStart Open() override {
    AudioStart start = StartMixer(soundFont_);
    if (!out_) start.note += (start.note.empty() ? "" : " ") + WriteError();
    return start;
  }

  Status Close() override {
    CatchUp();
    return Finish();
  }

 protected:
  void Enter() override { CatchUp(); }
  bool Output() const override { return !closed_; }

 private:
  std::string WriteError() const { return "The recording " + path_ + " can't be written."; }

  Status Finish() {
    if (closed_) return Status();
    closed_ = true;
    const std::vector<std::uint8_t> header =
        WaveHeader(SoundMixer::kRate, 2, 16, static_cast<std::uint32_t>(dataBytes_));
    out_.seekp(0);
    out_.write(reinterpret_cast<const char*>(header.data()), kHeaderBytes);
    out_.close();
    if (out_.fail()) return Status::Error(WriteError());
    return Status();
  }

  // Renders every sample up to the clock's now.
  void CatchUp() {
    if (closed_) return;
    const std::uint64_t target = static_cast<std::uint64_t>(clock_()) * SoundMixer::kRate / 1000;
    std::vector<std::int16_t> chunk(kChunkFrames * 2);
    while (rendered_ < target) {
      const std::size_t n =
          static_cast<std::size_t>(std::min<std::uint64_t>(target - rendered_, kChunkFrames));
      mixer_.Render(chunk.data(), n);
      rendered_ += n;
      const std::uint64_t bytes = n * 4;
      if (!out_ || dataBytes_ + bytes > kMaxDataBytes) continue;
      out_.write(reinterpret_cast<const char*>(chunk.data()), static_cast<std::streamsize>(bytes));
      dataBytes_ += bytes;
    }
  }

  std::function<std::uint32_t()> clock_;
  std::string path_;
  std::string soundFont_;
  std::ofstream out_;
  std::uint64_t rendered_ = 0;
  std::uint64_t dataBytes_ = 0;
  bool closed_ = false;
};

}  // namespace

std::unique_ptr<Audio> CreateAudioRecorder(std::function<std::uint32_t()> clock,
                                           std::string wavPath, std::string soundFont) {
  return std::make_unique<AudioRecorder>(std::move(clock), std::move(wavPath),
                                         std::move(soundFont));
}

}  // namespace kovan
