// Music and sound effects: the music of the scenario through the platform's
// synthesizer, the three built-in effects, and the game's own volume.
#pragma once

#include <cstdint>
#include <string>

#include "engine/engine_state.h"
#include "engine/game_log.h"
#include "platform/platform.h"

namespace kovan {

class Sound {
 public:
  Sound(Platform& platform, EngineState& state, GameLog& log);

  // Plays built-in effect `no` (100 click, 101 pointer over an option or a
  // title button, 102 pick or slot) to its end before returning. Numbers
  // without a sound are ignored. Callers decide whether SeOn allows it.
  void EffectPlay(int no);
  // Stops and closes the music; MidiFile becomes empty.
  void MusicStop();

 private:
  Platform& platform_;
  EngineState& state_;
  GameLog& log_;
};

}  // namespace kovan
