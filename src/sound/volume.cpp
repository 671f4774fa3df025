// The game's own master volume, its fades, and the built-in effects.
#include <algorithm>

#include "sound/sound.h"

namespace kovan {
namespace {

constexpr std::uint32_t kFadeSteps = 8;
constexpr std::uint32_t kFadeStepMs = 100;
// The steps poll the clock; a millisecond's sleep between polls keeps the
// wait from spinning and makes each step last exactly 101 ms of game time
// on the headless clock.
constexpr std::uint32_t kFadePollMs = 1;
constexpr int kFirstEffect = 100;

}  // namespace

bool Sound::VolumeFind() { return volumeFound_; }

bool Sound::VolumeGet(std::uint32_t& value) {
  if (!volumeFound_) return false;
  value = platform_.audio().Volume();
  return true;
}

bool Sound::VolumeSet(std::uint32_t value) {
  if (!volumeFound_) return false;
  value = std::min(value, kFullVolume);
  platform_.audio().SetVolume(value);
  platform_.trace().Event(platform_.Ticks(), "volume",
                          {{"value", static_cast<std::int64_t>(value)}});
  return true;
}

void Sound::FadeStepWait() {
  const std::uint32_t start = platform_.Ticks();
  while (platform_.Ticks() - start <= kFadeStepMs) {
    platform_.DoEvents();
    platform_.Sleep(kFadePollMs);
  }
}

void Sound::FadeOut(std::uint32_t start) {
  const std::uint32_t step = start / kFadeSteps;
  if (step == 0) return;
  platform_.trace().Event(platform_.Ticks(), "music", {{"op", "fadeout"}, {"file", MusicName()}});
  // From 65535 that is 65535, 57344, ... 7: the last step stays above 0.
  for (std::int64_t v = start; v >= 0; v -= step) {
    (void)VolumeSet(static_cast<std::uint32_t>(v));
    FadeStepWait();
  }
}

void Sound::FadeIn(std::uint32_t target) {
  const std::uint32_t step = target / kFadeSteps;
  platform_.trace().Event(platform_.Ticks(), "music", {{"op", "fadein"}, {"file", MusicName()}});
  if (step == 0) {
    // Steps of 0 would never arrive: the target is simply set.
    (void)VolumeSet(target);
    return;
  }
  for (std::uint32_t v = 0; v <= target; v += step) {
    (void)VolumeSet(v);
    FadeStepWait();
  }
}

void Sound::EffectPlay(int no) {
  if (no < kFirstEffect || no >= kFirstEffect + static_cast<int>(effects_.size())) return;
  platform_.trace().Event(platform_.Ticks(), "effect", {{"no", no}});
  const Result<std::uint32_t> length =
      platform_.audio().PlayWave(effects_[static_cast<std::size_t>(no - kFirstEffect)]);
  // The game waits for the effect as for a sound played to its end: no
  // events run meanwhile.
  if (length) platform_.Sleep(*length);
}

}  // namespace kovan
