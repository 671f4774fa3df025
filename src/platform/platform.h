// The services the game calls on the system: clock, events, the window and
// its shown surfaces, message boxes, system facts, the instance lock. Two
// backends implement it: the SDL window and the headless runner.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/audio.h"
#include "platform/result.h"
#include "platform/stage.h"
#include "platform/trace.h"

namespace kovan {

class Form;

enum class MsgBoxButtons { kOk, kYesNo };
enum class MsgBoxAnswer { kOk, kYes, kNo };

enum class MouseButton { kLeft, kRight };

// Keys the game looks at; character keys arrive as kChar with their code.
enum class KeyCode {
  kEnter, kSpace, kEscape, kChar, kUp, kDown, kLeft, kRight, kTab, kF11,
  kBackspace, kDelete, kHome, kEnd, kPageUp, kPageDown,
};
struct Key {
  KeyCode code = KeyCode::kChar;
  char32_t ch = 0;
  bool alt = false;    // pressed together with Alt
  bool shift = false;  // held with Shift
  bool ctrl = false;   // held with Ctrl (kChar then carries the letter, lower case)
};

// Receives input while the game lets events run (inside DoEvents).
class InputSink {
 public:
  virtual ~InputSink() = default;
  virtual void OnMouseDown(MouseButton, int /*x*/, int /*y*/) {}
  virtual void OnMouseMove(int /*x*/, int /*y*/) {}
  virtual void OnKeyDown(const Key&) {}
  // The mouse wheel turned: steps > 0 away from the player (up), < 0 down.
  virtual void OnWheel(int /*steps*/) {}
  virtual void OnMenu(const std::string& /*item*/) {}
  // A scripted dialog action: verb "press" (value empty), "type" (value is
  // the text) or "set" (value is the new value), aimed at a control of a form.
  virtual void OnDialogAction(const std::string& /*verb*/, const std::string& /*form*/,
                              const std::string& /*control*/, const std::string& /*value*/) {}
  // The window was closed or the process was asked to end (SIGINT, SIGTERM,
  // SIGHUP).
  virtual void OnClose() {}
  // The headless runner's game-time bound was reached; a plain close
  // unless the sink tells the two apart.
  virtual void OnTimeLimit() { OnClose(); }
};

// A text box's caret: its top-left and height, in picture coordinates.
struct TextCaret {
  int x = 0, y = 0, h = 0;
  bool operator==(const TextCaret&) const = default;
};

struct DisplayInfo {
  int width = 0;
  int height = 0;
  int depth = 0;  // colour bits per pixel
};

// The main window as it stands on the desktop. Its size is the window's own
// area (menu strip and picture, without the decorations the desktop adds),
// in desktop units; the picture's is the size it is shown at, in pixels.
struct WindowPlacement {
  bool fullScreen = false;
  bool caption = true;   // the caption (the desktop's title bar) is on
  bool menuStrip = true;  // the menu strip shows above the picture
  int x = 0, y = 0, width = 0, height = 0;
  int pictureWidth = 0, pictureHeight = 0;
};

// The machine facts of the start-up report, as the system gives them.
struct SystemFacts {
  std::string localTime;  // "yyyy/mm/dd h:mm:ss"
  int oemId = 0;
  int processorType = 0;
  int processorLevel = 0;
  int processorRevision = 0;
  int processorCount = 0;
  int platformId = 0;  // 0..2 as the report's system table knows them; other = none
  int majorVersion = 0;
  int minorVersion = 0;
  int buildNumber = 0;
  std::string servicePack;
  std::string systemRoot;    // stands for the Windows folder
  std::string systemFolder;  // stands for the system folder
  std::uint64_t totalPhys = 0, availPhys = 0;
  std::uint64_t totalPageFile = 0, availPageFile = 0;
  std::uint64_t totalVirtual = 0, availVirtual = 0;
  int memoryLoad = 0;  // percent
};

// One item of the menu bar (no submenus).
struct MenuItem {
  std::string name;     // the control name the game knows it by ("prog_end")
  std::string caption;  // UTF-8
  bool enabled = true;
  bool visible = true;
};

class Platform {
 public:
  Platform();
  virtual ~Platform() = default;

  // Clock: milliseconds since the platform started; sleep pauses the thread
  // (the headless clock simply moves on).
  virtual std::uint32_t Ticks() = 0;
  virtual void Sleep(std::uint32_t ms) = 0;

  // Delivers pending input to the sink, fires due timers, and presents the
  // stage when something was refreshed. Handlers may throw to unwind.
  virtual void DoEvents() = 0;
  void SetInputSink(InputSink* sink) { sink_ = sink; }

  // Timers fire from DoEvents, on the game's thread. A new timer is enabled
  // and first fires intervalMs after it was added; enabling a timer restarts
  // its count. An interval of 0 never fires. When DoEvents comes late a timer
  // fires once, not once per missed interval. Unknown ids are ignored.
  int AddTimer(std::uint32_t intervalMs, std::function<void()> onTick);
  void EnableTimer(int id, bool enabled);

