#include "story/game.h"

#include <utility>

#include "engine/game_exit.h"
#include "platform/files.h"
#include "system/system_report.h"

namespace kovan {
namespace {

constexpr int kClientWidth = 640;
constexpr int kClientHeight = 480;
constexpr const char* kCaption = "KOVAN - 体験版";
constexpr const char* kLogName = "kovan.log";

}  // namespace

std::string AppPathOf(const std::string& folder) {
  if (!folder.empty() && folder.back() == '/') return folder;
  return folder + "/";
}

std::string DataPathFor(const std::string& appPath) {
  const std::string data = ResolveNoCase(appPath, "data");
  if (DirExists(data)) return data + "/";
  return appPath;
}

Game::Game(Platform& platform, GameOptions options)
    : platform_(platform),
      options_(std::move(options)),
      form_(platform),
      sound_(platform, state, log_),
      messages_(platform, state, form_),
      scene_(platform, state, form_, messages_),
      choices_(platform, state, form_, messages_, sound_),
      savegame_(platform, state, form_, messages_, scene_, sound_, log_),
      dialogs_(platform, state, form_, messages_, sound_),
      script_(*this),
      display_(platform, state, form_, log_) {
  platform_.SetInputSink(this);
  scene_.SetSound(&sound_);
}

Game::~Game() { platform_.SetInputSink(nullptr); }

MsgBoxAnswer Game::MsgBox(const std::string& text, MsgBoxButtons buttons) {
  return platform_.MessageBox(text, buttons);
}

void Game::FatalDataError(const std::string& message) {
  MsgBox(message);
  throw GameExit{"data", 1};
}

void Game::SeqJump(std::int16_t section) {
  if (auto line = FindSectionLine(state, section)) {
    state.SeqPos = *line;
  } else {
    MsgBox("Not found NUM to SEQ");
  }
}

void Game::SctFind(std::int16_t section) {
  if (auto first = FindChoiceSet(state, section)) {
    state.ChoiceFirst = *first;
  } else {
    MsgBox("SCT not found.");
  }
}

void Game::OnClose() { throw GameExit{"close", 0}; }

void Game::OnTimeLimit() { throw GameExit{"time", 0}; }

namespace {

// The index of the surface in the array that is hit, or -1.
template <std::size_t N>
int IndexOf(const std::array<Surface, N>& surfaces, const Surface* hit) {
  for (std::size_t i = 0; i < N; ++i) {
    if (hit == &surfaces[i]) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace

void Game::OnMouseDown(MouseButton button, int x, int y) {
  const Surface* hit = platform_.stage().HitTest(x, y);
  if (const int option = IndexOf(form_.SelTxt, hit); option >= 0) {
    choices_.SelTxt_MouseDown(option, button);
  } else if (const int k = IndexOf(form_.Smenu, hit); k >= 0) {
    savegame_.Smenu_MouseDown(k);  // any button
  } else {
    messages_.OnMouseDown(button, x, y);
  }
}

void Game::OnMouseMove(int x, int y) {
  const Surface* hit = platform_.stage().HitTest(x, y);
  if (const int option = IndexOf(form_.SelTxt, hit); option >= 0) {
    choices_.SelTxt_MouseMove(option);
  } else if (const int k = IndexOf(form_.Smenu, hit); k >= 0) {
    savegame_.Smenu_MouseMove(k);
  }
}

// The screen keys switch the display where the main window takes keys and
// never reach the story: one press is one action.
void Game::OnKeyDown(const Key& key) {
  if (DisplayMode::IsScreenKey(key)) {
    if (!form_.WakuHidden) display_.SwitchScreen();
    return;
  }
  if (choices_.OnKeyDown(key) || savegame_.OnTitleKey(key)) return;
  messages_.OnKeyDown(key);
}

void Game::OnWheel(int steps) {
  if (!choices_.OnWheel(steps)) (void)savegame_.OnTitleWheel(steps);
}

void Game::OnMenu(const std::string& item) {
  const MenuItem* entry = form_.FindMenu(item);
  if (entry == nullptr || !entry->enabled || !entry->visible) return;
  platform_.trace().Event(Now(), "menu", {{"item", item}, {"op", "click"}});
  if (item == menu::kProgEnd) {
    savegame_.prog_end_Click();
  } else if (item == menu::kProgSave) {
    savegame_.prog_save_Click();
  } else if (item == menu::kProgLoad) {
    savegame_.prog_load_Click();
  } else if (item == menu::kSpeedup) {
    messages_.speedup_Click();
  } else if (item == menu::kOptMenu) {
    // A message, a choice or the title already wait for the player.
    dialogs_.opt_menu_Click(state.KeyWait || choices_.Waiting() || savegame_.TitleShown());
  } else if (item == menu::kVvrr) {
    dialogs_.vvrr_Click();
  }
}

void Game::WriteLog() {
  const SystemReportResult report =
      SystemReport(platform_.Facts(), platform_.Display(), state.AppPath, state.DataPath);
  state.ModeFixed = state.ModeFixed || report.modeFixed;
  // The log is replaced at every start. A folder we can't write to gets no
  // log; the game still runs.
  (void)log_.Start(dataFiles_->PathOf(kLogName), report.text + "\r\n");
}

void Game::FormLoad() {
  StartUp();
  scene_.OpeningDisp();
  // Play begins here. Skipping, saving, loading, the options and the
  // version box are usable from the first line, as they are once a game
  // has been started from the title (a story that opens with its title
  // switches the first three off there).
  for (const char* name :
       {menu::kSpeedup, menu::kProgLoad, menu::kProgSave, menu::kOptMenu, menu::kVvrr}) {
    if (MenuItem* item = form_.FindMenu(name)) item->enabled = true;
  }
  form_.UpdateMenu();
  state.SeqPos = 0;
  script_.ScriptRun();
}

void Game::StartUp() {
  platform_.SetClientSize(kClientWidth, kClientHeight);
  platform_.SetCaption(kCaption);
  platform_.SetWaitCursor(true);

  state.AppPath = AppPathOf(options_.appPath.empty() ? ExecutableDir() : options_.appPath);
  state.DataPath =
      options_.dataPath.empty() ? DataPathFor(state.AppPath) : AppPathOf(options_.dataPath);
  platform_.trace().Event(Now(), "start", {{"data", state.DataPath}});
  dataFiles_ = std::make_unique<DataFiles>(state.DataPath);
  scene_.SetDataFiles(dataFiles_.get());
  sound_.SetDataFiles(dataFiles_.get());
  if (!FileExists(dataFiles_->PathOf("90.dat"))) {
    MsgBox("フォルダの内容が不正です.\n" + state.DataPath);
    throw GameExit{"data", 1};
  }

  SetStartValues(state);
  WriteLog();
  savegame_.SetUpSaveFolder(options_.saveDir);
  messages_.MenuInit();
  display_.ScreenModeGet();
  if (options_.fullScreen) display_.ScreenFull();

  // The window shows first; what its first pictures need loads after.
  platform_.ShowWindow(true);
  platform_.DoEvents();

  if (Status st = messages_.LayoutInit(*dataFiles_); !st) FatalDataError(st.error());
  if (Status st = dataFiles_->DataPrepare(state); !st) FatalDataError(st.error());
  sound_.MixerOpen();
  messages_.WakuBuild();
  if (Status st = dataFiles_->ScenarioLoad(state); !st) FatalDataError(st.error());
  if (Status st = messages_.FaceInit(*dataFiles_); !st) FatalDataError(st.error());

  platform_.SetWaitCursor(false);
}

void Game::FormUnload() {
  if (unloaded_) return;
  unloaded_ = true;
  sound_.Shutdown();
  // The desktop gets its window back however the game ends.
  if (state.ScreenChanged) display_.ScreenWindow();
}

}  // namespace kovan
