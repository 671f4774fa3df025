// The opening before the story: two logos faded in on white, the first
// music, then the tall opening picture dissolving in at its bottom and
// scrolling up to its top.
// It can't be skipped: events run, but no input shortens it.
#include <string>

#include "engine/game_exit.h"
#include "scene/scene.h"
#include "sound/sound.h"

namespace kovan {

namespace {

constexpr const char* kFadeIn = "BI";
constexpr long kFirstLogoPauseSec = 2;
constexpr long kSecondLogoPauseSec = 3;
constexpr int kMeshStages = 9;
constexpr int kMeshCell = 32;
constexpr std::uint32_t kDissolveStageMs = 200;
constexpr int kScrollStep = 2;
constexpr std::uint32_t kScrollFrameMs = 50;

}  // namespace

void Scene::OpeningDisp() {
  form_.Pic_Main.shown = true;
  form_.Pic_Main.SetBackColor(kWhite);
  SpriteRefresh();
  EffectCode = kFadeIn;

  OpeningLoad("P99");
  PlaceEffect();
  messages_.WaitSec(kFirstLogoPauseSec);

  OpeningLoad("P98");
  PlaceEffect();
  // The first music starts under the second logo, as the script's "aa"
  // would start it (and only when music is on).
  state_.CmdText = "aa";
  if (sound_ != nullptr) sound_->CmdSound(state_.CmdText);
  messages_.WaitSec(kSecondLogoPauseSec);

  OpeningLoad("p11");
  // The picture's rows range .. range + 479 are its bottom screenful.
  const int range = form_.Place_Load.Height() - Stage::kHeight;
  SpriteMeshReady();
  OpeningDissolve(range);
  for (int i = 0; i < 2; ++i) {
    BitBlt(form_.Pic_Main, 0, 0, Stage::kWidth, Stage::kHeight, form_.Place_Load, 0, range,
           RasterOp::kSrcCopy);
    SpriteRefresh();
  }
  OpeningScroll(range);
  ReleaseLoadedPlace();
}

void Scene::ReleaseLoadedPlace() {
  Surface& place = form_.Place_Load;
  place.Resize(place.Width(), place.Height());
}

void Scene::OpeningLoad(const char* number) {
  // The last picture is on the screen: it need not wait for the next.
  ReleaseLoadedPlace();
  Surface picture;
  if (!ReadPicture(number, picture)) throw GameExit{"data", 1};
  Surface& target = form_.Place_Load;
  picture.name = std::move(target.name);
  picture.left = target.left;
  picture.top = target.top;
  target = std::move(picture);
}

// The mesh dissolve from the logo screen into the bottom screenful, the
// cells on the screen's 32-pixel grid.
void Scene::OpeningDissolve(int range) {
  Surface& screen = form_.Pic_Main;
  Surface& cell = form_.Mesh2;
  for (int k = 0; k < kMeshStages; ++k) {
    SpriteFrameBegin();
    const int patternX = kMeshCell * k;
    for (int x = 0; x < Stage::kWidth; x += kMeshCell) {
      for (int y = 0; y < Stage::kHeight; y += kMeshCell) {
        BitBlt(cell, 0, 0, kMeshCell, kMeshCell, form_.Place_Load, x, range + y,
               RasterOp::kSrcCopy);
        BitBlt(cell, 0, 0, kMeshCell, kMeshCell, form_.Mesh1, patternX, kMeshCell,
               RasterOp::kSrcAnd);
        BitBlt(screen, x, y, kMeshCell, kMeshCell, form_.Mesh1, patternX, 0, RasterOp::kSrcAnd);
        BitBlt(screen, x, y, kMeshCell, kMeshCell, cell, 0, 0, RasterOp::kSrcInvert);
      }
    }
    SpriteFrameEnd(kDissolveStageMs);
  }
}

// From the bottom screenful up, 2 rows a frame, while the top row is still
// inside the picture: an odd range ends one row below the top.
void Scene::OpeningScroll(int range) {
  for (int y = range; y >= 0; y -= kScrollStep) {
    SpriteFrameBegin();
    BitBlt(form_.Pic_Main, 0, 0, Stage::kWidth, Stage::kHeight, form_.Place_Load, 0, y,
           RasterOp::kSrcCopy);
    SpriteFrameEnd(kScrollFrameMs);
  }
}

}  // namespace kovan
