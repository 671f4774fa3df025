// Starting the story afresh from a line unwinds to the runner first.
#pragma once

#include <cstdint>
#include <string>

namespace kovan {

// Thrown by the title's start button and by loading a game. It retires
// whatever is running (a pass of the story waiting for the player, or the
// idle title screen) by unwinding to the runner, which then runs the story
// from seqPos. So however often the player loads or starts, the stack is as
// deep as it was for the first pass.
struct StoryRestart {
  std::int32_t seqPos = 0;
  std::string reason;  // "start" or "load"
};

}  // namespace kovan
