// The real window: SDL2 video with the picture below a menu-bar strip.
#pragma once

#include <memory>

#include "platform/platform.h"
#include "platform/result.h"

namespace kovan {

[[nodiscard]] Result<std::unique_ptr<Platform>> CreateSdlPlatform();

}  // namespace kovan
