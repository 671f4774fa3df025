// Scene graphics: the transitions that bring a new picture onto the screen,
// place changes, the characters in their three slots and their faces, and
// the opening that precedes the story.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "engine/data_files.h"
#include "engine/engine_state.h"
#include "message/main_form.h"
#include "message/messages.h"
#include "platform/platform.h"

namespace kovan {

class Sound;

class Scene {
 public:
  Scene(Platform& platform, EngineState& state, MainForm& form, Messages& messages);

  // The data folder the pictures come from; set once it is known.
  void SetDataFiles(const DataFiles* data) { data_ = data; }
  // The sound command handler the opening starts the first music with;
  // without it the opening is silent.
  void SetSound(Sound* sound) { sound_ = sound; }

  // Puts the mesh pattern sheet into Mesh1 (part of the program).
  void MeshInit();

  // Brings Pic_Back (or, for "BI", Place_Load) onto Pic_Main with the
  // transition named by EffectCode, then resets Pic_Back.
  void PlaceEffect();

  // The scene updates of a scenario line; each gives the interpreter its
  // step result.
  int PlaceChange();
  int DollChange();
  int FaceChange();
  // Removes the sprite window of a slot.
  void DollErase(int slot);

  // The opening: two logos, the tall opening picture dissolving in and
  // scrolling up.
  void OpeningDisp();

  std::string EffectCode;
  // ShownPose[character][slot]: the pose shown, 0 = not there.
  std::array<std::array<std::int16_t, 4>, 8> ShownPose{};
  std::int32_t FrameStart = 0;
  std::int32_t FrameTime = 0;

 private:
  // Transitions and place changes (transitions.cpp, place.cpp).
  // -- transitions: private members --
  // Shows Pic_Main's store on the screen now (a refresh of the scene).
  void RefreshScene();

  // Sprites, faces and the opening (dolls.cpp, faces.cpp, opening.cpp).
  // -- sprites: private members --
  // Reads picture number + ".dat" of the data folder; a file that can't be
  // read is reported to the player and gives false.
  bool ReadPicture(const std::string& number, Surface& picture);
  // Puts a sprite picture into a slot and prepares the slot's surfaces.
  void DollLoad(int slot, Surface picture);
  // Takes character idx out of a slot: its window goes, its table entry
  // clears.
  void DollRemove(int idx, int slot);
  // The sprite over the saved background in the slot's window.
  void DollDraw(int slot);
  // One mesh stage of a face change.
  void FaceMeshStage(int slot, const FaceRow& row, int stage);
  // The opening's pictures; one that can't be loaded ends the game.
  void OpeningLoad(const char* number);
  // A loaded place picture is let go once it is on the screen and in
  // Pic_Back: nothing reads it after its effect.
  void ReleaseLoadedPlace();
  void OpeningDissolve(int range);
  void OpeningScroll(int range);
  // Refresh and pacing of the sprite, face and opening animations: a frame
  // lasts at least its period, then events run.
  void SpriteRefresh();
  void SpriteFrameBegin();
  void SpriteFrameEnd(std::uint32_t periodMs);
  // Makes sure the mesh sheet and its 32 x 32 work cell are there.
  void SpriteMeshReady();

  Platform& platform_;
  EngineState& state_;
  MainForm& form_;
  Messages& messages_;
  const DataFiles* data_ = nullptr;
  Sound* sound_ = nullptr;
};

}  // namespace kovan
