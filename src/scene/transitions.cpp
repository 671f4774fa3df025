// The transitions that bring the next scene onto the visible one, and the
// mesh pattern sheet they share with the face change.
#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "scene/scene.h"

namespace kovan {
namespace {

constexpr int kScreenW = Stage::kWidth;
constexpr int kScreenH = Stage::kHeight;

// The mesh sheet: ten 32 x 32 cells in a row. The upper row keeps the old
// picture where it is white; the lower row is its exact inverse.
constexpr int kMeshCell = 32;
constexpr int kMeshCells = 10;
constexpr int kMeshTile = 8;
constexpr int kSheetW = kMeshCell * kMeshCells;
constexpr int kSheetH = kMeshCell * 2;
// Each cell's 8 x 8 tile, one byte a row from the top, the leftmost pixel in
// the high bit, 1 = white. Each white set lies inside the one before, so a
// pixel that has turned never turns back.
constexpr std::array<std::array<std::uint8_t, kMeshTile>, kMeshCells> kMeshTiles = {{
    {0x77, 0xFF, 0xDF, 0xFF, 0x77, 0xFF, 0xFD, 0xFF},
    {0x55, 0xFF, 0x5D, 0xFF, 0x55, 0xFF, 0xDD, 0xFF},
    {0x55, 0xBB, 0x55, 0xFF, 0x55, 0xFF, 0x55, 0xFF},
    {0x55, 0xAB, 0x55, 0xEE, 0x55, 0xBA, 0x55, 0xEE},
    {0x11, 0xAA, 0x44, 0xAA, 0x11, 0xAA, 0x54, 0xAA},
    {0x00, 0xAA, 0x04, 0xAA, 0x00, 0xAA, 0x44, 0xAA},
    {0x00, 0x22, 0x00, 0xAA, 0x00, 0x22, 0x00, 0xAA},
    {0x00, 0x02, 0x00, 0x88, 0x00, 0x20, 0x00, 0x88},
    {0x00, 0x00, 0x00, 0x08, 0x00, 0x00, 0x00, 0x88},
    {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00},
}};
constexpr int kMeshStages = 9;  // cells 0..8

// Frame periods in ms.
constexpr std::uint32_t kBlindsMs = 10;
constexpr std::uint32_t kCombsMs = 5;
constexpr std::uint32_t kWipeMs = 50;
constexpr std::uint32_t kSquaresMs = 40;
constexpr std::uint32_t kCheckerPauseMs = 100;
constexpr std::uint32_t kMeshMs = 90;
constexpr std::uint32_t kBlendMs = 100;

constexpr int kDarkenBy = 100;
constexpr int kBlendSteps = 20;
constexpr float kBlendAlpha = 0.1f;

void Refresh(Platform& platform) {
  platform.stage().Invalidate();
  platform.Present();
}

// The same rectangle of the next scene replaces that of the visible one.
void Copy(MainForm& f, int x, int y, int w, int h) {
  BitBlt(f.Pic_Main, x, y, w, h, f.Pic_Back, x, y, RasterOp::kSrcCopy);
}

// Frame pacing: a paced frame lasts at least its period, then yields.
class Frames {
 public:
  Frames(Platform& platform, std::int32_t& frameStart, std::int32_t& frameTime)
      : platform_(platform), frameStart_(frameStart), frameTime_(frameTime) {}

  void Refresh() { kovan::Refresh(platform_); }
  void Yield() { platform_.DoEvents(); }
  // What remains of ms counted from `since`: the time the picture took to
  // reach the screen is part of the pause, not added to it.
  void PauseSince(std::uint32_t since, std::uint32_t ms) {
    const std::uint32_t spent = platform_.Ticks() - since;
    if (spent < ms) platform_.Sleep(ms - spent);
  }
  std::uint32_t Now() const { return platform_.Ticks(); }

  // A frame starts where the last one was due to end while the clock is
  // within a tick or two of it, so the little each sleep oversleeps does
  // not add up over a transition's frames; a frame that ran late starts
  // the count afresh (it is not made up for by shorter ones).
  template <typename Draw>
  void Paced(std::uint32_t periodMs, Draw&& draw) {
    const std::uint32_t now = platform_.Ticks();
    // Unsigned differences: right across the tick counter's wrap.
    const bool onTime = due_.has_value() && now - *due_ <= kOversleepMs;
    frameStart_ = static_cast<std::int32_t>(onTime ? *due_ : now);
    draw();
    Refresh();
    frameTime_ =
        static_cast<std::int32_t>(platform_.Ticks() - static_cast<std::uint32_t>(frameStart_));
    if (frameTime_ >= 0 && frameTime_ < static_cast<std::int32_t>(periodMs)) {
      platform_.Sleep(periodMs - static_cast<std::uint32_t>(frameTime_));
    }
    due_ = static_cast<std::uint32_t>(frameStart_) + periodMs;
    platform_.DoEvents();
  }

