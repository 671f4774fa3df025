#include "platform/platform.h"

#include <utility>

#include "platform/form.h"

namespace kovan {

Platform::Platform() : audio_(CreateSilentAudio([this] { return Ticks(); })) {}

int Platform::AddTimer(std::uint32_t intervalMs, std::function<void()> onTick) {
  timers_.push_back(Timer{intervalMs, Ticks() + intervalMs, true, std::move(onTick)});
  return static_cast<int>(timers_.size()) - 1;
}

void Platform::EnableTimer(int id, bool enabled) {
  if (id < 0 || static_cast<std::size_t>(id) >= timers_.size()) return;
  Timer& timer = timers_[static_cast<std::size_t>(id)];
  if (enabled && !timer.enabled) timer.due = Ticks() + timer.interval;
  timer.enabled = enabled;
}

void Platform::FireTimers() {
  // Indexes, not iterators: a handler may add timers or pump events again.
  for (std::size_t i = 0; i < timers_.size(); ++i) {
    const std::uint32_t now = Ticks();
    Timer& timer = timers_[i];
    // The difference, read as signed, survives the 49-day wrap of the clock.
    if (!timer.enabled || timer.interval == 0 || static_cast<std::int32_t>(now - timer.due) < 0) {
      continue;
    }
    timer.due += timer.interval;
    if (static_cast<std::int32_t>(now - timer.due) >= 0) timer.due = now + timer.interval;
    // The handler gets its own copy: it may add timers, which moves the list.
    std::function<void()> onTick = timer.onTick;
    if (onTick) onTick();
  }
}

void Platform::OpenForm(Form* form) {
  // A form coming up takes the focus from a modeless one.
  if (form != nullptr && stage_.FindForm(form->Name()) != form) DeactivateModeless();
  stage_.AddForm(form);
}

bool Platform::FormOpen() const {
  for (const Form* form : stage_.Forms()) {
    if (form->modal) return true;
  }
  return false;
}

void Platform::DeactivateModeless() {
  // A copy: losing the focus closes the form, which changes the list.
  const std::vector<Form*> forms = stage_.Forms();
  for (Form* form : forms) {
    if (!form->modal && stage_.FindForm(form->Name()) == form) form->LoseFocus();
  }
}

bool Platform::FormMouseDown(int x, int y, MouseButton button) {
  Form* form = stage_.TopForm();
  if (form == nullptr) return false;
  if (!form->modal && !form->Contains(x, y)) {
    form->LoseFocus();
    return false;
  }
  if (button == MouseButton::kLeft) form->MouseDown(x, y);
  return true;
}

bool Platform::FormMouseUp(int x, int y) {
  Form* form = stage_.TopForm();
  if (form == nullptr || (!form->modal && !form->Pressing())) return false;
  form->MouseUp(x, y);
  return true;
}

bool Platform::FormMouseMove(int x, int y) {
  Form* form = stage_.TopForm();
  if (form == nullptr || (!form->modal && !form->Pressing() && !form->Contains(x, y))) {
    return false;
  }
  form->MouseMove(x, y);
  return true;
}

bool Platform::FormKeyDown(const Key& key) {
  Form* form = stage_.TopForm();
  if (form == nullptr) return false;
  // The full-screen keys are not the dialog's: Alt+Enter presses nothing.
  if (key.code == KeyCode::kF11 || (key.code == KeyCode::kEnter && key.alt)) return true;
  if (key.code == KeyCode::kChar && key.ctrl && (key.ch == U'v' || key.ch == U'c' || key.ch == U'x')) {
    if (key.ch == U'v') {
      form->TextInput(ClipboardText());
    } else if (std::string taken = form->TakeSelection(key.ch == U'x'); !taken.empty()) {
      SetClipboardText(taken);
    }
    return true;
  }
  form->KeyDown(key);
  return true;
}

bool Platform::FormTextInput(const std::string& utf8) {
  Form* form = stage_.TopForm();
  return form != nullptr && form->TextInput(utf8);
}

bool Platform::FormTextEditing(const std::string& utf8, int cursor) {
  Form* form = stage_.TopForm();
  return form != nullptr && form->TextEditing(utf8, cursor);
}

std::optional<TextCaret> Platform::FormTextCaret() const {
  const Form* form = stage_.TopForm();
  return form != nullptr ? form->Caret() : std::nullopt;
}

void Platform::DialogAction(const std::string& verb, const std::string& formName,
                            const std::string& control, const std::string& value) {
  Form* form = stage_.FindForm(formName);
  if (form == nullptr || form != stage_.TopForm()) {
    if (form == nullptr && sink_ != nullptr) {
      sink_->OnDialogAction(verb, formName, control, value);
    } else {
      trace_.Event(Ticks(), "dialog", {{"name", formName}, {"control", control}, {"op", "ignored"}});
    }
    return;
  }
  if (!form->Act(verb, control, value)) {
    trace_.Event(Ticks(), "dialog", {{"name", formName}, {"control", control}, {"op", "ignored"}});
  }
}

}  // namespace kovan
