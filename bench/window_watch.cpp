// Watches a program's window from outside, as the X server sees it: starts
// the program, and prints how long after exec its first window was mapped
// and first painted (the damage extension reports every drawn rectangle).
// With --measure it then waits until a file holds a text, or one of several
// separated by '|' (the game's trace saying it waits for the player), lets
// a second pass, and over the next SECONDS counts the repaints and their rectangles, the program's
// CPU time, its peak resident memory (VmHWM) and its anonymous memory (the heap and what else it
// allocated). Then it ends the program with SIGTERM.
//
//   window_watch [--measure SECONDS --ready FILE TEXT] -- PROGRAM [ARG...]
//
// One "name value" line per figure, for bench/real_window.sh to read.
#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point t0) {
  return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

struct Options {
  double measureS = 0;
  std::string readyFile, readyText;
  char** program = nullptr;
};

bool Parse(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--measure" && i + 1 < argc) {
      o.measureS = std::atof(argv[++i]);
    } else if (a == "--ready" && i + 2 < argc) {
      o.readyFile = argv[++i];
      o.readyText = argv[++i];
    } else if (a == "--" && i + 1 < argc) {
      o.program = argv + i + 1;
      return o.measureS <= 0 || !o.readyFile.empty();
    } else {
      return false;
    }
  }
  return false;
}

// A /proc/PID/FILE line "Key:   value kB" as kB; -1 when missing.
long ProcKb(pid_t pid, const char* file, const std::string& key) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/" + file);
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind(key + ":", 0) == 0) return std::atol(line.c_str() + key.size() + 1);
  }
  return -1;
}

// User and system CPU seconds of all the process's threads.
double CpuSeconds(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const std::size_t close = stat.rfind(')');
  if (close == std::string::npos) return 0;
  std::istringstream fields(stat.substr(close + 2));
  std::string f;
  double utime = 0, stime = 0;
  for (int k = 3; fields >> f && k <= 15; ++k) {
    if (k == 14) utime = std::atof(f.c_str());
    if (k == 15) stime = std::atof(f.c_str());
  }
  return (utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// Whether the file holds one of the texts, which are separated by '|'.
bool FileHolds(const std::string& path, const std::string& texts) {
  std::ifstream in(path);
  std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::istringstream list(texts);
  std::string text;
  while (std::getline(list, text, '|')) {
    if (!text.empty() && all.find(text) != std::string::npos) return true;
  }
  return false;
}

class Watcher {
 public:
  explicit Watcher(Display* d) : d_(d) {
    XDamageQueryExtension(d_, &damageEvent_, &damageError_);
    XSelectInput(d_, DefaultRootWindow(d_), SubstructureNotifyMask);
    XSync(d_, False);
  }

  // Handles what the server reported within `ms`; true when anything came.
  bool Pump(int ms) {
    pollfd p{ConnectionNumber(d_), POLLIN, 0};
    if (XPending(d_) == 0 && poll(&p, 1, ms) <= 0) return false;
    while (XPending(d_) > 0) {
      XEvent e;
      XNextEvent(d_, &e);
      Handle(e);
    }
    return true;
  }

  double mappedMs = -1, paintedMs = -1;
  Clock::time_point start;
  bool counting = false;
  int repaints = 0;
  std::map<std::string, int> rects;  // "WxH+X+Y" and how often

 private:
  void Handle(const XEvent& e) {
    if (e.type == CreateNotify) {
      // Damage is watched from creation, so no paint slips past the map.
      XDamageCreate(d_, e.xcreatewindow.window, XDamageReportRawRectangles);
    } else if (e.type == MapNotify && main_ == 0) {
      main_ = e.xmap.window;
      mappedMs = MsSince(start);
    } else if (e.type == damageEvent_ + XDamageNotify) {
      const auto& n = reinterpret_cast<const XDamageNotifyEvent&>(e);
      if (n.drawable != main_ || main_ == 0) return;
      if (paintedMs < 0) paintedMs = MsSince(start);
      if (!counting) return;
      ++repaints;
      const XRectangle& r = n.area;
      ++rects[std::to_string(r.width) + "x" + std::to_string(r.height) + "+" + std::to_string(r.x) +
              "+" + std::to_string(r.y)];
    }
  }

  Display* d_;
  int damageEvent_ = 0, damageError_ = 0;
  Window main_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (!Parse(argc, argv, o)) {
    std::fprintf(stderr,
                 "usage: window_watch [--measure SECONDS --ready FILE TEXT] -- PROGRAM [ARG...]\n");
    return 2;
  }
  Display* d = XOpenDisplay(nullptr);
  if (d == nullptr) {
    std::fprintf(stderr, "window_watch: no X display\n");
    return 2;
  }
  Watcher w(d);
  w.start = Clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    execvp(o.program[0], o.program);
    _exit(127);
  }
  while (w.paintedMs < 0 && MsSince(w.start) < 30000) w.Pump(50);
  std::printf("mapped_ms %.1f\npainted_ms %.1f\n", w.mappedMs, w.paintedMs);
  int status = 0;
  if (o.measureS > 0) {
    while (!FileHolds(o.readyFile, o.readyText) && MsSince(w.start) < 60000) w.Pump(100);
    const Clock::time_point settle = Clock::now();
    while (MsSince(settle) < 1000) w.Pump(100);
    w.counting = true;
    const double cpu0 = CpuSeconds(pid);
    const Clock::time_point t0 = Clock::now();
    while (MsSince(t0) < o.measureS * 1000) w.Pump(100);
    const double seconds = MsSince(t0) / 1000;
    std::printf("idle_cpu_percent %.2f\n", 100 * (CpuSeconds(pid) - cpu0) / seconds);
    std::printf("repaints_per_s %.2f\n", w.repaints / seconds);
    for (const auto& [rect, n] : w.rects) std::printf("repaint_rect %s %d\n", rect.c_str(), n);
    std::printf("peak_rss_mb %.1f\n", ProcKb(pid, "status", "VmHWM") / 1024.0);
    std::printf("anon_mb %.1f\n", ProcKb(pid, "smaps_rollup", "Anonymous") / 1024.0);
  }
  kill(pid, SIGTERM);
  waitpid(pid, &status, 0);
  XCloseDisplay(d);
  return 0;
}
