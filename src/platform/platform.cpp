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

bool Platform::FormMouseDown(int x, int y) {
  Form* form = stage_.TopForm();
  if (form == nullptr) return false;
  form->MouseDown(x, y);
  return true;
}

bool Platform::FormMouseUp(int x, int y) {
  Form* form = stage_.TopForm();
  if (form == nullptr) return false;
  form->MouseUp(x, y);
  return true;
}

bool Platform::FormMouseMove(int x, int y) {
  Form* form = stage_.TopForm();
  if (form == nullptr) return false;
  form->MouseMove(x, y);
  return true;
}

bool Platform::FormKeyDown(const Key& key) {
  Form* form = stage_.TopForm();
  if (form == nullptr) return false;
  form->KeyDown(key);
  return true;
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
