// The save and load commands, the save record and the resumption of a
// loaded game.
#include "savegame/savegame.h"

#include "engine/scenario.h"
#include "platform/save_places.h"
#include "savegame/file_window.h"
#include "savegame/save_record.h"
#include "savegame/story_restart.h"

namespace kovan {

namespace {

constexpr double kWindowPoints = 9;
constexpr int kSlots = 3;
// The sprite table rows a load clears: characters 0 to 6, as a place
// change clears them.
constexpr int kClearedCharacters = 7;

}  // namespace

Savegame::Savegame(Platform& platform, EngineState& state, MainForm& form, Messages& messages,
                   Scene& scene, Sound& sound, GameLog& log)
    : platform_(platform),
      state_(state),
      form_(form),
      messages_(messages),
      scene_(scene),
      sound_(sound),
      log_(log) {}

void Savegame::SetUpSaveFolder(const std::string& saveDir) {
  Result<std::string> folder = ChooseSaveFolder(state_.DataPath, saveDir);
  if (folder) {
    saveFolder_ = folder.value();
    folderError_.clear();
    log_.Line("セーブデータの保存先: " + saveFolder_);
  } else {
    saveFolder_.clear();
    folderError_ = folder.error();
    log_.Line("セーブデータの保存先がありません: " + folderError_);
  }
}

void Savegame::Save_Data_stack() {
  state_.Data_stack[0] = PackState(state_);
  state_.Data_stack[1] = state_.CharName[1];
  state_.Data_stack[2] = state_.CharName[2];
}

void Savegame::prog_save_Click() {
  // Only while the story waits for the player: a message being written or
  // a transition running is no place to save.
  if (!state_.KeyWait) return;
  Save_Data_stack();
  FileWindow window(platform_, state_, form_.Texture, sound_, messages_.FontAt(kWindowPoints),
                    saveFolder_, folderError_);
  (void)window.Run(kFileSave);
}

void Savegame::prog_load_Click() {
  if (!state_.KeyWait) return;
  int mode = kFileClosed;
  {
    FileWindow window(platform_, state_, form_.Texture, sound_, messages_.FontAt(kWindowPoints),
                      saveFolder_, folderError_);
    mode = window.Run(kFileLoad);
  }
  if (mode == kFileLoaded) Continue_game();
}

void Savegame::Continue_game() {
  // The window checked the record; a record put here some other way that
  // doesn't read back changes nothing.
  Result<SavedState> saved = UnpackState(state_.Data_stack[0]);
  if (!saved) return;
  SetItems({menu::kProgLoad, menu::kProgSave, menu::kSpeedup}, false);
  form_.Blinker.shown = false;

  ApplyState(saved.value(), state_);
  state_.CharName[1] = state_.Data_stack[1];
  state_.CharName[2] = state_.Data_stack[2];
  sound_.MusicStop();
  for (Surface& doll : form_.Doll_Disp) doll.shown = false;
  for (int c = 0; c < kClearedCharacters; ++c) {
    for (int s = 0; s < kSlots; ++s) scene_.ShownPose[c][s] = 0;
  }
  form_.SlotUsed.fill(false);
  state_.DollNo = 0;
  state_.FaceNo = 0;
  state_.LineNo = 0;
  form_.LastSpeaker = 0;
  state_.PlaceLast = -1;
  state_.BgmNo = 0;
  messages_.HideWindow();

  SetItems({menu::kProgLoad, menu::kProgSave, menu::kSpeedup}, true);
  if (MenuItem* skip = form_.FindMenu(menu::kSpeedup)) {
    skip->caption = state_.MsgMode == 0 ? menu::kStopSkipCaption : menu::kSkipCaption;
  }
  form_.UpdateMenu();
  if (std::optional<std::int32_t> line = FindSectionLine(state_, state_.SectionNo)) {
    state_.SeqPos = *line;
  } else {
    platform_.MessageBox("Not found NUM to SEQ", MsgBoxButtons::kOk);
  }
  state_.KeyWait = false;
  platform_.stage().Invalidate();
  throw StoryRestart{state_.SeqPos, "load"};
}

}  // namespace kovan