 private:
  static constexpr std::uint32_t kOversleepMs = 2;

  Platform& platform_;
  std::optional<std::uint32_t> due_;  // when the last paced frame was to end
  std::int32_t& frameStart_;
  std::int32_t& frameTime_;
};

// "DI": 1-pixel columns sweep across 50-pixel bands.
void Blinds(MainForm& f, Frames& frames) {
  for (int offset = 0; offset < 50; ++offset) {
    frames.Paced(kBlindsMs, [&] {
      for (int x = 0; x <= kScreenW; x += 50) Copy(f, x + offset, 0, 1, kScreenH);
    });
  }
}

// "VB": two combs of 2-pixel columns, one from each side.
void VerticalCombs(MainForm& f, Frames& frames) {
  for (int i = 0; i <= kScreenW / 2; i += 2) {
    frames.Paced(kCombsMs, [&] {
      const int a = 2 * i;
      Copy(f, a, 0, 2, kScreenH);
      Copy(f, kScreenW - a - 2, 0, 2, kScreenH);
    });
  }
}

// "HB": two combs of 2-pixel rows, one from each edge; no pacing and no
// yield while it runs.
void HorizontalCombs(MainForm& f, Frames& frames) {
  for (int i = 0; i <= kScreenH / 2; i += 2) {
    const int a = 2 * i;
    Copy(f, 0, a, kScreenW, 2);
    Copy(f, 0, kScreenH - a - 2, kScreenW, 2);
    frames.Refresh();
  }
}

// "HC": a wipe from the left whose leading edge is strips thinning out.
void GradedWipe(MainForm& f, Frames& frames) {
  for (int x0 = 0; x0 <= kScreenW; x0 += 15) {
    frames.Paced(kWipeMs, [&] {
      for (int j = 0; j <= 15; ++j) Copy(f, x0 + 15 * j, 0, 15 - j, kScreenH);
    });
  }
}

// "BC": squares growing on a 20-pixel grid.
void GrowingSquares(MainForm& f, Frames& frames) {
  for (int s = 2; s <= 20; s += 2) {
    frames.Paced(kSquaresMs, [&] {
      for (int y = 0; y <= kScreenH; y += 20) {
        for (int x = 0; x <= kScreenW; x += 20) Copy(f, x, y, s, s);
      }
    });
  }
}

// "IC": two diagonal quarters of every 4 x 4 block, a pause, the other two.
// The pause counts from the start, and the second half is drawn while the
// first is on show: only showing it comes after the pause.
void Checkerboard(MainForm& f, Frames& frames) {
  const std::uint32_t start = frames.Now();
  for (int y = 0; y <= kScreenH - 2; y += 4) {
    for (int x = 0; x <= kScreenW - 2; x += 4) {
      Copy(f, x, y, 2, 2);
      Copy(f, x + 2, y + 2, 2, 2);
    }
  }
  frames.Refresh();
  frames.Yield();
  for (int y = 0; y <= kScreenH; y += 4) {
    for (int x = 2; x <= kScreenW - 2; x += 4) {
      Copy(f, x, y, 2, 2);
      Copy(f, x - 2, y - 2, 2, 2);
    }
  }
  frames.PauseSince(start, kCheckerPauseMs);
  frames.Refresh();
  frames.Yield();
}

// "DK": the back buffer darkened by 100 a channel, then cut in.
void Darken(MainForm& f, Frames& frames) {
  std::vector<std::uint32_t> pixels;
  const long count = GetPixels(f.Pic_Back, pixels);
  if (count >= 0) {
    // The entry after the last pixel holds none; darkening it is harmless.
    for (long i = 0; i <= count; ++i) {
      const std::uint32_t p = pixels[static_cast<std::size_t>(i)];
      const Rgb dark =
          MakeRgb(std::max(RedOf(p) - kDarkenBy, 0), std::max(GreenOf(p) - kDarkenBy, 0),
                  std::max(BlueOf(p) - kDarkenBy, 0));
      pixels[static_cast<std::size_t>(i)] = (p & 0xFF000000u) | dark;
    }
    (void)SetPixels(f.Pic_Back, pixels);
  }
  Copy(f, 0, 0, kScreenW, kScreenH);
  frames.Refresh();
}

// "MS": the next scene shows through the mesh cells 0 to 8, then a cut.
void MeshDissolve(MainForm& f, Frames& frames) {
  if (f.Mesh2.Width() != kMeshCell || f.Mesh2.Height() != kMeshCell) {
    f.Mesh2.Resize(kMeshCell, kMeshCell);
  }
  for (int k = 0; k < kMeshStages; ++k) {
    frames.Paced(kMeshMs, [&] {
      for (int x = 0; x <= kScreenW - kMeshCell; x += kMeshCell) {
        for (int y = 0; y <= kScreenH - kMeshCell; y += kMeshCell) {
          BitBlt(f.Mesh2, 0, 0, kMeshCell, kMeshCell, f.Pic_Back, x, y, RasterOp::kSrcCopy);
          BitBlt(f.Mesh2, 0, 0, kMeshCell, kMeshCell, f.Mesh1, kMeshCell * k, kMeshCell,
                 RasterOp::kSrcAnd);
          BitBlt(f.Pic_Main, x, y, kMeshCell, kMeshCell, f.Mesh1, kMeshCell * k, 0,
                 RasterOp::kSrcAnd);
          BitBlt(f.Pic_Main, x, y, kMeshCell, kMeshCell, f.Mesh2, 0, 0, RasterOp::kSrcInvert);
        }
      }
    });
  }
  Copy(f, 0, 0, kScreenW, kScreenH);
  frames.Refresh();
}

// "BI": Place_Load blended into the middle of the screen in 20 steps, then
// copied exactly.
void BlendIn(MainForm& f, Frames& frames) {
  const Surface& picture = f.Place_Load;
  const int w = picture.Width();
  const int h = picture.Height();
  const int x = kScreenW / 2 - w / 2;
  const int y = kScreenH / 2 - h / 2;
  // Only the part on the screen is blended: the pixels drawn are the same,
  // and a huge picture costs no more than a screenful.
  const int left = std::max(x, 0);
  const int top = std::max(y, 0);
  const int right = static_cast<int>(std::min<long long>(static_cast<long long>(x) + w, kScreenW));
  const int bottom = static_cast<int>(std::min<long long>(static_cast<long long>(y) + h, kScreenH));
  const int bw = std::max(right - left, 0);
  const int bh = std::max(bottom - top, 0);
  Blender blender;
  blender.Open(bw, bh);  // nothing to blend: stays closed, steps draw nothing
  for (int step = 1; step <= kBlendSteps; ++step) {
    frames.Paced(kBlendMs, [&] {
      blender.Step(f.Pic_Main, left, top, bw, bh, picture, left - x, top - y, kBlendAlpha);
    });
  }
  blender.Close();
  BitBlt(f.Pic_Main, x, y, w, h, picture, 0, 0, RasterOp::kSrcCopy);
  frames.Refresh();
}

void Cut(MainForm& f, Frames& frames) {
  Copy(f, 0, 0, kScreenW, kScreenH);
  frames.Refresh();
}

struct Effect {
  std::string_view code;
  void (*run)(MainForm&, Frames&);
};
constexpr std::array<Effect, 9> kEffects = {{
    {"DI", Blinds},
    {"VB", VerticalCombs},
    {"HB", HorizontalCombs},
    {"HC", GradedWipe},
    {"BC", GrowingSquares},
    {"IC", Checkerboard},
    {"DK", Darken},
    {"MS", MeshDissolve},
    {"BI", BlendIn},
}};

// Resets the back buffer when the transition ends, also when an input
// handler unwinds from one of its yields.
class BackReset {
 public:
  explicit BackReset(Surface& back) : back_(back) {}
  ~BackReset() { back_.FillBox(0, 0, kScreenW, kScreenH, kBlack); }
  BackReset(const BackReset&) = delete;
  BackReset& operator=(const BackReset&) = delete;

