// The top level of a game: start-up, the idle loop, and the one shutdown
// that every way out ends in.
#pragma once

#include "story/game.h"
#include "platform/platform.h"

namespace kovan {

// Plays a game on the platform until it ends; returns the process exit code.
int RunGame(Platform& platform, const GameOptions& options);

}  // namespace kovan
