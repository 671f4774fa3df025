// The real window: SDL2 video with the picture below a menu-bar strip.
#pragma once

#include <memory>
#include <string>

#include "platform/platform.h"
#include "platform/result.h"

namespace kovan {

// Music is played with the SoundFont FindSoundFont finds for `soundFont`.
[[nodiscard]] Result<std::unique_ptr<Platform>> CreateSdlPlatform(const std::string& soundFont = "");

}  // namespace kovan
