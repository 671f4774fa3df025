// The message window: composing it over the scene, drawing a page, and a
// read-through of a long scenario in skip mode.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "engine/data_files.h"
#include "story/game.h"
#include "engine/scenario.h"
#include "message/main_form.h"
#include "message/messages.h"
#include "platform/headless/headless_platform.h"
#include "platform/text_codec.h"

namespace kovan {
namespace {

namespace fs = std::filesystem;

const std::string kDemo = std::string(KOVAN_BINARY_DIR) + "/data/";

struct Window {
  Window() : platform(std::move(CreateHeadlessPlatform(HeadlessOptions{}).value())) {
    SetStartValues(state);
    form = std::make_unique<MainForm>(*platform);
    messages = std::make_unique<Messages>(*platform, state, *form);
    DataFiles data(kDemo, false);
    (void)messages->LayoutInit(data);
    for (int y = 0; y < 480; ++y) {
      for (int x = 0; x < 640; ++x) form->Pic_Main.SetPoint(x, y, MakeRgb(x, y, x ^ y));
    }
    form->Pic_Main.shown = true;
    messages->WakuBuild();
  }
  std::unique_ptr<Platform> platform;
  EngineState state;
  std::unique_ptr<MainForm> form;
  std::unique_ptr<Messages> messages;
};

// Composing the window anew over the scene: the 568 x 100 blend and the copies.
void BM_WakuOpen(benchmark::State& st) {
  Window w;
  for (auto _ : st) {
    w.form->Waku[0].shown = false;
    w.messages->WakuOpen();
  }
}
BENCHMARK(BM_WakuOpen)->Unit(benchmark::kMicrosecond);

// One refresh of the message window: the clean page back, then a whole
// 30-character line drawn in one piece.
void BM_WindowRefresh(benchmark::State& st) {
  Window w;
  w.messages->WakuOpen();
  w.state.MsgMode = 0;
  const std::string line = "春の朝。学校へ続く坂道に、桜の花びらが舞っている。そして今日も";
  for (auto _ : st) {
    w.messages->WakuClear();
    w.state.SpeakerNo = 0;
    w.form->LastSpeaker = 0;
    w.messages->MessageOut("", line, MakeRgb(192, 192, 255));
    Surface out;
    w.platform->stage().Compose(out);
    benchmark::DoNotOptimize(out.Point(100, 400));
  }
}
BENCHMARK(BM_WindowRefresh)->Unit(benchmark::kMicrosecond);

// A 3,000-line scenario read through in skip mode, from start-up to its end.
void BM_SkipThrough3000Lines(benchmark::State& st) {
  const fs::path dir = fs::temp_directory_path() / "kovan-bench-skip";
  fs::remove_all(dir);
  fs::create_directories(dir);
  for (auto& e : fs::directory_iterator(kDemo)) {
    if (e.is_regular_file()) fs::copy_file(e.path(), dir / e.path().filename());
  }
  std::string text = "1000,,,,,,,,\"はじまり\",,,,\r\n";
  for (int i = 1; i < 2999; ++i) {
    text += std::to_string(1000 + i / 10) + ",,,,,,," + std::to_string(i % 9) +
            ",\"長い一日の終わりに、二人は駅前のベンチに並んで座り、夕焼けの空を見上げていた。\",,,,\r\n";
  }
  text += "1299,e,,,,,,,,,,,\r\n";
  const auto cp932 = Utf8ToCp932(text);
  const Bytes stored = Complement(Bytes(cp932->begin(), cp932->end()));
  std::ofstream(dir / "91.dat", std::ios::binary)
      .write(reinterpret_cast<const char*>(stored.data()), static_cast<long>(stored.size()));
  std::ofstream(dir / "92.dat", std::ios::binary);
  const std::string data = dir.string() + "/";
  for (auto _ : st) {
    auto platform = std::move(CreateHeadlessPlatform(HeadlessOptions{}).value());
    Game game(*platform, GameOptions{data, data});
    game.StartUp();
    game.state.MsgMode = 0;
    game.state.SeqPos = 0;
    try {
      game.script().ScriptRun();
    } catch (...) {
      // The scenario's last line ends the game.
    }
    game.FormUnload();
  }
}
BENCHMARK(BM_SkipThrough3000Lines)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kovan
