// The sound device: SDL's audio output, fed by the mixer from SDL's audio
// thread. Every call from the game takes the device's lock.
#pragma once

#include <memory>
#include <string>

#include "platform/audio.h"

namespace kovan {

// Nothing is opened until Open; a missing device is reported there.
std::unique_ptr<Audio> CreateSdlAudio(std::string soundFont);

}  // namespace kovan
