// The program's entry: options, the backend, the single-instance check, and
// the game.
#include <cstdlib>
#include <filesystem>
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
};

const char* kUsage =
    "usage: kovan [--headless] [--data DIR] [--input FILE] [--trace FILE] [--shots DIR] "
    "[--max-ms N] [--save-dir DIR] [--audio FILE.wav] [--soundfont FILE]\n"
    "  --audio records what the player would hear (headless only)\n";

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
    } else if (a == "--max-ms") {
      std::string n;
      if (!value(n)) return false;
      char* end = nullptr;
      cl.maxMs = std::strtoll(n.c_str(), &end, 10);
      if (n.empty() || *end != '\0' || cl.maxMs < 0) return false;
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

}  // namespace

int main(int argc, char** argv) {
  CommandLine cl;
  if (!Parse(argc, argv, cl)) {
    std::cerr << kUsage;
    return 2;
  }

  std::unique_ptr<kovan::Platform> platform;
  if (cl.headless) {
    kovan::HeadlessOptions ho;
    if (!cl.input.empty() && !ReadText(cl.input, ho.inputScript)) {
      std::cerr << "kovan: cannot read the input script " << cl.input << "\n";
      return 2;
    }
    ho.shotsDir = cl.shots.empty() ? "." : cl.shots;
    ho.maxMs = cl.maxMs;
    ho.audioPath = cl.audio;
    ho.soundFont = cl.soundFont;
    auto created = kovan::CreateHeadlessPlatform(ho);
    if (!created) {
      std::cerr << "kovan: " << created.error() << "\n";
      return 2;
    }
    platform = std::move(created.value());
  } else {
    auto created = kovan::CreateSdlPlatform(cl.soundFont);
    if (!created) {
      std::cerr << "kovan: " << created.error() << "\n";
      return 1;
    }
    platform = std::move(created.value());
  }

  std::ofstream traceFile;
  if (!cl.trace.empty()) {
    traceFile.open(cl.trace, std::ios::binary | std::ios::trunc);
    if (!traceFile) {
      std::cerr << "kovan: cannot write the trace " << cl.trace << "\n";
      return 2;
    }
    platform->trace().SetStream(&traceFile);
  }

  kovan::GameOptions options;
  options.dataPath = cl.data;
  options.saveDir = cl.saveDir;
  const std::string appPath = kovan::AppPathOf(kovan::ExecutableDir());
  // One running copy per data folder: two would patch the same files.
  std::error_code ec;
  const std::string folder =
      cl.data.empty() ? kovan::DataPathFor(appPath) : kovan::AppPathOf(cl.data);
  const auto canonical = std::filesystem::weakly_canonical(folder, ec);
  kovan::InstanceLock lock(ec ? folder : canonical.string());
  if (!lock.Held()) {
    platform->MessageBox("既に起動しています。", kovan::MsgBoxButtons::kOk);
    return 1;
  }
  kovan::InstallCloseSignals();
  const int code = kovan::RunGame(*platform, options);
  if (kovan::Status closed = platform->audio().Close(); !closed) {
    std::cerr << "kovan: " << closed.error() << "\n";
    return code == 0 ? 1 : code;
  }
  return code;
}
