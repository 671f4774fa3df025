// How soon music is heard: the script's "aa" is given to the sound system
// over SDL's real audio path (its disk driver, which writes what a device
// would play, at the device's pace), and the time until the first sample
// that isn't silence is written is measured. Prints the fastest, median and
// slowest of 20 runs.
//
//   audio_latency DATA_DIR [SOUNDFONT]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "engine/engine_state.h"
#include "engine/game_log.h"
#include "platform/platform.h"
#include "platform/sdl/sdl_audio.h"
#include "sound/sound.h"

namespace {

using namespace kovan;
using Clock = std::chrono::steady_clock;

constexpr int kRuns = 20;
constexpr int kSilence = 64;  // below this a sample counts as silence

// A platform with nothing but a real clock and the sound device.
class AudioOnly final : public Platform {
 public:
  explicit AudioOnly(const std::string& soundFont) : start_(Clock::now()) {
    SetAudio(CreateSdlAudio(soundFont));
  }
  std::uint32_t Ticks() override {
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start_).count());
  }
  void Sleep(std::uint32_t ms) override {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
  }
  void DoEvents() override { FireTimers(); }
  void SetClientSize(int, int) override {}
  void CentreWindow() override {}
  void ShowWindow(bool) override {}
  void SetCaption(const std::string&) override {}
  void SetWaitCursor(bool) override {}
  void ToggleCaption() override {}
  MsgBoxAnswer MessageBox(const std::string&, MsgBoxButtons) override { return MsgBoxAnswer::kOk; }
  DisplayInfo Display() override { return {}; }
  SystemFacts Facts() override { return {}; }
  void SetImeOpen(bool) override {}

 private:
  Clock::time_point start_;
};

// Waits for the first sound written after `from` bytes; gives the ms from
// t0 to the moment that sample would be heard, or -1 after two seconds.
double FirstSound(const std::string& path, std::uintmax_t from, Clock::time_point t0) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::int16_t> frame(2);
  std::uintmax_t at = from;
  while (Clock::now() - t0 < std::chrono::seconds(2)) {
    const std::uintmax_t size = std::filesystem::file_size(path);
    const Clock::time_point seen = Clock::now();
    in.clear();
    in.seekg(static_cast<std::streamoff>(at));
    // A frame counts from when it can be read. The driver writes through
    // a stdio buffer that shows its bytes 4 KiB (23 ms) at a time, so this
    // is an upper bound of when a device would have played it.
    for (; at + 4 <= size; at += 4) {
      in.read(reinterpret_cast<char*>(frame.data()), 4);
      if (std::abs(frame[0]) > kSilence || std::abs(frame[1]) > kSilence) {
        return std::chrono::duration<double, std::milli>(seen - t0).count();
      }
    }
    std::this_thread::sleep_for(std::chrono::microseconds(250));
  }
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: audio_latency DATA_DIR [SOUNDFONT]\n");
    return 2;
  }
  const std::string out = (std::filesystem::temp_directory_path() / "kovan-latency.raw").string();
  setenv("SDL_AUDIODRIVER", "disk", 0);
  setenv("SDL_DISKAUDIOFILE", out.c_str(), 1);
  AudioOnly platform(argc > 2 ? argv[2] : "");
  EngineState state;
  GameLog log;
  Sound sound(platform, state, log);
  state.DataPath = std::string(argv[1]) + "/";
  state.BgmFile[1] = "bgm01.mid";
  sound.MixerOpen();
  if (!state.BgmOn) {
    std::fprintf(stderr, "audio_latency: %s\n", log.Text().c_str());
    return 1;
  }
  std::vector<double> ms;
  for (int run = 0; run < kRuns; ++run) {
    state.BgmNo = 0;
    sound.MusicStop();
    platform.Sleep(300);
    const std::uintmax_t from = std::filesystem::file_size(out);
    const Clock::time_point t0 = Clock::now();
    sound.CmdSound("aa");
    ms.push_back(FirstSound(out, from, t0));
  }
  std::sort(ms.begin(), ms.end());
  std::printf("music heard after \"aa\" (SDL disk driver, %d runs): fastest %.1f ms, median %.1f ms, "
              "slowest %.1f ms\n",
              kRuns, ms.front(), ms[ms.size() / 2], ms.back());
  (void)platform.audio().Close();
  std::filesystem::remove(out);
  return ms.front() < 0 ? 1 : 0;
}
