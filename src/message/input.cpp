// Waiting for the player and what the mouse, the keys and the skip item do
// during play.
#include <algorithm>
#include <exception>

#include "message/message_layout.h"
#include "message/messages.h"
#include "platform/form.h"

namespace kovan {

namespace {

using namespace layout;

// The end of a wait, however it ends: the marker goes and its timer stops
// also when a handler unwinds through the wait (a game being loaded or
// left), though only a wait the player ended counts as resumed.
class WaitScope {
 public:
  WaitScope(Platform& platform, MainForm& form, int clicker)
      : platform_(platform), form_(form), clicker_(clicker) {
    platform_.trace().Event(platform_.Ticks(), "wait");
    platform_.EnableTimer(clicker_, true);
  }
  ~WaitScope() {
    form_.Blinker.shown = false;
    platform_.stage().Invalidate();
    platform_.EnableTimer(clicker_, false);
    if (std::uncaught_exceptions() == unwinding_) {
      platform_.trace().Event(platform_.Ticks(), "resume");
    }
  }
  WaitScope(const WaitScope&) = delete;
  WaitScope& operator=(const WaitScope&) = delete;

 private:
  Platform& platform_;
  MainForm& form_;
  int clicker_;
  int unwinding_ = std::uncaught_exceptions();
};

}  // namespace

Messages::Messages(Platform& platform, EngineState& state, MainForm& form)
    : platform_(platform), state_(state), form_(form) {
  clicker_ = platform_.AddTimer(kBlinkMs, [this] { OnClickerTick(); });
  platform_.EnableTimer(clicker_, false);
}

Messages::~Messages() { platform_.EnableTimer(clicker_, false); }

void Messages::Keys() {
  state_.KeyWait = true;
  WaitScope wait(platform_, form_, clicker_);
  while (state_.KeyWait) {
    // Reported on every pass: delivering an input forgets the state. While
    // a dialog holds the main window it is the dialog that waits.
    const Form* dialog = platform_.FormOpen() ? platform_.stage().TopForm() : nullptr;
    platform_.SetGameState(dialog != nullptr ? "dialog " + dialog->Name() : "keys");
    platform_.Sleep(kKeysPollMs);
    platform_.DoEvents();
  }
}

void Messages::OnClickerTick() {
  form_.Blinker.shown = !form_.Blinker.shown;
  platform_.stage().Invalidate();
}

void Messages::OnMouseDown(MouseButton button, int x, int y) {
  const Surface* hit = platform_.stage().HitTest(x, y);
  // A label takes its clicks to the window it lies in (the marker, the
  // options, the date).
  for (int depth = 0; hit != nullptr && hit->container != nullptr && depth < 8; ++depth) {
    hit = hit->container;
  }
  if (hit == nullptr) return;
  const auto isHit = [hit](const Surface& s) { return hit == &s; };
  if (std::any_of(form_.Waku.begin(), form_.Waku.end(), isHit)) {
    OnWindowMouseDown(button);
  } else if (isHit(form_.Pic_Main) ||
             std::any_of(form_.Doll_Disp.begin(), form_.Doll_Disp.end(), isHit)) {
    OnSceneMouseDown(button);
  }
}

void Messages::OnWindowMouseDown(MouseButton button) {
  if (button == MouseButton::kLeft) {
    state_.KeyWait = false;
  } else if (state_.ClickMode) {
    HideByPlayer();
  }
}

void Messages::OnSceneMouseDown(MouseButton button) {
  if (button == MouseButton::kLeft) {
    if (!form_.WakuHidden) state_.KeyWait = false;
  } else if (form_.WakuHidden) {
    RestoreByPlayer();
  }
}

// The player hides the window to look at the scene; hiding stops skipping.
void Messages::HideByPlayer() {
  HideWindow();
  form_.WakuHidden = true;
  if (state_.MsgMode == 0) state_.MsgMode = 1;
  SetMenuEnabled(menu::kOptMenu, false);
  form_.UpdateMenu();
  ShowSkipState();
}

void Messages::RestoreByPlayer() {
  form_.WakuHidden = false;
  form_.Waku[0].shown = true;
  if (state_.DateTabOn) form_.Waku[3].shown = true;
  platform_.stage().Invalidate();
  SetMenuEnabled(menu::kOptMenu, true);
  form_.UpdateMenu();
}

// Enter and Space end a wait; other keys do nothing here. (Esc switches the
// display mode: the game hands it to the full-screen switch, not to the
// message window.)
void Messages::OnKeyDown(const Key& key) {
  if (form_.WakuHidden) return;
  if (key.code == KeyCode::kEnter || key.code == KeyCode::kSpace) state_.KeyWait = false;
}

void Messages::speedup_Click() {
  if (state_.MsgMode != 0) {
    state_.MsgMode = 0;
    state_.KeyWait = false;
  } else {
    state_.MsgMode = 1;
  }
  ShowSkipState();
}

void Messages::ShowSkipState() {
  const char* caption = state_.MsgMode == 0 ? menu::kStopSkipCaption : menu::kSkipCaption;
  MenuItem* item = form_.FindMenu(menu::kSpeedup);
  if (item == nullptr || item->caption == caption) return;
  item->caption = caption;
  form_.UpdateMenu();
}

void Messages::SetMenuEnabled(const char* name, bool enabled) {
  if (MenuItem* item = form_.FindMenu(name)) item->enabled = enabled;
}


}  // namespace kovan
