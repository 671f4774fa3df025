// The colours of the window's own controls: the menu bar and the message
// boxes share them.
#pragma once

#include "platform/surface.h"

namespace kovan::ui {

constexpr Rgb kFace = 0xD4D0C8;
constexpr Rgb kLight = 0xFFFFFF;
constexpr Rgb kShadow = 0x808080;
constexpr Rgb kDarkShadow = 0x404040;
constexpr Rgb kCaptionBar = 0x0A246A;
constexpr Rgb kText = 0x000000;

}  // namespace kovan::ui
