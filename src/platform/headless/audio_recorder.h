// The headless runner's ear: the stream a player would hear, rendered
// offline on the game's clock into a 16-bit stereo wave file, so sample
// n of the file is game time n / 44.1 ms.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/audio.h"

namespace kovan {

// The recording starts at game time 0 and grows as the clock moves; Close
// writes the file's header. The SoundFont is found as FindSoundFont says.
std::unique_ptr<Audio> CreateAudioRecorder(std::function<std::uint32_t()> clock,
                                           std::string wavPath, std::string soundFont);

}  // namespace kovan
