// Timings of the drawing primitives at the game's sizes, and of decoding a
// scenario file's worth of CP932 text.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "platform/surface.h"
#include "platform/text_codec.h"

namespace kovan {
namespace {

constexpr int kScreenW = 640;
constexpr int kScreenH = 480;

Surface Noise(int w, int h, std::uint32_t seed) {
  Surface s(w, h);
  std::uint32_t v = seed;
  for (Rgb& p : s.Pixels()) {
    v = v * 1664525u + 1013904223u;
    p = v >> 8;
  }
  return s;
}

void BitBltOp(benchmark::State& state, RasterOp op) {
  Surface dst = Noise(kScreenW, kScreenH, 1);
  const Surface src = Noise(kScreenW, kScreenH, 2);
  for (auto _ : state) {
    BitBlt(dst, 0, 0, kScreenW, kScreenH, src, 0, 0, op);
    benchmark::DoNotOptimize(dst.Pixels().data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * kScreenW * kScreenH * 4);
}

void BM_BitBltCopy(benchmark::State& state) { BitBltOp(state, RasterOp::kSrcCopy); }
void BM_BitBltAnd(benchmark::State& state) { BitBltOp(state, RasterOp::kSrcAnd); }
void BM_BitBltXor(benchmark::State& state) { BitBltOp(state, RasterOp::kSrcInvert); }
BENCHMARK(BM_BitBltCopy)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BitBltAnd)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BitBltXor)->Unit(benchmark::kMicrosecond);

// Smooth colour ramps, closer to real pictures than noise.
Surface Ramps(int w, int h, int shift) {
  Surface s(w, h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) s.SetPoint(x, y, MakeRgb(x + shift, y + shift, (x + y) / 4));
  }
  return s;
}

// One step of a full-screen fade, the work set kept open as a fade does.
// Noise is the worst case for the blend's lookup table.
void BM_BlendStep(benchmark::State& state) {
  const bool noise = state.range(0) != 0;
  Surface dst = noise ? Noise(kScreenW, kScreenH, 3) : Ramps(kScreenW, kScreenH, 0);
  const Surface src = noise ? Noise(kScreenW, kScreenH, 4) : Ramps(kScreenW, kScreenH, 100);
  Blender blender;
  blender.Open(kScreenW, kScreenH);
  float alpha = 0.0f;
  for (auto _ : state) {
    alpha = alpha >= 1.0f ? 0.0f : alpha + 1.0f / 32.0f;
    blender.Step(dst, 0, 0, kScreenW, kScreenH, src, 0, 0, alpha);
    benchmark::DoNotOptimize(dst.Pixels().data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_BlendStep)->ArgName("noise")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_MakeMask(benchmark::State& state) {
  const Surface sprite = Noise(620, 840, 5);
  Surface mask(620, 840);
  mask.SetBackColor(kWhite);
  for (auto _ : state) {
    MakeMask(mask, sprite, 0, 0, 620, 840);
    benchmark::DoNotOptimize(mask.Pixels().data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_MakeMask)->Unit(benchmark::kMicrosecond);

// A scenario-like text: 3000 lines of names, speech and commands.
std::string ScenarioText() {
  const char* const lines[] = {
      "【葵】「今日は表の通りを歩いてみようか。ソファに座って能天気に待つのも悪くないけど、"
      "たまには外の空気を吸わないとね」\r\n",
      "　窓の外では雨が降り続いている。ｶﾀｶﾅの看板がぼんやりと光っていた。～続く～　"
      "遠くで電車の音が聞こえる。\r\n",
      "#BG 12,\"back\\room.bmp\",0.5\r\n",
      "【先生】「①から⑩までの問題を解いておくように。締め切りは明日の朝だ。"
      "質問があれば職員室まで来なさい」\r\n",
  };
  std::string utf8;
  for (int i = 0; i < 3000; ++i) utf8 += lines[i % 4];
  auto cp932 = Utf8ToCp932(utf8);
  return cp932 ? cp932.value() : std::string();
}

void BM_Cp932Decode(benchmark::State& state) {
  const std::string text = ScenarioText();
  if (text.empty()) {
    state.SkipWithError("the scenario text can't be encoded");
    return;
  }
  for (auto _ : state) {
    auto utf8 = Cp932ToUtf8(text);
    benchmark::DoNotOptimize(utf8);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
  state.counters["input_kb"] = static_cast<double>(text.size()) / 1024.0;
}
BENCHMARK(BM_Cp932Decode)->Unit(benchmark::kMicrosecond);

// One short line at a time, as a script reader might call it.
void BM_Cp932DecodeLine(benchmark::State& state) {
  auto line = Utf8ToCp932("【葵】「今日は表の通りを歩いてみようか」");
  if (!line) {
    state.SkipWithError("the line can't be encoded");
    return;
  }
  for (auto _ : state) {
    auto utf8 = Cp932ToUtf8(line.value());
    benchmark::DoNotOptimize(utf8);
  }
}
BENCHMARK(BM_Cp932DecodeLine);

}  // namespace
}  // namespace kovan
