// `File_Window`, the "ゲームデータ" dialog: five slots with their titles and
// save times, and the buttons that save into a slot, load one or delete
// one, each asking first where a save would be lost and showing the result
// for a second.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "engine/engine_state.h"
#include "platform/form.h"
#include "platform/platform.h"
#include "sound/sound.h"

namespace kovan {

// The window's mode and result.
enum FileMode : int {
  kFileClosed = 0,  // closed with the close button
  kFileSave = 1,    // opened for saving
  kFileLoad = 2,    // opened for loading
  kFileLoaded = 3,  // a slot was read into Data_stack
};

constexpr int kSlotCount = 5;

// The file of slot n (0 to 4) in the save folder: "00.dat" to "04.dat".
std::string SlotPath(const std::string& saveFolder, int slot);

class FileWindow {
 public:
  // texture is the skin picture the window's background is tiled from;
  // font draws the window's text (may be null). saveFolder ends with '/';
  // empty means saves can't be kept (folderError says why).
  FileWindow(Platform& platform, EngineState& state, const Surface& texture, Sound& sound,
             Font* font, std::string saveFolder, std::string folderError = "");
  ~FileWindow();
  FileWindow(const FileWindow&) = delete;
  FileWindow& operator=(const FileWindow&) = delete;

  // Shows the window in kFileSave or kFileLoad mode and lets events run
  // until it closes; gives kFileClosed, or kFileLoaded once a slot's save
  // record is in Data_stack(0) to (2). The main window takes no input
  // meanwhile.
  int Run(int mode);

  Form& form() { return form_; }

  // The handlers of the slot rows, the buttons and the confirmation.
  void Label1_Click(int slot);
  void fBtn_Click(int index);
  void Command1_Click() { Answer = 1; }
  void Command2_Click() { Answer = 2; }

 private:
  void Build();
  void TileBackground(const Surface& texture);
  void ListSlots();
  void DrawRow(int slot, Rgb colour, bool selected);
  // Puts the question up and waits for Yes (true) or No.
  bool Ask(const std::string& question);
  // The result panel, for a second.
  void ShowResult(const std::string& text, Rgb colour);
  // A failure, told to the player with the slot it concerns.
  void Fail(int slot, const std::string& what, const std::string& why);
  void Effect(int no);
  void SaveSlot(int slot);
  void LoadSlot(int slot);
  void DeleteSlot(int slot);

  Platform& platform_;
  EngineState& state_;
  Sound& sound_;
  std::string folder_;
  std::string folderError_;
  Form form_;
  std::array<PictureBox*, kSlotCount> Picture1{};
  std::array<Label*, kSlotCount> Label1{};
  std::array<PictureBox*, 2> fIcon{};
  std::array<CommandButton*, 4> fBtn{};
  Panel* Picture3 = nullptr;
  Label* Label2 = nullptr;
  Panel* Picture4 = nullptr;
  Label* Label4 = nullptr;
  std::array<bool, kSlotCount> empty_{};  // as of the last ListSlots
  int FileMode_ = kFileClosed;
  int SelSlot = -1;
  std::uint8_t Answer = 0;
  bool asking_ = false;
  bool open_ = false;
};

}  // namespace kovan
