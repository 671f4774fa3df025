#include "platform/ime_keys.h"

namespace kovan {

void ImeKeyGate::Editing(bool composing, std::uint32_t ms) {
  if (composing_ && !composing) endedAt_ = ms;
  composing_ = composing;
}

void ImeKeyGate::Committed(std::uint32_t ms) {
  if (!composing_) return;
  composing_ = false;
  endedAt_ = ms;
}

bool ImeKeyGate::Swallows(const Key& key, std::uint32_t ms) {
  if (key.code == KeyCode::kChar) return false;
  if (composing_) return true;
  if (!endedAt_) return false;
  // Either may carry the earlier time stamp.
  const std::uint32_t apart = ms >= *endedAt_ ? ms - *endedAt_ : *endedAt_ - ms;
  endedAt_.reset();
  return apart <= kEndingKeyMs;
}

}  // namespace kovan
