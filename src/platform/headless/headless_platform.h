// The headless backend: no window and no audio, a virtual clock, input from
// a script, observable events to the trace, screenshots as PNG.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/platform.h"

namespace kovan {

struct HeadlessOptions {
  std::string inputScript;  // the script's text (not a path); empty = no actions
  std::string shotsDir;     // where relative shot names land
  std::int64_t maxMs = -1;  // game-time bound; -1 = none
  DisplayInfo display{1280, 1024, 24};
};

std::unique_ptr<Platform> CreateHeadlessPlatform(const HeadlessOptions& options);

}  // namespace kovan
