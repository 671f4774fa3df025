// RIFF wave files of uncompressed PCM: read into samples, and the header
// written.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/result.h"

namespace kovan {

struct Wave {
  int rate = 0;
  int channels = 0;
  int bits = 0;
  std::vector<float> samples;  // interleaved, -1 .. 1

  std::size_t Frames() const { return channels > 0 ? samples.size() / channels : 0; }
  // The sound's length, rounded up to whole milliseconds.
  std::uint32_t LengthMs() const;
};

// Reads an uncompressed PCM wave of 8 or 16 bits, mono or stereo. A data
// chunk longer than the file keeps what is there.
[[nodiscard]] Result<Wave> DecodeWave(const std::vector<std::uint8_t>& riff);

// The 44-byte header of a PCM wave holding dataBytes of samples.
std::vector<std::uint8_t> WaveHeader(int rate, int channels, int bits, std::uint32_t dataBytes);

}  // namespace kovan