 private:
  Surface& back_;
};

}  // namespace

void Scene::RefreshScene() { Refresh(platform_); }

void Scene::MeshInit() {
  Surface& sheet = form_.Mesh1;
  sheet.Resize(kSheetW, kSheetH);
  sheet.SetBackColor(kWhite);
  for (int k = 0; k < kMeshCells; ++k) {
    for (int y = 0; y < kMeshCell; ++y) {
      const std::uint8_t row = kMeshTiles[k][y % kMeshTile];
      for (int x = 0; x < kMeshCell; ++x) {
        const bool keep = (row >> (kMeshTile - 1 - x % kMeshTile)) & 1;
        sheet.SetPoint(kMeshCell * k + x, y, keep ? kWhite : kBlack);
        sheet.SetPoint(kMeshCell * k + x, kMeshCell + y, keep ? kBlack : kWhite);
      }
    }
  }
  form_.Mesh2.Resize(kMeshCell, kMeshCell);
  form_.Mesh2.SetBackColor(kWhite);
}

void Scene::PlaceEffect() {
  BackReset reset(form_.Pic_Back);
  Frames frames(platform_, FrameStart, FrameTime);
  // The sheet is made at start-up; without it the dissolve would XOR the
  // whole next scene into the old one.
  if (EffectCode == "MS" && (form_.Mesh1.Width() != kSheetW || form_.Mesh1.Height() != kSheetH)) {
    MeshInit();
  }
  for (const Effect& effect : kEffects) {
    if (EffectCode == effect.code) {
      effect.run(form_, frames);
      return;
    }
  }
  Cut(form_, frames);
}

}  // namespace kovan
