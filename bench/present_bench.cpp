// What a present costs before the pixels leave for the window: composing the
// stage of a full game screen into one 640 x 480 picture, finding what
// changed and scaling it to full screen. (Sending the pixels needs a
// display: present_real measures that, bench/idle_cpu.sh the window as a
// whole.)
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <vector>

#include "platform/picture_scaler.h"
#include "platform/stage.h"
#include "platform/surface.h"

namespace kovan {
namespace {

// Smooth colour ramps, like a painted background or a character sprite.
void FillRamps(Surface& s, int shift) {
  for (int y = 0; y < s.Height(); ++y) {
    Rgb* row = s.Row(y);
    for (int x = 0; x < s.Width(); ++x) row[x] = MakeRgb(x + shift, y + shift, (x + y) / 4 + 1);
  }
}

// Text-like: mostly black (see-through on a keyed label) with strokes of
// colour every few pixels.
void FillStrokes(Surface& s) {
  for (int y = 0; y < s.Height(); ++y) {
    Rgb* row = s.Row(y);
    for (int x = 0; x < s.Width(); ++x) row[x] = (x + 2 * y) % 7 == 0 ? kWhite : kBlack;
  }
}

// The screen in the middle of a scene: background, three characters, the
// message window with its five labels (text lines, the choice lines, the
// blinking cursor).
class Scene {
 public:
  Scene() {
    background_.Resize(Stage::kWidth, Stage::kHeight);
    FillRamps(background_, 0);
    Show(background_, 0, 0, 0);
    for (int i = 0; i < 3; ++i) {
      Surface& sprite = sprites_[static_cast<std::size_t>(i)];
      sprite.Resize(224, 400);
      FillRamps(sprite, 40 * i);
      Show(sprite, 16 + 200 * i, 40, 10 + i);
    }
    window_.Resize(576, 108);
    window_.SetBackColor(MakeRgb(20, 30, 90));
    Show(window_, 32, 360, 20);
    const std::array<std::array<int, 4>, 5> labels = {{
        {12, 8, 552, 24},  // two text lines
        {12, 36, 552, 24},
        {12, 64, 552, 20},  // a choice line
        {300, 84, 264, 20},
        {548, 86, 16, 16},  // the cursor
    }};
    for (std::size_t i = 0; i < labels.size(); ++i) {
      Surface& label = labels_[i];
      label.Resize(labels[i][2], labels[i][3]);
      FillStrokes(label);
      label.container = &window_;
      label.keyBlack = true;
      Show(label, labels[i][0], labels[i][1], 30);
    }
  }
  Scene(const Scene&) = delete;
  Scene& operator=(const Scene&) = delete;

  const Stage& stage() const { return stage_; }

 private:
  void Show(Surface& s, int left, int top, int zOrder) {
    s.left = left;
    s.top = top;
    s.zOrder = zOrder;
    s.shown = true;
    stage_.Add(&s);
  }

  Stage stage_;
  Surface background_;
  std::array<Surface, 3> sprites_;
  Surface window_;
  std::array<Surface, 5> labels_;
};

void BM_ComposeScene(benchmark::State& state) {
  const Scene scene;
  Surface picture;
  scene.stage().Compose(picture);
  for (auto _ : state) {
    scene.stage().Compose(picture);
    benchmark::DoNotOptimize(picture.Pixels().data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * Stage::kWidth * Stage::kHeight *
                          static_cast<std::int64_t>(sizeof(Rgb)));
}
BENCHMARK(BM_ComposeScene)->Unit(benchmark::kMicrosecond);

// Full screen at 1920 x 1080: the whole picture smoothed to 1440 x 1080, as
// after a transition's last step.
void BM_SmoothToFullScreen(benchmark::State& state) {
  Surface picture(Stage::kWidth, Stage::kHeight);
  FillRamps(picture, 0);
  std::vector<std::uint32_t> frame(1920 * 1080);
  const PixelTarget target{frame.data(), 1920, 1080, 1920};
  const PixelRect place{240, 0, 1440, 1080};
  PictureScaler scaler;
  for (auto _ : state) {
    scaler.Draw(target, place, picture, place, true);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_SmoothToFullScreen)->Unit(benchmark::kMicrosecond);

// Finding what changed when every pixel did (the checkerboard's second half).
void BM_ChangedRectsEverywhere(benchmark::State& state) {
  Surface before(Stage::kWidth, Stage::kHeight), after(Stage::kWidth, Stage::kHeight);
  FillRamps(before, 0);
  FillRamps(after, 1);
  for (auto _ : state) benchmark::DoNotOptimize(ChangedRects(before, after));
}
BENCHMARK(BM_ChangedRectsEverywhere)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace kovan
