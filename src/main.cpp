// The program's entry: options, the backend, the single-instance check, and
// the game.
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>

#include "story/game.h"
#include "story/runner.h"
#include "platform/files.h"
#include "platform/headless/headless_platform.h"
#include "platform/instance_lock.h"
#include "platform/sdl/sdl_platform.h"
#include "platform/signals.h"

namespace {

struct CommandLine {
  bool headless = false;
  std::string data, input, trace, shots, saveDir, audio, soundFont;
  long long maxMs = -1;
  kovan::SdlOptions window;
  bool fullScreen = false;
  long long maxLines = -1;
};

// The headless runner's line bound when none is given: far beyond any
// playthrough (the scenario holds at most 3001 lines), reached only by a
// scenario that jumps round without ever showing a message.
constexpr long long kDefaultHeadlessMaxLines = 1000000;
// The headless runner's game-time bound when none is given: a day of play,
// far beyond any playthrough, reached only when the input script waits for
// something that never comes (`until` a state the game never reports).
// Game time runs without the real clock, so without it such a run would
// never end and its trace would grow without limit.
constexpr long long kDefaultHeadlessMaxMs = 24LL * 60 * 60 * 1000;
// The exit status of a run that a bound it did not ask for ended.
constexpr int kRunawayExitCode = 3;

const char* kUsage =
    "usage: kovan [--headless] [--data DIR] [--input FILE] [--trace FILE] [--shots DIR] "
    "[--max-ms N] [--max-lines N] [--save-dir DIR] [--audio FILE.wav] [--soundfont FILE]\n"
    "             [--scale N] [--filter nearest|linear] [--full-screen]\n"
    "  --audio records what the player would hear (headless only)\n";

// A whole number from 1 to 16.
bool ParseScale(const std::string& n, int& out) {
  char* end = nullptr;
  const long v = std::strtol(n.c_str(), &end, 10);
  if (n.empty() || *end != '\0' || v < 1 || v > 16) return false;
  out = static_cast<int>(v);
  return true;
}

bool ParseCount(const std::string& n, long long& out) {
  char* end = nullptr;
  out = std::strtoll(n.c_str(), &end, 10);
  return !n.empty() && *end == '\0' && out >= 0;
}

bool Parse(int argc, char** argv, CommandLine& cl) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= argc) return false;
      out = argv[++i];
      return true;
    };
    if (a == "--headless") {
      cl.headless = true;
    } else if (a == "--data") {
      if (!value(cl.data)) return false;
    } else if (a == "--input") {
      if (!value(cl.input)) return false;
    } else if (a == "--trace") {
      if (!value(cl.trace)) return false;
    } else if (a == "--save-dir") {
      if (!value(cl.saveDir)) return false;
    } else if (a == "--shots") {
      if (!value(cl.shots)) return false;
    } else if (a == "--audio") {
      if (!value(cl.audio)) return false;
    } else if (a == "--soundfont") {
      if (!value(cl.soundFont)) return false;
    } else if (a == "--max-ms" || a == "--max-lines") {
      std::string n;
      if (!value(n) || !ParseCount(n, a == "--max-ms" ? cl.maxMs : cl.maxLines)) return false;
    } else if (a == "--scale") {
      std::string n;
      if (!value(n) || !ParseScale(n, cl.window.scale)) return false;
    } else if (a == "--filter") {
      std::string f;
      if (!value(f)) return false;
      if (f == "nearest") {
        cl.window.filter = kovan::ScaleFilter::kNearest;
      } else if (f == "linear") {
        cl.window.filter = kovan::ScaleFilter::kLinear;
      } else {
        return false;
      }
    } else if (a == "--full-screen") {
      cl.fullScreen = true;
    } else {
      return false;
    }
  }
  return cl.audio.empty() || cl.headless;
}

bool ReadText(const std::string& path, std::string& out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream ss;
  ss << in.rdbuf();
  out = ss.str();
  return true;
}

