// Saving and loading: one slot's round trip through the save/load window
// (the listing, the write, the read), and a thousand loads in a row from
// the menu on the headless runner.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "engine/game_log.h"
#include "engine/scenario.h"
#include "platform/files.h"
#include "platform/headless/headless_platform.h"
#include "savegame/file_window.h"
#include "savegame/save_record.h"
#include "sound/sound.h"
#include "story/game.h"
#include "story/runner.h"
#include "platform/text_codec.h"

namespace kovan {
namespace {

namespace fs = std::filesystem;

std::string DemoCopy(const char* name) {
  const fs::path dir = fs::temp_directory_path() / name;
  fs::remove_all(dir);
  fs::create_directories(dir);
  for (auto& e : fs::directory_iterator(std::string(KOVAN_BINARY_DIR) + "/data")) {
    if (e.is_regular_file()) fs::copy_file(e.path(), dir / e.path().filename());
  }
  return dir.string() + "/";
}

// The window's whole work for one slot: open and list the five slots, save
// into slot 0 (overwriting: the question is answered), then open again,
// list, and read the slot back (argument 0; 1 = the load half alone). The result panel's fixed second passes on
// the virtual clock, so it costs nothing here.
void BM_SaveAndLoadSlot(benchmark::State& state) {
  const std::string folder = DemoCopy("kovan-bench-saves");
  EngineState s;
  SetStartValues(s);
  s.Data_stack = {PackState(s), "朝霧", "湊"};
  s.SaveTitle = "第一話　新学期";
  for (int slot = 1; slot < kSlotCount; ++slot) {
    (void)WriteFileBytes(SlotPath(folder, slot),
                         EncodeSaveFile({"2001/08/15 21:07", "第二話", s.Data_stack[0], "a", "b"}));
  }
  Surface texture(400, 400, MakeRgb(40, 60, 120));
  Result<std::unique_ptr<Font>> font = Font::Open("ＭＳ ゴシック", 9);
  GameLog log;
  const bool loadOnly = state.range(0) == 1;
  (void)WriteFileBytes(SlotPath(folder, 0), EncodeSaveFile({"2001/08/15 21:07", "", s.Data_stack[0], "a", "b"}));
  const std::string script =
      std::string(loadOnly ? "" : "press File_Window Label1(0)\npress File_Window fBtn(3)\n"
                                  "press File_Window Command1\npress File_Window fBtn(0)\n") +
      "press File_Window Label1(0)\npress File_Window fBtn(2)\n";
  for (auto _ : state) {
    HeadlessOptions options;
    options.inputScript = script;
    auto platform = CreateHeadlessPlatform(options);
    Sound sound(**platform, s, log);
    for (int mode : {kFileSave, kFileLoad}) {
      if (loadOnly && mode == kFileSave) continue;
      FileWindow window(**platform, s, texture, sound, font ? font->get() : nullptr, folder);
      benchmark::DoNotOptimize(window.Run(mode));
    }
  }
}
BENCHMARK(BM_SaveAndLoadSlot)->Unit(benchmark::kMillisecond)->Arg(0);
// The load half alone: listing and reading, no write and so no disk sync.
BENCHMARK(BM_SaveAndLoadSlot)->Unit(benchmark::kMillisecond)->Arg(1);

// Samples, at each wait for the player, where the stack stands and how
// much memory the process holds.
class WaitProbe : public std::stringbuf {
 public:
  std::vector<std::uintptr_t> stack;
  std::vector<long> rssKiB;

 protected:
  int sync() override {
    const std::string& text = str();
    if (text.find("\"ev\":\"wait\"") != std::string::npos) {
      volatile char here = 0;
      stack.push_back(reinterpret_cast<std::uintptr_t>(&here));
      long pages = 0, resident = 0;
      std::ifstream("/proc/self/statm") >> pages >> resident;
      rssKiB.push_back(resident * (sysconf(_SC_PAGESIZE) / 1024));
    }
    str("");  // the trace isn't kept: only what the samples say
    return 0;
  }
};

void BM_ThousandMenuLoads(benchmark::State& state) {
  // The demo's pictures with a story of its own: the title, then a section
  // that opens with a message, so each load costs the load and no more.
  const std::string data = DemoCopy("kovan-bench-loads");
  const std::string story = "1000,g9,,,,,,,,,,,\r\n1100,,,,,,,,\"一\",,,,\r\n1100,e,,,,,,,,,,,\r\n";
  const std::string cp932 = Utf8ToCp932(story).value();
  (void)WriteFileBytes(data + "91.dat", Complement(Bytes(cp932.begin(), cp932.end())));
  (void)WriteFileBytes(data + "92.dat", Complement(Bytes()));
  EngineState s;
  SetStartValues(s);
  s.SectionNo = 1100;
  (void)WriteFileBytes(SlotPath(data, 0),
                       EncodeSaveFile({"2001/08/15 21:07", "", PackState(s), "朝霧", "湊"}));
  std::string input = "until title\nclick 150 200\nuntil keys\n";
  constexpr int kLoads = 1000;
  for (int i = 0; i < kLoads; ++i) {
    input += "menu prog_load\nuntil dialog File_Window\npress File_Window Label1(0)\n"
             "press File_Window fBtn(2)\nuntil keys\n";
  }
  for (auto _ : state) {
    HeadlessOptions options;
    options.inputScript = input + "quit\n";
    auto platform = CreateHeadlessPlatform(options);
    WaitProbe probe;
    std::ostream trace(&probe);
    (*platform)->trace().SetStream(&trace);
    Game game(**platform, GameOptions{data, data});
    RunGame(game);
    if (probe.stack.size() < 12) {
      state.SkipWithError("the loads did not happen");
      break;
    }
    // After the tenth load and after the last.
    state.counters["stack_growth_bytes"] =
        static_cast<double>(static_cast<std::intptr_t>(probe.stack[10] - probe.stack.back()));
    state.counters["rss_after_10_KiB"] = static_cast<double>(probe.rssKiB[10]);
    state.counters["rss_after_1000_KiB"] = static_cast<double>(probe.rssKiB.back());
    state.counters["loads"] = static_cast<double>(probe.stack.size() - 1);
  }
}
BENCHMARK(BM_ThousandMenuLoads)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace kovan
