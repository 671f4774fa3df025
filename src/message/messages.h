// The message window and the player's input: start-up layout, the window's
// layers, message text output, waiting for the player and the handlers of
// the keys, the mouse and the skip menu item.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/data_files.h"
#include "engine/engine_state.h"
#include "message/main_form.h"
#include "platform/font.h"
#include "platform/platform.h"

namespace kovan {

class Messages {
 public:
  Messages(Platform& platform, EngineState& state, MainForm& form);
  ~Messages();
  Messages(const Messages&) = delete;
  Messages& operator=(const Messages&) = delete;

  // Centres the window and disables the play menu items: what the window
  // shows before anything is loaded.
  void MenuInit();
  // Places every surface, sets the message font and line pitch, loads the
  // skin texture ("61.dat") and cuts the title buttons from it. The error
  // is the player's message (a missing "61.dat").
  [[nodiscard]] Status LayoutInit(const DataFiles& data);
  // Loads the face sheet ("60.dat") and fills the face table. The error is
  // the player's message.
  [[nodiscard]] Status FaceInit(const DataFiles& data);

  // Draws the frame, fill and date tab layers from the texture.
  void WakuBuild();
  // Composes the window anew over the current scene and shows it.
  void WakuOpen();
  // Restores the clean page; LineNo and LastSpeaker become 0.
  void WakuClear();

  // Draws one message (or a caption when CaptionX asks for one) and, when
  // the text is player-paced, waits for the player.
  void MessageOut(const std::string& tag, const std::string& text, Rgb colour);
  // n seconds as n * 10 rounds of event delivery and a 100 ms sleep.
  void WaitSec(long n);
  // Waits until a click, Enter, Space or the skip item lowers KeyWait.
  void Keys();

  // Input during play. Coordinates are the picture's.
  void OnMouseDown(MouseButton button, int x, int y);
  void OnKeyDown(const Key& key);
  // The skip item ("次の選択まで進む" / "スキップ停止").
  void speedup_Click();
  // Gives the skip item the caption that says what choosing it does now:
  // "スキップ停止" while skipping (MsgMode 0), else "次の選択まで進む".
  // Whatever changes MsgMode calls it; a message calls it too.
  void ShowSkipState();

  // Hides the window and its date tab (a place change, a caption).
  void HideWindow();
  // Sets DateText and shows it in the date tab's label at once.
  void SetDate(const std::string& text);

  // The game's text font at a size in points, opened on first use; null
  // when no font can be had at that size.
  Font* FontAt(double points);
  // Renders a label's caption in white on black and sizes the label to it.
  void SetLabelCaption(Surface& label, const std::string& caption, double points);

 private:
  void MessageEnd();
  void CaptionOut(const std::string& text);
  void StartPage(const std::string& tag, Rgb colour);
  void DrawMessageText(const std::string& tag, const std::string& text, Rgb colour);
  void DrawLine(Font* font, const std::vector<std::string>& chars, std::size_t first,
                std::size_t last, int cell, Rgb colour);
  void NextLine();
  void Refresh();

  void PlaceSurfaces();
  [[nodiscard]] Status LoadTexture(const DataFiles& data);
  void CutTitleButtons();
  void ComposeBackdrop();
  void ComposeDateTab();

  void OnWindowMouseDown(MouseButton button);
  void OnSceneMouseDown(MouseButton button);
  void HideByPlayer();
  void RestoreByPlayer();
  void SetMenuEnabled(const char* name, bool enabled);
  void OnClickerTick();

  Platform& platform_;
  EngineState& state_;
  MainForm& form_;
  std::map<int, std::unique_ptr<Font>> fonts_;  // by pixel size; null = can't open
  int clicker_ = -1;                            // the marker's blink timer
};

}  // namespace kovan
