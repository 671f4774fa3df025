// The characters in their three slots: showing, moving and removing a
// sprite, and the pacing the sprite, face and opening animations share.
#include <string>

#include "engine/data_files.h"
#include "platform/files.h"
#include "scene/scene.h"

namespace kovan {

namespace {

constexpr int kCharacters = 8;  // rows of the sprite table
constexpr int kSlots = 3;       // left, right, centre
constexpr int kNextLine = 2;    // the step result: the next line, silently
constexpr const char* kInstantErase = "DH";
constexpr std::uint32_t kWipeSleepMs = 5;
constexpr int kMeshCell = 32;
constexpr int kMeshSheetW = kMeshCell * 10;
constexpr int kMeshSheetH = kMeshCell * 2;

// "L", "R" and "C" name slots 0, 1 and 2; nothing else does.
int SlotOf(const std::string& text) {
  if (text == "L") return 0;
  if (text == "R") return 1;
  if (text == "C") return 2;
  return -1;
}

// w / 2 rounded to the nearest integer, halves to even.
int HalfToEven(int w) {
  const int half = w / 2;
  return (w % 2 != 0 && half % 2 != 0) ? half + 1 : half;
}

}  // namespace

int Scene::DollChange() {
  const int idx = state_.DollNo - 1;
  if (idx < 0 || idx >= kCharacters) return kNextLine;
  auto& shown = ShownPose[idx];

  if (state_.DollPose == 0) {
    // The line's text names how the character leaves.
    EffectCode = state_.LineText;
    for (int s = 0; s < kSlots; ++s) {
      if (shown[s] != 0) {
        DollRemove(idx, s);
        break;
      }
    }
    return kNextLine;
  }

  const int slot = SlotOf(state_.LineText);
  if (slot < 0 || shown[slot] == state_.DollPose) return kNextLine;
  // The picture is read before anything changes: a file that can't be read
  // leaves the scene and the sprite table as they were.
  Surface picture;
  const std::string number =
      std::to_string(int{state_.DollNo}) + std::to_string(int{state_.DollPose});
  if (!ReadPicture(number, picture)) return kNextLine;

  // The character leaves every slot it stands in, wiped or not as the last
  // effect code says.
  for (int s = 0; s < kSlots; ++s) {
    if (shown[s] != 0) DollRemove(idx, s);
  }
  shown[slot] = state_.DollPose;
  form_.SlotUsed[slot] = true;
  platform_.trace().Event(platform_.Ticks(), "sprite",
                          {{"char", idx + 1}, {"pose", int{state_.DollPose}}, {"slot", slot}});
  if (slot != 0) messages_.HideWindow();
  DollLoad(slot, std::move(picture));

  BitBlt(form_.Doll_Back[slot], 0, 0, form_.SlotW[slot], form_.SlotH[slot], form_.Pic_Main,
         form_.SlotX[slot], form_.SlotY[slot], RasterOp::kSrcCopy);
  Surface& window = form_.Doll_Disp[slot];
  window.left = form_.SlotX[slot];
  window.top = form_.SlotY[slot];
  DollDraw(slot);
  // The sprite windows stack over Pic_Main and under the message window:
  // left, right, centre (zorder::kDoll + slot), each showing the scene,
  // not the other sprites, through its transparent pixels.
  window.shown = true;
  platform_.DoEvents();
  return kNextLine;
}

bool Scene::ReadPicture(const std::string& number, Surface& picture) {
  const std::string name = number + ".dat";
  std::string message;
  if (data_ == nullptr || !FileLength(data_->PathOf(name))) {
    message = MissingFileMessage((data_ != nullptr ? data_->DataPath() : std::string()) + number);
  } else if (Result<Surface> loaded = data_->LoadPicture(name); !loaded) {
    message = BrokenFileMessage(kErrBadFormat, loaded.error());
  } else {
    picture = std::move(loaded.value());
    return true;
  }
  platform_.MessageBox(message, MsgBoxButtons::kOk);
  return false;
}

void Scene::DollLoad(int slot, Surface picture) {
  Surface& body = form_.Doll_Body[slot];
  picture.name = std::move(body.name);
  body = std::move(picture);
  const int w = body.Width();
  const int h = body.Height();
  form_.SlotW[slot] = static_cast<std::int16_t>(w);
  form_.SlotH[slot] = static_cast<std::int16_t>(h);
  form_.SlotX[slot] = form_.PosX[slot];
  form_.SlotY[slot] = static_cast<std::int16_t>(Stage::kHeight - h);

  // Black pixels of the sprite are transparent: white in the mask.
  Surface& mask = form_.Doll_Mask[slot];
  mask.SetBackColor(kWhite);
  mask.SetForeColor(kBlack);
  for (Surface* s : {&mask, &form_.Doll_Back[slot], &form_.Doll_Disp[slot]}) {
    s->left = 0;
    s->top = 0;
    s->Resize(w, h);
  }
  MakeMask(mask, body, 0, 0, w, h);
}

void Scene::DollDraw(int slot) {
  Surface& window = form_.Doll_Disp[slot];
  const int w = form_.SlotW[slot];
  const int h = form_.SlotH[slot];
  BitBlt(window, 0, 0, w, h, form_.Doll_Back[slot], 0, 0, RasterOp::kSrcCopy);
  SpriteRefresh();
  BitBlt(window, 0, 0, w, h, form_.Doll_Mask[slot], 0, 0, RasterOp::kSrcAnd);
  BitBlt(window, 0, 0, w, h, form_.Doll_Body[slot], 0, 0, RasterOp::kSrcInvert);
  SpriteRefresh();
}

void Scene::DollRemove(int idx, int slot) {
  // The wipe is named by the effect code ("DH": none).
  platform_.trace().Event(platform_.Ticks(), "erase",
                          {{"char", idx + 1}, {"slot", slot}, {"wipe", EffectCode}});
  DollErase(slot);
  ShownPose[idx][slot] = 0;
  form_.SlotUsed[slot] = false;
}

void Scene::DollErase(int slot) {
  if (slot < 0 || slot >= kSlots) return;
  Surface& window = form_.Doll_Disp[slot];
  const Surface& back = form_.Doll_Back[slot];
  const int w = form_.SlotW[slot];
  const int h = form_.SlotH[slot];
  messages_.HideWindow();
  if (EffectCode != kInstantErase) {
    // Two combs of 2-pixel strips of the saved background, one from each
    // side.
    const int half = HalfToEven(w);
    for (int i = 0; i <= half; i += 2) {
      const int a = 2 * i;
      const int b = w - a;
      BitBlt(window, a, 0, 2, h, back, a, 0, RasterOp::kSrcCopy);
      BitBlt(window, b, 0, 2, h, back, b, 0, RasterOp::kSrcCopy);
      SpriteRefresh();
      platform_.DoEvents();
      platform_.Sleep(kWipeSleepMs);
    }
  }
  window.shown = false;
  platform_.stage().Invalidate();
}

void Scene::SpriteRefresh() {
  platform_.stage().Invalidate();
  platform_.Present();
}

void Scene::SpriteFrameBegin() { FrameStart = static_cast<std::int32_t>(platform_.Ticks()); }

void Scene::SpriteFrameEnd(std::uint32_t periodMs) {
  SpriteRefresh();
  // The unsigned difference stays right across the tick counter's wrap.
  FrameTime = static_cast<std::int32_t>(platform_.Ticks() - static_cast<std::uint32_t>(FrameStart));
  if (FrameTime >= 0 && static_cast<std::uint32_t>(FrameTime) < periodMs) {
    platform_.Sleep(periodMs - static_cast<std::uint32_t>(FrameTime));
  }
  platform_.DoEvents();
}

void Scene::SpriteMeshReady() {
  const Surface& sheet = form_.Mesh1;
  const Surface& cell = form_.Mesh2;
  if (sheet.Width() != kMeshSheetW || sheet.Height() != kMeshSheetH || cell.Width() != kMeshCell ||
      cell.Height() != kMeshCell) {
    MeshInit();
  }
}

}  // namespace kovan
