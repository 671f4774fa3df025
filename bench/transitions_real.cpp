// Every transition on a real window (or headless, for screenshots), the
// scene parts alone: the demo's places come in one after another through
// PlaceChange, and "BI" fades a logo onto a white screen as the opening
// does. Prints, for each code, the wall-clock time against the pacing's
// minimum; the trace gets the place events as the game writes them.
//
//   transitions_real --data DIR [--headless] [--input FILE] [--shots DIR]
//                    [--trace FILE] [--codes DI,VB,...]
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "engine/data_files.h"
#include "engine/engine_state.h"
#include "message/main_form.h"
#include "message/message_layout.h"
#include "message/messages.h"
#include "platform/headless/headless_platform.h"
#include "platform/pictures.h"
#include "platform/sdl/sdl_platform.h"
#include "scene/scene.h"

namespace {

using namespace kovan;

struct Options {
  std::string data, input, shots, trace;
  bool headless = false;
  std::vector<std::string> codes = {"DI", "VB", "HB", "HC", "BC", "IC", "DK", "MS", "BI", "XX"};
};

// The least time each code takes by its pacing, in ms.
int MinimumMs(const std::string& code) {
  if (code == "DI") return 500;
  if (code == "VB") return 805;
  if (code == "HC") return 2150;
  if (code == "BC") return 400;
  if (code == "IC") return 100;
  if (code == "MS") return 810;
  if (code == "BI") return 2000;
  return 0;
}

bool Parse(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const bool hasValue = i + 1 < argc;
    if (a == "--headless") {
      o.headless = true;
    } else if (a == "--data" && hasValue) {
      o.data = argv[++i];
    } else if (a == "--input" && hasValue) {
      o.input = argv[++i];
    } else if (a == "--shots" && hasValue) {
      o.shots = argv[++i];
    } else if (a == "--trace" && hasValue) {
      o.trace = argv[++i];
    } else if (a == "--codes" && hasValue) {
      o.codes.clear();
      std::stringstream list(argv[++i]);
      for (std::string c; std::getline(list, c, ',');) o.codes.push_back(c);
    } else {
      return false;
    }
  }
  if (!o.data.empty() && o.data.back() != '/') o.data += '/';
  return !o.data.empty();
}

std::unique_ptr<Platform> MakePlatform(const Options& o) {
  if (!o.headless) {
    auto created = CreateSdlPlatform();
    if (!created) std::cerr << created.error() << "\n";
    return created ? std::move(created.value()) : nullptr;
  }
  HeadlessOptions ho;
  ho.shotsDir = o.shots.empty() ? "." : o.shots;
  if (!o.input.empty()) {
    std::ifstream in(o.input);
    std::ostringstream text;
    text << in.rdbuf();
    ho.inputScript = text.str();
  }
  auto created = CreateHeadlessPlatform(ho);
  if (!created) std::cerr << created.error() << "\n";
  return created ? std::move(created.value()) : nullptr;
}

// Runs one code; returns its wall-clock time in ms.
double RunCode(EngineState& state, MainForm& form, Scene& scene, const DataFiles& data,
               const std::string& code, int placeNo) {
  const auto start = std::chrono::steady_clock::now();
  if (code == "BI") {
    // The opening's way: a logo onto a white screen.
    form.Pic_Main.SetBackColor(kWhite);
    Result<Surface> logo = data.LoadPicture("P99.dat");
    if (logo) layout::TakePicture(form.Place_Load, std::move(logo.value()));
    scene.EffectCode = code;
    scene.PlaceEffect();
  } else {
    state.PlaceNo = static_cast<std::int16_t>(placeNo);
    state.LineText = code;
    scene.PlaceChange();
  }
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (!Parse(argc, argv, o)) {
    std::cerr << "usage: transitions_real --data DIR [--headless] [--input FILE] [--shots DIR] "
                 "[--trace FILE] [--codes DI,VB,...]\n";
    return 2;
  }
  std::unique_ptr<Platform> platform = MakePlatform(o);
  if (!platform) return 1;
  std::ofstream traceFile;
  if (!o.trace.empty()) {
    traceFile.open(o.trace, std::ios::binary | std::ios::trunc);
    platform->trace().SetStream(&traceFile);
  }

  EngineState state;
  SetStartValues(state);
  DataFiles data(o.data, false);
  MainForm form(*platform);
  Messages messages(*platform, state, form);
  if (Status laid = messages.LayoutInit(data); !laid) {
    std::cerr << laid.error() << "\n";
    return 1;
  }
  Scene scene(*platform, state, form, messages);
  scene.SetDataFiles(&data);
  scene.MeshInit();
  platform->SetClientSize(Stage::kWidth, Stage::kHeight);
  platform->ShowWindow(true);
  form.Pic_Main.shown = true;
  platform->stage().Invalidate();
  platform->DoEvents();

  std::printf("%-4s %10s %10s %8s\n", "code", "wall ms", "minimum", "ratio");
  // Places with full-screen pictures, skipping the tall opening picture.
  const int places[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12, 13, 14};
  int next = 0;
  for (const std::string& code : o.codes) {
    const int placeNo = places[next++ % 13];
    const double wall = RunCode(state, form, scene, data, code, placeNo);
    const int minimum = MinimumMs(code);
    if (minimum > 0) {
      std::printf("%-4s %10.1f %10d %8.3f\n", code.c_str(), wall, minimum, wall / minimum);
    } else {
      std::printf("%-4s %10.1f %10s %8s\n", code.c_str(), wall, "-", "-");
    }
    if (!o.shots.empty()) {
      Surface shown;
      platform->stage().Compose(shown);
      (void)SavePng(shown, o.shots + "/" + code + "_end.png");
    }
    platform->DoEvents();
  }
  return 0;
}
