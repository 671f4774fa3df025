// Place changes: the characters on screen leave with the old picture, and
// the new place comes in with the transition named at the start of the
// line's text.
#include <cstdint>
#include <string>
#include <utility>

#include "message/message_layout.h"
#include "platform/files.h"
#include "platform/text_codec.h"
#include "scene/scene.h"

namespace kovan {
namespace {

constexpr int kNextLine = 2;  // the step result: next line, no message
constexpr std::size_t kEffectCodeLength = 2;
constexpr int kSlots = 3;
// The sprite table rows a place change clears: characters 1 to 7. The
// saved-game loader clears the same rows.
constexpr int kClearedCharacterRows = 7;

// "p11" for place 11; negative numbers keep their sign.
std::string PlaceName(std::int16_t placeNo) { return "p" + std::to_string(placeNo); }

// The place picture, or the player's message saying why it can't be shown.
Result<Surface> LoadPlacePicture(const DataFiles* data, const std::string& name) {
  if (data == nullptr) return Result<Surface>::Error(MissingFileMessage(name));
  const std::string file = name + ".dat";
  if (!FileExists(data->PathOf(file))) {
    return Result<Surface>::Error(MissingFileMessage(data->DataPath() + name));
  }
  Result<Surface> picture = data->LoadPicture(file);
  if (!picture) return Result<Surface>::Error(BrokenFileMessage(kErrBadFormat, picture.error()));
  return picture;
}

}  // namespace

int Scene::PlaceChange() {
  // The picture is read first: one that can't be shown is reported and
  // changes nothing, so the old scene, its characters and the sprite table
  // stay as they were and the story goes on.
  Result<Surface> picture = LoadPlacePicture(data_, PlaceName(state_.PlaceNo));
  if (!picture) {
    platform_.MessageBox(picture.error(), MsgBoxButtons::kOk);
    return kNextLine;
  }

  // The characters become part of the old picture and leave with it.
  for (int i = 0; i < kSlots; ++i) {
    Surface& doll = form_.Doll_Disp[i];
    if (!doll.shown) continue;
    BitBlt(form_.Pic_Main, form_.SlotX[i], form_.SlotY[i], form_.SlotW[i], form_.SlotH[i], doll, 0,
           0, RasterOp::kSrcCopy);
    doll.shown = false;
    RefreshScene();
  }
  messages_.HideWindow();
  // The marker's blink timer runs only while the player is being waited
  // for, which is never the case during a place change: hiding the marker
  // is all there is to stop.
  form_.Blinker.shown = false;

  layout::TakePicture(form_.Place_Load, std::move(picture.value()));
  const Surface& place = form_.Place_Load;
  BitBlt(form_.Pic_Back, 0, 0, place.Width(), place.Height(), place, 0, 0, RasterOp::kSrcCopy);

  EffectCode = Utf8Left(state_.LineText, kEffectCodeLength);
  const std::uint32_t start = platform_.Ticks();
  PlaceEffect();
  ReleaseLoadedPlace();
  const std::uint32_t took = platform_.Ticks() - start;
  platform_.trace().Event(start, "place",
                          {{"no", int{state_.PlaceNo}},
                           {"effect", EffectCode},
                           {"ms", static_cast<std::int64_t>(took)}});

  // The next message starts a fresh page; no character is on screen.
  form_.LastSpeaker = -1;
  state_.LineNo = 0;
  for (int c = 0; c < kClearedCharacterRows; ++c) {
    for (int s = 0; s < kSlots; ++s) ShownPose[c][s] = 0;
  }
  form_.SlotUsed.fill(false);
  return kNextLine;
}

}  // namespace kovan
