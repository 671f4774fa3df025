// Start-up to the end of the scenario load, in one process on the headless
// backend, and the loading of a large generated scenario.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "story/game.h"
#include "engine/scenario.h"
#include "platform/headless/headless_platform.h"
#include "platform/text_codec.h"

namespace kovan {
namespace {

namespace fs = std::filesystem;

std::string DemoCopy() {
  const fs::path dir = fs::temp_directory_path() / "kovan-bench-startup";
  fs::remove_all(dir);
  fs::create_directories(dir);
  for (auto& e : fs::directory_iterator(std::string(KOVAN_BINARY_DIR) + "/data")) {
    if (e.is_regular_file()) fs::copy_file(e.path(), dir / e.path().filename());
  }
  return dir.string() + "/";
}

void BM_StartUpToScenarioLoaded(benchmark::State& state) {
  const std::string data = DemoCopy();
  for (auto _ : state) {
    auto platform = CreateHeadlessPlatform(HeadlessOptions{});
    Game game(**platform, GameOptions{data, data});
    game.StartUp();
    game.FormUnload();
  }
  state.SetLabel("data folder of the demo");
}
BENCHMARK(BM_StartUpToScenarioLoaded)->Unit(benchmark::kMillisecond);

void BM_LoadScenario3000Lines(benchmark::State& state) {
  std::string text;
  for (int i = 0; i < 3000; ++i) {
    text += std::to_string(1000 + i / 10) +
            ",,,,,,,2,\"今日はいい天気だね。表の掲示板を見に行こうか、ソフィア。\",,,,\r\n";
  }
  auto cp932 = Utf8ToCp932(text);
  const Bytes plain(cp932->begin(), cp932->end());
  for (auto _ : state) {
    EngineState s;
    benchmark::DoNotOptimize(LoadScenarioTables(s, plain, {}).ok());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * plain.size()));
}
BENCHMARK(BM_LoadScenario3000Lines)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kovan
