// The program's three built-in sound effects, as complete RIFF wave files.
#pragma once

#include <cstdint>
#include <vector>

namespace kovan {

// Effect 100 (a click: 11025 Hz, 8 bit), 101 (the pointer onto an option or
// a button: 11025 Hz, 16 bit) or 102 (a pick: 22050 Hz, 16 bit), all mono;
// empty for any other number.
std::vector<std::uint8_t> EffectWave(int no);

}  // namespace kovan
