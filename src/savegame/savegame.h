// Saving, loading, the title screen and the menu bar's commands.
#pragma once

#include <array>
#include <initializer_list>
#include <string>

#include "engine/engine_state.h"
#include "engine/game_log.h"
#include "message/main_form.h"
#include "message/messages.h"
#include "platform/platform.h"
#include "scene/scene.h"
#include "sound/sound.h"

namespace kovan {

class Savegame {
 public:
  Savegame(Platform& platform, EngineState& state, MainForm& form, Messages& messages,
           Scene& scene, Sound& sound, GameLog& log);

  // Finds the folder the saves live in (see ChooseSaveFolder) and says in
  // the log which one it is.
  void SetUpSaveFolder(const std::string& saveDir);
  const std::string& SaveFolder() const { return saveFolder_; }

  // The title screen: the four system-menu buttons over the picture, start
  // and quit live, the two between them shown but disabled.
  void TitleDisp();
  bool TitleShown() const { return titleShown_; }
  // The pointer over title button k highlights it (once per new button).
  void Smenu_MouseMove(int k);
  // A click on title button k: 0 starts the story at the line after the
  // title command (unwinding with StoryRestart), 3 asks whether to quit.
  void Smenu_MouseDown(int k);
  // Up and Down (and the wheel) move between the live buttons, Enter and
  // Space press the highlighted one; false when the title isn't up or the
  // key is not one of these.
  bool OnTitleKey(const Key& key);
  bool OnTitleWheel(int steps);

  // The menu commands. Save and load act only while the story waits for
  // the player; a load that succeeds unwinds with StoryRestart.
  void prog_end_Click();
  void prog_save_Click();
  void prog_load_Click();

  // Packs the engine state into the save record Data_stack(0) to (2).
  void Save_Data_stack();
  // Puts the save record in Data_stack back into the game and resumes at
  // the first line of the saved section: unwinds with StoryRestart. A
  // record that can't be read back leaves the game as it was.
  void Continue_game();

 private:
  void DrawTitleButton(int k, bool highlighted);
  void SetItems(std::initializer_list<const char*> items, bool enabled);

  Platform& platform_;
  EngineState& state_;
  MainForm& form_;
  Messages& messages_;
  Scene& scene_;
  Sound& sound_;
  GameLog& log_;
  std::string saveFolder_;
  std::string folderError_;
  std::array<bool, 4> titleEnabled_{true, false, false, true};
  bool titleShown_ = false;
};

}  // namespace kovan
