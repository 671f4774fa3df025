// Which key presses belong to the input method rather than to the dialog.
// While a composition runs, the keys that build, convert and commit it may
// reach the program as well; and the Enter that commits a composition (or
// the Escape that drops it) may arrive just after the composition's end.
// Neither may act a second time as a key: one press is one action.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/platform.h"

namespace kovan {

class ImeKeyGate {
 public:
  // How long after a composition ends a named key still counts as the one
  // that ended it, in ms.
  static constexpr std::uint32_t kEndingKeyMs = 100;

  // The composition's text changed at ms (times as the events carry them);
  // composing false: it is empty now.
  void Editing(bool composing, std::uint32_t ms);
  // Text was committed at ms (typed text without a composition counts too).
  void Committed(std::uint32_t ms);
  // Whether a key pressed at ms belongs to the input method and must be
  // dropped: any named key while a composition runs, and the first named
  // key within kEndingKeyMs of the end of one (before or after it). Characters never are (they
  // come as text).
  bool Swallows(const Key& key, std::uint32_t ms);

 private:
  bool composing_ = false;
  std::optional<std::uint32_t> endedAt_;
};

}  // namespace kovan
