// The services the game calls on the system: clock, events, the window and
// its shown surfaces, message boxes, system facts, the instance lock. Two
// backends implement it: the SDL window and the headless runner.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/audio.h"
#include "platform/stage.h"
#include "platform/trace.h"

namespace kovan {

class Form;

enum class MsgBoxButtons { kOk, kYesNo };
enum class MsgBoxAnswer { kOk, kYes, kNo };

enum class MouseButton { kLeft, kRight };

// Keys the game looks at; character keys arrive as kChar with their code.
enum class KeyCode { kEnter, kSpace, kEscape, kChar, kUp, kDown, kLeft, kRight, kTab };
struct Key {
  KeyCode code = KeyCode::kChar;
  char32_t ch = 0;
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
  // The window was closed or the process was asked to end (SIGINT/SIGTERM).
  virtual void OnClose() {}
};

struct DisplayInfo {
  int width = 0;
  int height = 0;
  int depth = 0;  // colour bits per pixel
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

  // The main window. The client area is the 640 x 480 picture; a menu-bar
  // strip sits above it while the caption is on.
  virtual void SetClientSize(int w, int h) = 0;
  virtual void CentreWindow() = 0;
  virtual void ShowWindow(bool shown) = 0;
  virtual void SetCaption(const std::string& utf8) = 0;
  virtual void SetWaitCursor(bool wait) = 0;
  virtual void ToggleCaption() = 0;
  // The surfaces the window shows.
  Stage& stage() { return stage_; }
  // Shows what was refreshed now, without delivering any input (a surface
  // refresh between two characters of a message).
  virtual void Present() {}
  // The menu bar above the picture. A click on an enabled, visible item
  // reaches the sink's OnMenu from DoEvents; the others are inert.
  virtual void SetMenu(const std::vector<MenuItem>& items) { menu_ = items; }
  const std::vector<MenuItem>& Menu() const { return menu_; }

  // Dialog forms drawn over the picture (see platform/form.h). While one
  // is open the main window is disabled: the pointer and the keys go to the
  // topmost form, clicks outside it and on the menu bar are dropped. The
  // form must stay alive until it is closed (or destroyed).
  void OpenForm(Form* form) { stage_.AddForm(form); }
  void CloseForm(const Form* form) { stage_.RemoveForm(form); }
  bool FormOpen() const { return stage_.TopForm() != nullptr; }

  // Modal message box with the game's own texts; events keep flowing.
  virtual MsgBoxAnswer MessageBox(const std::string& utf8Text, MsgBoxButtons buttons) = 0;

  virtual DisplayInfo Display() = 0;
  virtual SystemFacts Facts() = 0;
  // Input-method editor on or off; does nothing where there is none.
  virtual void SetImeOpen(bool open) = 0;

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
  // Input for the topmost form, in picture coordinates; false (and nothing
  // done) when no form is open, so the input goes to the sink.
  bool FormMouseDown(int x, int y);
  bool FormMouseUp(int x, int y);
  bool FormMouseMove(int x, int y);
  bool FormKeyDown(const Key& key);
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
  Stage stage_;
  Trace trace_;
  std::unique_ptr<Audio> audio_;
};

}  // namespace kovan
