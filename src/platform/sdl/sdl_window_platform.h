// The SDL backend's platform object, shared by its source files.
#pragma once

#include <SDL.h>

#include <optional>
#include <string>

#include "platform/font.h"
#include "platform/ime_keys.h"
#include "platform/menu_bar.h"
#include "platform/message_panel.h"
#include "platform/platform.h"
#include "platform/result.h"
#include "platform/sdl/sdl_handles.h"
#include "platform/sdl/sdl_platform.h"
#include "platform/sdl/sdl_presenter.h"
#include "platform/viewport.h"

namespace kovan {

class SdlPlatform final : public Platform {
 public:
  static constexpr int kStripHeight = kMenuBarHeight;

  explicit SdlPlatform(const SdlOptions& options) : options_(options) {}
  ~SdlPlatform() override;
  // Starts SDL and creates the (hidden) window; an error carries SDL's text.
  [[nodiscard]] Status Init();
  // The sound device the game will open.
  void UseAudio(std::unique_ptr<Audio> audio) { SetAudio(std::move(audio)); }

  std::uint32_t Ticks() override { return SDL_GetTicks() - start_; }
  void Sleep(std::uint32_t ms) override { SDL_Delay(ms); }
  void WaitSteps(std::uint32_t stepMs) override;
  void DoEvents() override;

  void SetClientSize(int w, int h) override;
  void CentreWindow() override;
  void ShowWindow(bool shown) override;
  void SetCaption(const std::string& utf8) override;
  void SetWaitCursor(bool wait) override;
  void ToggleCaption() override;
  Status SetFullScreen(bool full) override;
  WindowPlacement Placement() override;
  void Present() override;
  void SetMenu(const std::vector<MenuItem>& items) override;

  MsgBoxAnswer MessageBox(const std::string& utf8Text, MsgBoxButtons buttons) override;

  DisplayInfo Display() override;
  SystemFacts Facts() override;
  void SetImeOpen(bool open) override;
  std::string ClipboardText() override;
  void SetClipboardText(const std::string& utf8) override;
  Status OpenLink(const std::string& target) override;

 private:
  struct BoxView;

  // sdl_platform.cpp
  // The strip's height in window points: no strip in full screen.
  int StripHeight() const { return fullScreen_ ? 0 : kStripHeight; }
  void ApplySize();
  bool HandleEvent(const SDL_Event& e);  // true: a close was asked for
  void HandleMouseDown(const SDL_MouseButtonEvent& b);
  void HandleMouseUp(const SDL_MouseButtonEvent& b);
  void HandleMouseMotion(const SDL_MouseMotionEvent& m);
  void HandleKey(const SDL_KeyboardEvent& k);
  void HandleText(const char* utf8, Uint32 timestamp);
  void HandleEditing(const char* utf8, int cursor, Uint32 timestamp);
  // Text input (and with it the input method) runs while a dialog's text
  // box has the focus, its candidate window placed at the caret; otherwise
  // as SetImeOpen last asked.
  void SyncTextInput();
  // Whether the window shows something older than what it should show.
  bool FrameStale() {
    return stage().Dirty() || needRedraw_ || (StripHeight() > 0 && menuBar_.Dirty());
  }
  // Composes the picture with, when given, the box's pixels at their
  // place (in picture pixels) and shows what changed since the last frame.
  void ShowFrame(const Surface* overlay, const SDL_Rect* at);
  // Brings shownPicture_ up to the stage (the overlay at `at` on top) and
  // returns the rectangles that changed.
  std::vector<PixelRect> ComposeShown(const Surface* overlay, const SDL_Rect* at);
  // The menu strip's pixels when they must be shown again, else null.
  const Surface* StripToShow(const Viewport& view, bool whole);
  // Whether input or a close waits, or a timer is due by `at` (Ticks).
  bool SomethingDue(std::uint32_t at);

  // sdl_screen.cpp
  // The window's size in points and its drawable's in pixels, as they are.
  Viewport CurrentViewport() const;
  // The picture pixel under a window point, or nothing.
  std::optional<PicturePoint> PictureAt(int x, int y) const;
  // The largest whole factor, up to the one asked for, at which the window
  // fits the desktop's usable area.
  int FittingScale(int wanted) const;
  // Full screen where nobody on the desktop carries out the request: the
  // bare window covers the display.
  void CoverDisplay(bool cover);

  // sdl_message_box.cpp
  // The system's interface font (message boxes, the menu bar); null when
  // none can be opened.
  Font* UiFont();
  Status OpenBoxView(BoxView& view, const MessagePanel& panel);
  void DrawBox(BoxView& view, const MessagePanel& panel);
  std::optional<MsgBoxAnswer> HandleBoxEvent(const SDL_Event& e, BoxView& view,
                                             MessagePanel& panel);

  SdlOptions options_;
  SdlSubsystems subsystems_;  // before the handles, so it is torn down last
  SdlWindowPtr window_;
  std::unique_ptr<SdlPresenter> presenter_;
  SdlCursorPtr arrowCursor_;
  SdlCursorPtr waitCursor_;
  std::unique_ptr<Font> uiFont_;
  bool uiFontTried_ = false;
  // The frame on screen, and a band of the next one with the same rows of
  // this one: what differs between the two is all that goes to the window
  // system.
  Surface shownPicture_;
  Surface band_;
  Surface shownBand_;
  Surface withForms_;  // the whole next picture, only while forms are open
  std::optional<Viewport> shownView_;
  MenuBar menuBar_;
  Surface menuPixels_;
  std::uint32_t start_ = 0;
  std::uint32_t lastTrim_ = 0;  // when free heap pages last went back
  int clientWidth_ = Stage::kWidth;
  int clientHeight_ = Stage::kHeight;
  bool shown_ = false;
  bool captionOn_ = true;
  bool fullScreen_ = false;
  bool coveredByHand_ = false;  // full screen made by CoverDisplay
  SDL_Rect windowed_{};         // the window's place before CoverDisplay
  int scale_ = 1;  // the window's whole factor
  bool needRedraw_ = true;
  bool boxOpen_ = false;
  bool pendingClose_ = false;  // a close that came while a box was open
  bool imeWanted_ = false;     // SetImeOpen's last word
  bool textForForm_ = false;   // text input runs for a dialog's text box
  std::optional<PixelRect> inputRect_;  // where the candidate window was put
  ImeKeyGate imeGate_;
  std::string caption_;
};

}  // namespace kovan
