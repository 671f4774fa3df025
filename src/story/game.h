// One game: the shared state, the data folder and the start-up and
// shutdown sequences, over a platform. Several games may live in one
// process; none of them keeps global state.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "dialogs/dialogs.h"
#include "engine/data_files.h"
#include "engine/engine_state.h"
#include "engine/game_log.h"
#include "story/script.h"
#include "message/choices.h"
#include "message/main_form.h"
#include "message/messages.h"
#include "platform/platform.h"
#include "savegame/savegame.h"
#include "scene/scene.h"
#include "sound/sound.h"
#include "system/display_mode.h"

namespace kovan {

struct GameOptions {
  std::string appPath;   // the program's folder; empty = where the binary is
  std::string dataPath;  // overrides the data folder when not empty
  std::string saveDir = {};  // where the saves go; empty = beside the data (ChooseSaveFolder)
  bool fullScreen = false;   // the window opens full screen
  // Scenario lines the game may take before it ends with the reason
  // "lines"; -1 = no bound. Lines cost no game time, so a scenario that
  // jumps round without a message is bounded only by this.
  std::int64_t maxLines = -1;
};

// The program's folder with exactly one separator at its end.
std::string AppPathOf(const std::string& folder);
// "data/" inside appPath when such a folder exists (matched regardless of
// case), else appPath itself.
std::string DataPathFor(const std::string& appPath);

class Game : public InputSink {
 public:
  Game(Platform& platform, GameOptions options);
  ~Game() override;
  Game(const Game&) = delete;
  Game& operator=(const Game&) = delete;

  // The start-up sequence, then the story from its first line; returns when
  // the interpreter does. Throws GameExit when the game must end.
  void FormLoad();
  // The start-up up to the loaded scenario and face sheet: the window, the
  // folders, the log, the layout, the data files and the message window.
  void StartUp();
  // The shutdown sequence; runs once however often it is called.
  void FormUnload();

  // Shows a message box with the game's text; the answer comes back.
  MsgBoxAnswer MsgBox(const std::string& text, MsgBoxButtons buttons = MsgBoxButtons::kOk);
  // Shows a data-file message and ends the game through the shutdown.
  [[noreturn]] void FatalDataError(const std::string& message);

  // Section and choice lookups with the script's messages when they miss.
  void SeqJump(std::int16_t section);
  void SctFind(std::int16_t section);

  // Game time in ms since the platform started.
  std::int64_t Now() { return platform_.Ticks(); }


  // Input from the window, dispatched to the handlers.
  void OnMouseDown(MouseButton button, int x, int y) override;
  void OnMouseMove(int x, int y) override;
  void OnKeyDown(const Key& key) override;
  void OnWheel(int steps) override;
  void OnMenu(const std::string& item) override;
  void OnClose() override;
  void OnTimeLimit() override;

  EngineState state;
  Platform& platform() { return platform_; }
  DataFiles* dataFiles() { return dataFiles_.get(); }
  MainForm& form() { return form_; }
  Messages& messages() { return messages_; }
  Script& script() { return script_; }
  Scene& scene() { return scene_; }
  Sound& sound() { return sound_; }
  Choices& choices() { return choices_; }
  Savegame& savegame() { return savegame_; }
  Dialogs& dialogs() { return dialogs_; }
  GameLog& log() { return log_; }
  DisplayMode& display() { return display_; }
  const GameOptions& options() const { return options_; }

 private:
  void WriteLog();

  Platform& platform_;
  GameOptions options_;
  std::unique_ptr<DataFiles> dataFiles_;
  GameLog log_;
  MainForm form_;
  Sound sound_;
  Messages messages_;
  Scene scene_;
  Choices choices_;
  Savegame savegame_;
  Dialogs dialogs_;
  Script script_;
  DisplayMode display_;
  bool unloaded_ = false;
};

}  // namespace kovan
