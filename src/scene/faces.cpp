// Faces: another face from the face sheet painted over a character on
// screen, at once or dissolving in through the mesh patterns.
#include <algorithm>

#include "engine/game_exit.h"
#include "scene/scene.h"

namespace kovan {

namespace {

constexpr int kCharacters = 8;
constexpr int kSlots = 3;
constexpr int kShowMessage = 0;  // the step result: show the line's message
constexpr int kMeshStages = 9;
constexpr int kMeshCell = 32;
constexpr std::uint32_t kMeshFrameMs = 50;
constexpr const char* kNoDollMessage = "0 doll but face change?";

// The face table row of a character and pose (DollNo * 10 + DollPose).
int FaceRowOf(int code) {
  switch (code) {
    case 13:
      return 1;
    case 32:
      return 2;
    case 15:
      return 3;
    case 17:
      return 4;
    default:
      return 0;  // 11 and every sprite without its own column
  }
}

// Clears the pixels of the face where its part of the sheet is not black,
// so the sheet laid over them shows only its coloured pixels. The mask is
// the sheet's 620 x 840 area at most, white where no sheet lies beneath:
// only the part the face needs is made, when it is needed.
void MaskFace(Surface& face, const Surface& sheet, int x, int y) {
  const int x0 = std::max(x, 0), y0 = std::max(y, 0);
  const int x1 = std::min(x + face.Width(), kFaceSheetWidth);
  const int y1 = std::min(y + face.Height(), kFaceSheetHeight);
  if (x1 <= x0 || y1 <= y0) return;
  Surface mask(x1 - x0, y1 - y0, kWhite);
  mask.SetForeColor(kBlack);
  MakeMask(mask, sheet, x0, y0, mask.Width(), mask.Height());
  BitBlt(face, x0 - x, y0 - y, mask.Width(), mask.Height(), mask, 0, 0, RasterOp::kSrcAnd);
}

}  // namespace

int Scene::FaceChange() {
  const int idx = state_.DollNo - 1;
  if (idx < 0 || idx >= kCharacters || state_.FaceNo < 1) return kShowMessage;
  int slot = -1;
  for (int s = 0; s < kSlots && slot < 0; ++s) {
    if (ShownPose[idx][s] == state_.DollPose) slot = s;
  }
  if (slot < 0) {
    platform_.MessageBox(kNoDollMessage, MsgBoxButtons::kOk);
    throw GameExit{"data", 1};
  }
  platform_.trace().Event(platform_.Ticks(), "face",
                          {{"char", idx + 1}, {"face", int{state_.FaceNo}}});

  const FaceRow& row = form_.FaceTable[FaceRowOf(state_.DollNo * 10 + state_.DollPose)];
  const int fy = (state_.FaceNo - 1) * row.h;
  Surface& window = form_.Doll_Disp[slot];
  Surface& face = form_.Face_Disp[slot];
  // The new face over the sprite as it looks now.
  face.Resize(row.w, row.h);
  BitBlt(face, 0, 0, row.w, row.h, window, row.x1, row.y1, RasterOp::kSrcCopy);
  MaskFace(face, form_.Face_Load, row.sheetX, fy);
  BitBlt(face, 0, 0, row.w, row.h, form_.Face_Load, row.sheetX, fy, RasterOp::kSrcInvert);
  SpriteRefresh();
  platform_.DoEvents();

  // Skipping to the next choice changes the face in one step.
  if (state_.MsgMode != 0) {
    SpriteMeshReady();
    for (int k = 0; k < kMeshStages; ++k) {
      SpriteFrameBegin();
      FaceMeshStage(slot, row, k);
      SpriteFrameEnd(kMeshFrameMs);
    }
  }
  BitBlt(window, row.x1, row.y1, row.w, row.h, face, 0, 0, RasterOp::kSrcCopy);
  SpriteRefresh();
  return kShowMessage;
}

// Stage k of the dissolve: where the keep pattern of cell k is black the new
// face shows. The cells are aligned to the face's top-left corner.
void Scene::FaceMeshStage(int slot, const FaceRow& row, int stage) {
  Surface& window = form_.Doll_Disp[slot];
  const Surface& face = form_.Face_Disp[slot];
  Surface& cell = form_.Mesh2;
  const int patternX = kMeshCell * stage;
  for (int i = 0; i <= row.w; i += kMeshCell) {
    for (int j = 0; j <= row.h; j += kMeshCell) {
      const int cw = i + kMeshCell > row.w ? row.w - i : kMeshCell;
      const int ch = j + kMeshCell > row.h ? row.h - j : kMeshCell;
      BitBlt(cell, 0, 0, cw, ch, face, i, j, RasterOp::kSrcCopy);
      BitBlt(cell, 0, 0, cw, ch, form_.Mesh1, patternX, kMeshCell, RasterOp::kSrcAnd);
      BitBlt(window, row.x1 + i, row.y1 + j, cw, ch, form_.Mesh1, patternX, 0, RasterOp::kSrcAnd);
      BitBlt(window, row.x1 + i, row.y1 + j, cw, ch, cell, 0, 0, RasterOp::kSrcInvert);
    }
  }
}

}  // namespace kovan
