#include "platform/platform.h"

#include <utility>

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

}  // namespace kovan