  // The main window. The client area is the 640 x 480 picture (times the
  // window's scale, when the player chose one); a menu-bar strip sits above
  // it except in full screen. The player may resize the window: the picture
  // then scales with its aspect kept.
  virtual void SetClientSize(int w, int h) = 0;
  virtual void CentreWindow() = 0;
  virtual void ShowWindow(bool shown) = 0;
  virtual void SetCaption(const std::string& utf8) = 0;
  virtual void SetWaitCursor(bool wait) = 0;
  virtual void ToggleCaption() = 0;
  // Full screen on the desktop's own mode, which never changes: the window
  // covers the screen without menu strip and the picture is scaled to fit
  // with its aspect kept. Leaving it gives the window back its place and
  // size. An error (the system refused) leaves the window as it was; a
  // backend without full screen refuses it.
  [[nodiscard]] virtual Status SetFullScreen(bool full) {
    return full ? Status::Error("full screen is not available") : Status();
  }
  virtual WindowPlacement Placement() { return WindowPlacement{}; }
  // The surfaces the window shows.
  Stage& stage() { return stage_; }
  const Stage& stage() const { return stage_; }
  // Shows what was refreshed now, without delivering any input (a surface
  // refresh between two characters of a message).
  virtual void Present() {}
  // The menu bar above the picture. A click on an enabled, visible item
  // reaches the sink's OnMenu from DoEvents; the others are inert.
  virtual void SetMenu(const std::vector<MenuItem>& items) { menu_ = items; }
  const std::vector<MenuItem>& Menu() const { return menu_; }

  // Dialog forms drawn over the picture (see platform/form.h). While a
  // modal one is open the main window is disabled: the pointer and the keys
  // go to the topmost form, clicks outside it and on the menu bar are
  // dropped. A modeless form takes the keys and the clicks that land on it;
  // a click elsewhere, or another form opening, takes its focus away (its
  // onLostFocus runs) and the click goes on to the window. The form must
  // stay alive until it is closed (or destroyed).
  void OpenForm(Form* form);
  void CloseForm(const Form* form) { stage_.RemoveForm(form); }
  // Whether a modal form is open (the main window is disabled).
  bool FormOpen() const;

  // The desktop's clipboard as text (UTF-8); the headless backend keeps
  // its own.
  virtual std::string ClipboardText() { return clipboard_; }
  virtual void SetClipboardText(const std::string& utf8) { clipboard_ = utf8; }
  // Hands a link ("https://...", "mailto:...") to the desktop, which opens
  // it in the user's browser or mail program; returns at once. An error
  // says the desktop could not be asked. The headless backend opens
  // nothing.
  [[nodiscard]] virtual Status OpenLink(const std::string& /*target*/) { return Status(); }

  // Modal message box with the game's own texts; events keep flowing.
  virtual MsgBoxAnswer MessageBox(const std::string& utf8Text, MsgBoxButtons buttons) = 0;

  virtual DisplayInfo Display() = 0;
  virtual SystemFacts Facts() = 0;
  // Input-method editor on or off; does nothing where there is none.
  virtual void SetImeOpen(bool open) = 0;

  // The first output asked for on the command line that could not be
  // written (a screenshot), with the reason; empty when there was none.
  virtual std::string OutputError() const { return {}; }

  // What the game is doing now, for input scripts ("keys", "title", ...).
  virtual void SetGameState(std::string_view /*state*/) {}

  Trace& trace() { return trace_; }

  // The game's sound. A backend that has no sound keeps the silent one,
  // whose music and effects still take their time on the clock.
  Audio& audio() { return *audio_; }

 protected:
  void SetAudio(std::unique_ptr<Audio> audio) { audio_ = std::move(audio); }
  // Runs timers whose time has come; backends call it from DoEvents.
  void FireTimers();
  // Input for the topmost form, in picture coordinates; false when the
  // input is not the form's, so it goes to the window (the sink): no form
  // is open, or a modeless one is and the pointer is elsewhere (a press
  // there takes the form's focus away first). Ctrl+V, Ctrl+C and Ctrl+X
  // reach the clipboard.
  bool FormMouseDown(int x, int y, MouseButton button = MouseButton::kLeft);
  bool FormMouseUp(int x, int y);
  bool FormMouseMove(int x, int y);
  bool FormKeyDown(const Key& key);
  // Text typed or committed by the input method, and the input method's
  // composition (cursor in characters); false when no form takes text.
  bool FormTextInput(const std::string& utf8);
  bool FormTextEditing(const std::string& utf8, int cursor);
  // Where the focused text box of the topmost form has its caret, in
  // picture coordinates; nothing when no text box wants typed text.
  std::optional<TextCaret> FormTextCaret() const;
  // The main window was clicked outside the picture (the menu bar): a
  // modeless form loses its focus.
  void DeactivateModeless();
  // A scripted `press`, `type` or `set`: to the open form of that name
  // (traced as ignored when the control can't take it), else to the sink.
  void DialogAction(const std::string& verb, const std::string& form, const std::string& control,
                    const std::string& value);
  InputSink* sink() { return sink_; }

 private:
  struct Timer {
    std::uint32_t interval;
    std::uint32_t due;
    bool enabled;
    std::function<void()> onTick;
  };
  InputSink* sink_ = nullptr;
  std::vector<MenuItem> menu_;
  std::vector<Timer> timers_;
  std::string clipboard_;
  Stage stage_;
  Trace trace_;
  std::unique_ptr<Audio> audio_;
};

}  // namespace kovan
