// The top level of a game: start-up, the idle loop, the story's restarts
// (the title's start button, a loaded game) and the one shutdown that every
// way out ends in.
#pragma once

#include "story/game.h"
#include "platform/platform.h"

namespace kovan {

// Plays a game on the platform until it ends; returns the process exit code.
int RunGame(Platform& platform, const GameOptions& options);
// The same for a game already built (not yet started).
int RunGame(Game& game);

}  // namespace kovan