// The backend the command line asks for; nothing and a message on stderr
// when it can't be had (the exit status in `status`).
std::unique_ptr<kovan::Platform> CreatePlatform(const CommandLine& cl, int& status) {
  if (cl.headless) {
    kovan::HeadlessOptions ho;
    if (!cl.input.empty() && !ReadText(cl.input, ho.inputScript)) {
      std::cerr << "kovan: cannot read the input script " << cl.input << "\n";
      status = 2;
      return nullptr;
    }
    ho.shotsDir = cl.shots.empty() ? "." : cl.shots;
    ho.maxMs = cl.maxMs >= 0 ? cl.maxMs : kDefaultHeadlessMaxMs;
    ho.audioPath = cl.audio;
    ho.soundFont = cl.soundFont;
    auto created = kovan::CreateHeadlessPlatform(ho);
    if (created) return std::move(created.value());
    std::cerr << "kovan: " << created.error() << "\n";
    status = 2;
    return nullptr;
  }
  kovan::SdlOptions window = cl.window;
  window.soundFont = cl.soundFont;
  auto created = kovan::CreateSdlPlatform(window);
  if (created) return std::move(created.value());
  std::cerr << "kovan: " << created.error() << "\n";
  status = 1;
  return nullptr;
}

// Outputs asked for that were lost make the run a failure, whatever the
// game's own end.
int CheckOutputs(kovan::Platform& platform, std::ofstream& traceFile, const std::string& trace,
                 int exitCode) {
  const int failed = exitCode != 0 ? exitCode : 1;
  if (kovan::Status closed = platform.audio().Close(); !closed) {
    std::cerr << "kovan: " << closed.error() << "\n";
    exitCode = failed;
  }
  if (traceFile.is_open()) {
    traceFile.close();
    if (platform.trace().Failed() || traceFile.fail()) {
      std::cerr << "kovan: the trace " << trace << " could not be written in full\n";
      exitCode = failed;
    }
  }
  if (const std::string lost = platform.OutputError(); !lost.empty()) {
    std::cerr << "kovan: " << lost << "\n";
    exitCode = failed;
  }
  return exitCode;
}

}  // namespace

int main(int argc, char** argv) {
  CommandLine cl;
  if (!Parse(argc, argv, cl)) {
    std::cerr << kUsage;
    return 2;
  }
  int status = 0;
  std::unique_ptr<kovan::Platform> platform = CreatePlatform(cl, status);
  if (!platform) return status;

  std::ofstream traceFile;
  if (!cl.trace.empty()) {
    traceFile.open(cl.trace, std::ios::binary | std::ios::trunc);
    if (!traceFile) {
      std::cerr << "kovan: cannot write the trace " << cl.trace << ": " << std::strerror(errno)
                << "\n";
      return 2;
    }
    platform->trace().SetStream(&traceFile);
  }

  kovan::GameOptions options;
  options.dataPath = cl.data;
  options.saveDir = cl.saveDir;
  options.fullScreen = cl.fullScreen;
  options.maxLines = cl.maxLines >= 0 ? cl.maxLines : cl.headless ? kDefaultHeadlessMaxLines : -1;
  const std::string appPath = kovan::AppPathOf(kovan::ExecutableDir());
  // One running copy per data folder: the lock is on the folder itself.
  const std::string folder =
      cl.data.empty() ? kovan::DataPathFor(appPath) : kovan::AppPathOf(cl.data);
  kovan::InstanceLock lock(folder);
  if (lock.Busy()) {
    platform->MessageBox("既に起動しています。", kovan::MsgBoxButtons::kOk);
    return 1;
  }
  kovan::InstallCloseSignals();
  int exitCode = kovan::RunGame(*platform, options);
  if (cl.headless && cl.maxMs < 0 && exitCode == 0 && platform->Ticks() >= kDefaultHeadlessMaxMs) {
    std::cerr << "kovan: the run reached " << kDefaultHeadlessMaxMs
              << " ms of game time, the bound when --max-ms is not given: the input script "
                 "waits for something that never comes\n";
    exitCode = kRunawayExitCode;
  }
  return CheckOutputs(*platform, traceFile, cl.trace, exitCode);
}
