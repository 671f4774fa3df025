// The main window's surfaces and controls, and the state that belongs to
// the window rather than to the engine. One per game; it registers its
// surfaces with the platform's stage and must not move while registered.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/platform.h"
#include "platform/surface.h"

namespace kovan {

// Stacking order of the shown surfaces, bottom to top: the scene, the
// character windows left, right, centre, the title buttons, the message
// window and its date tab, the labels inside the window.
namespace zorder {
constexpr int kScene = 0;
constexpr int kDoll = 10;  // + slot
constexpr int kTitleButton = 20;
constexpr int kWaku = 30;
constexpr int kDateTab = 31;
constexpr int kLabel = 40;
}  // namespace zorder

// Names of the menu items, left to right.
namespace menu {
constexpr const char* kProgEnd = "prog_end";
constexpr const char* kProgLoad = "prog_load";
constexpr const char* kProgSave = "prog_save";
constexpr const char* kOptMenu = "opt_menu";
constexpr const char* kSpeedup = "speedup";
constexpr const char* kVvrr = "vvrr";
constexpr const char* kSkipCaption = "次の選択まで進む";
constexpr const char* kStopSkipCaption = "スキップ停止";
}  // namespace menu

// One row of the face table: where a face sits in a character picture and
// where its column starts in the face sheet.
struct FaceRow {
  std::int16_t x1 = 0, y1 = 0, x2 = 0, y2 = 0, w = 0, h = 0, sheetX = 0;
};
// The face sheet's area: a sheet's pixels beyond it are laid over the
// character without the sheet's black letting the character through.
constexpr int kFaceSheetWidth = 620;
constexpr int kFaceSheetHeight = 840;

struct MainForm {
  explicit MainForm(Platform& platform);
  ~MainForm();
  MainForm(const MainForm&) = delete;
  MainForm& operator=(const MainForm&) = delete;

  // Pushes the menu items' captions and states to the platform; each item
  // whose enabled state changed is traced ("menu": item, enabled).
  void UpdateMenu();
  MenuItem* FindMenu(const std::string& name);

  Platform& platform;

  // Scene surfaces.
  Surface Pic_Main, Pic_Back, Place_Load, Place_Back, Wall_Back, Form_Back;
  std::array<Surface, 3> Doll_Body, Doll_Mask, Doll_Back, Doll_Disp, Face_Disp;
  Surface Face_Load, Mesh1, Mesh2;
  Surface Texture;
  std::array<Surface, 4> Smenu;

  // The message window's layers (0 shown window, 1 fill, 2 frame, 3 date
  // tab, 4 tab image, 5 tab mask, 6 clean page) and the labels inside.
  std::array<Surface, 7> Waku;
  Surface Blinker;                // "▼" inside Waku(0)
  Surface Dtime_label;            // the date, inside Waku(3)
  std::array<Surface, 3> SelTxt;  // choice options, inside Waku(0)

  // Message-window geometry and page state.
  std::int16_t WakuX = 35, WakuY = 360, WakuW = 576, WakuH = 108;
  std::int16_t LinePitch = 17;
  std::int16_t LastSpeaker = 0;
  bool MsgBusy = false;
  bool HoverArmed = false;
  bool WakuHidden = false;

  // Character slots (left, right, centre).
  std::array<std::int16_t, 3> PosX{40, 350, 130};
  std::array<std::int16_t, 5> SlotX{}, SlotY{}, SlotW{}, SlotH{};
  std::array<bool, 3> SlotUsed{};

  std::array<FaceRow, 13> FaceTable{};

  std::array<MenuItem, 6> Menu;
};

}  // namespace kovan
