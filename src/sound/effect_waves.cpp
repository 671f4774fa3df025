// The effects are made here rather than shipped as files: each is a few
// sine partials under a short envelope, computed once into the exact wave
// file the game plays.
#include "sound/effect_waves.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "platform/wave.h"

namespace kovan {
namespace {

struct Partial {
  double hz;
  double gain;
  double startMs;  // the partial sounds from here on
};

struct EffectRecipe {
  int rate;
  int bits;
  double lengthMs;
  double decayMs;  // time for the envelope to fall to 1/e
  double level;
  std::vector<Partial> partials;
};

// 100: a dry tick. 101: a soft, high blip. 102: two notes a fifth apart,
// the second a moment later, like a small bell.
EffectRecipe RecipeOf(int no) {
  switch (no) {
    case 100:
      return {11025, 8, 14, 3.5, 0.8, {{1900, 1.0, 0}, {3100, 0.5, 0}, {700, 0.4, 0}}};
    case 101:
      return {11025, 16, 36, 9, 0.45, {{1320, 1.0, 0}, {2640, 0.25, 0}}};
    case 102:
      return {22050, 16, 60, 22, 0.5, {{880, 0.8, 0}, {1320, 1.0, 14}, {2640, 0.2, 14}}};
    default:
      return {};
  }
}

double SampleAt(const EffectRecipe& r, double ms) {
  // A 1 ms attack keeps the start from clicking; the tail is faded to 0.
  const double attack = std::min(1.0, ms / 1.0);
  const double tail = std::min(1.0, (r.lengthMs - ms) / 4.0);
  double sum = 0;
  for (const Partial& p : r.partials) {
    if (ms < p.startMs) continue;
    const double t = (ms - p.startMs) / 1000.0;
    const double onset = std::min(1.0, (ms - p.startMs) / 1.0);
    sum += p.gain * onset * std::exp(-(ms - p.startMs) / r.decayMs) *
           std::sin(2 * std::numbers::pi * p.hz * t);
  }
  return std::clamp(r.level * attack * std::max(0.0, tail) * sum, -1.0, 1.0);
}

}  // namespace

std::vector<std::uint8_t> EffectWave(int no) {
  const EffectRecipe r = RecipeOf(no);
  if (r.rate == 0) return {};
  const int frames = static_cast<int>(r.lengthMs * r.rate / 1000);
  std::vector<std::uint8_t> data;
  for (int i = 0; i < frames; ++i) {
    const double v = SampleAt(r, i * 1000.0 / r.rate);
    if (r.bits == 8) {
      data.push_back(static_cast<std::uint8_t>(std::lround(128 + v * 127)));
    } else {
      const auto s = static_cast<std::int16_t>(std::lround(v * 32767));
      data.push_back(static_cast<std::uint8_t>(s & 0xFF));
      data.push_back(static_cast<std::uint8_t>((s >> 8) & 0xFF));
    }
  }
  std::vector<std::uint8_t> riff =
      WaveHeader(r.rate, 1, r.bits, static_cast<std::uint32_t>(data.size()));
  riff.insert(riff.end(), data.begin(), data.end());
  return riff;
}

}  // namespace kovan
