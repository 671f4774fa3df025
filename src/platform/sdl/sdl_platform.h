// The real window: SDL2 video with the picture below a menu-bar strip.
#pragma once

#include <memory>
#include <string>

#include "platform/platform.h"
#include "platform/result.h"
#include "platform/viewport.h"

namespace kovan {

struct SdlOptions {
  // The window opens with its picture at this whole factor of 640 x 480,
  // or the largest smaller one the desktop has room for.
  int scale = 1;
  ScaleFilter filter = ScaleFilter::kAuto;
  // Music is played with the SoundFont FindSoundFont finds for this name.
  std::string soundFont;
};

[[nodiscard]] Result<std::unique_ptr<Platform>> CreateSdlPlatform(const SdlOptions& options = {});

}  // namespace kovan
