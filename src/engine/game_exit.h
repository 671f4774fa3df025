// Leaving the game unwinds to the runner, which runs the shutdown once.
#pragma once

#include <string>

namespace kovan {

// Thrown by every way out of the game: the window closed, a signal, a quit
// command, a fatal data error.
struct GameExit {
  std::string reason;  // "close", "quit", "data", ...
  int exitCode = 0;
};

}  // namespace kovan
