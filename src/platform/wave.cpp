#include "platform/wave.h"

#include <algorithm>
#include <string_view>

namespace kovan {
namespace {

std::uint32_t Le(const std::vector<std::uint8_t>& b, std::size_t at, int n) {
  std::uint32_t v = 0;
  for (int i = n - 1; i >= 0; --i) v = (v << 8) | b[at + static_cast<std::size_t>(i)];
  return v;
}

void PutLe(std::vector<std::uint8_t>& out, std::uint32_t v, int n) {
  for (int i = 0; i < n; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

bool Tag(const std::vector<std::uint8_t>& b, std::size_t at, const char* tag) {
  return std::equal(tag, tag + 4, b.begin() + static_cast<std::ptrdiff_t>(at));
}

}  // namespace

std::uint32_t Wave::LengthMs() const {
  if (rate <= 0) return 0;
  return static_cast<std::uint32_t>((Frames() * 1000 + static_cast<std::size_t>(rate) - 1) /
                                    static_cast<std::size_t>(rate));
}

Result<Wave> DecodeWave(const std::vector<std::uint8_t>& riff) {
  using R = Result<Wave>;
  if (riff.size() < 12 || !Tag(riff, 0, "RIFF") || !Tag(riff, 8, "WAVE")) {
    return R::Error("not a wave file");
  }
  Wave wave;
  bool haveFormat = false;
  for (std::size_t at = 12; at + 8 <= riff.size();) {
    const std::size_t length = Le(riff, at + 4, 4);
    const std::size_t body = at + 8;
    const std::size_t have = std::min(length, riff.size() - body);
    if (Tag(riff, at, "fmt ") && have >= 16) {
      if (Le(riff, body, 2) != 1) return R::Error("a compressed wave");
      wave.channels = static_cast<int>(Le(riff, body + 2, 2));
      wave.rate = static_cast<int>(Le(riff, body + 4, 4));
      wave.bits = static_cast<int>(Le(riff, body + 14, 2));
      if (wave.channels < 1 || wave.channels > 2 || wave.rate < 1000 || wave.rate > 192000 ||
          (wave.bits != 8 && wave.bits != 16)) {
        return R::Error("a wave format other than 8 or 16 bits, mono or stereo");
      }
      haveFormat = true;
    } else if (Tag(riff, at, "data") && haveFormat) {
      const std::size_t width = static_cast<std::size_t>(wave.bits / 8);
      const std::size_t count = have / width / static_cast<std::size_t>(wave.channels) *
                                static_cast<std::size_t>(wave.channels);
      wave.samples.reserve(count);
      for (std::size_t i = 0; i < count; ++i) {
        if (width == 1) {
          wave.samples.push_back((static_cast<float>(riff[body + i]) - 128.0f) / 128.0f);
        } else {
          const auto v = static_cast<std::int16_t>(Le(riff, body + 2 * i, 2));
          wave.samples.push_back(static_cast<float>(v) / 32768.0f);
        }
      }
      return wave;
    }
    if (length > riff.size() - body) break;
    at = body + length + (length & 1);  // chunks are padded to even lengths
  }
  return R::Error(haveFormat ? "a wave without samples" : "a wave without a format");
}

std::vector<std::uint8_t> WaveHeader(int rate, int channels, int bits, std::uint32_t dataBytes) {
  const int frameBytes = channels * bits / 8;
  std::vector<std::uint8_t> h;
  for (char c : std::string_view("RIFF")) h.push_back(static_cast<std::uint8_t>(c));
  PutLe(h, 36 + dataBytes, 4);
  for (char c : std::string_view("WAVEfmt ")) h.push_back(static_cast<std::uint8_t>(c));
  PutLe(h, 16, 4);
  PutLe(h, 1, 2);  // PCM
  PutLe(h, static_cast<std::uint32_t>(channels), 2);
  PutLe(h, static_cast<std::uint32_t>(rate), 4);
  PutLe(h, static_cast<std::uint32_t>(rate * frameBytes), 4);
  PutLe(h, static_cast<std::uint32_t>(frameBytes), 2);
  PutLe(h, static_cast<std::uint32_t>(bits), 2);
  for (char c : std::string_view("data")) h.push_back(static_cast<std::uint8_t>(c));
  PutLe(h, dataBytes, 4);
  return h;
}

}  // namespace kovan
