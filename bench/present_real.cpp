// What one frame costs on a real window, windowed and in full screen: the
// picture changes, is composed, uploaded, scaled to the window and shown.
// Prints the median and the 95th percentile of the frame times.
//
//   present_real [--full-screen] [--filter auto|nearest|linear] [--frames N]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "platform/sdl/sdl_platform.h"
#include "platform/surface.h"

namespace {

using namespace kovan;
using Clock = std::chrono::steady_clock;

void FillRamps(Surface& s) {
  for (int y = 0; y < s.Height(); ++y) {
    Rgb* row = s.Row(y);
    for (int x = 0; x < s.Width(); ++x) row[x] = MakeRgb(x, y, (x + y) / 4 + 1);
  }
}

// Lets the window system settle (a full-screen switch takes a moment).
void Settle(Platform& p) {
  for (int i = 0; i < 30; ++i) {
    p.DoEvents();
    p.Sleep(10);
  }
}

struct Figures {
  double median = 0, p95 = 0;
};

// Frames in which a marker moves across the picture, as the text of a
// message or a transition changes it.
Figures Measure(Platform& p, Surface& marker, int frames) {
  std::vector<double> ms;
  ms.reserve(static_cast<std::size_t>(frames));
  for (int i = 0; i < frames; ++i) {
    marker.left = (i * 7) % 600;
    marker.top = (i * 3) % 440;
    p.stage().Invalidate();
    const auto start = Clock::now();
    p.Present();
    ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  }
  std::sort(ms.begin(), ms.end());
  return Figures{ms[ms.size() / 2], ms[ms.size() * 95 / 100]};
}

int Run(const SdlOptions& options, const char* filterName, bool full, int frames) {
  auto created = CreateSdlPlatform(options);
  if (!created) {
    std::cerr << created.error() << "\n";
    return 1;
  }
  Platform& p = **created;
  Surface picture(640, 480);
  FillRamps(picture);
  picture.shown = true;
  Surface marker(40, 40, 0xFFFFFF);
  marker.shown = true;
  marker.zOrder = 1;
  p.stage().Add(&picture);
  p.stage().Add(&marker);
  p.SetClientSize(640, 480);
  p.ShowWindow(true);
  if (full && !p.SetFullScreen(true).ok()) std::cerr << "full screen refused\n";
  Settle(p);
  const WindowPlacement at = p.Placement();
  const Figures f = Measure(p, marker, frames);
  std::printf("%-11s %4dx%-4d picture %4dx%-4d %-7s  median %6.2f ms  p95 %6.2f ms\n",
              full ? "full screen" : "window", at.width, at.height, at.pictureWidth,
              at.pictureHeight, filterName, f.median, f.p95);
  p.stage().Remove(&marker);
  p.stage().Remove(&picture);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  int frames = 300;
  bool full = false;
  SdlOptions options;
  std::string filter = "auto";
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--full-screen") {
      full = true;
    } else if (a == "--frames" && i + 1 < argc) {
      frames = std::max(1, std::atoi(argv[++i]));
    } else if (a == "--filter" && i + 1 < argc) {
      filter = argv[++i];
      options.filter = filter == "nearest"  ? ScaleFilter::kNearest
                       : filter == "linear" ? ScaleFilter::kLinear
                                            : ScaleFilter::kAuto;
    } else {
      std::cerr << "usage: present_real [--full-screen] [--filter auto|nearest|linear] "
                   "[--frames N]\n";
      return 2;
    }
  }
  return Run(options, filter.c_str(), full, frames);
}
