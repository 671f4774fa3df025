#include "sound/sound.h"

namespace kovan {

Sound::Sound(Platform& platform, EngineState& state, GameLog& log)
    : platform_(platform), state_(state), log_(log) {}

void Sound::EffectPlay(int no) {
  platform_.trace().Event(platform_.Ticks(), "effect", {{"no", no}});
}

void Sound::MusicStop() {
  if (!state_.MidiFile.empty()) {
    platform_.trace().Event(platform_.Ticks(), "music", {{"op", "stop"}, {"file", state_.MidiFile}});
  }
  state_.MidiFile.clear();
}

}  // namespace kovan
