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
  // How the window is drawn: "framebuffer" or one of SDL's render drivers
  // ("opengl", "opengles2", "software"...); empty picks the framebuffer
  // unless SDL's render-driver hint names a driver.
  std::string renderer;
};

[[nodiscard]] Result<std::unique_ptr<Platform>> CreateSdlPlatform(const SdlOptions& options = {});

}  // namespace kovan
