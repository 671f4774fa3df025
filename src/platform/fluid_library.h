// The synthesizer's library, opened when music is first wanted rather than
// linked: a game that plays no music never loads it, nor the thirty-odd
// libraries it brings (audio servers, sound-file codecs, GLib), which keeps
// the start quick and the memory small.
#pragma once

#include <fluidsynth.h>

#include <memory>

#include "platform/result.h"

namespace kovan {

// Every library call the mixer makes.
#define KOVAN_FLUID_CALLS(X)                                                                  \
  X(new_fluid_settings)                                                                       \
  X(delete_fluid_settings) X(new_fluid_synth) X(delete_fluid_synth) X(fluid_set_log_function) \
      X(fluid_settings_setnum) X(fluid_settings_setint) X(fluid_synth_sfload)                 \
          X(fluid_synth_set_gain) X(fluid_synth_all_sounds_off) X(fluid_synth_cc)             \
              X(fluid_synth_all_notes_off) X(fluid_synth_write_float)                         \
                  X(fluid_synth_get_active_voice_count) X(fluid_synth_noteoff)                \
                      X(fluid_synth_noteon) X(fluid_synth_key_pressure)                       \
                          X(fluid_synth_program_change) X(fluid_synth_channel_pressure)       \
                              X(fluid_synth_pitch_bend) X(fluid_synth_system_reset)           \
                                  X(fluid_synth_set_channel_type) X(fluid_synth_get_program)  \
                                      X(fluid_synth_sysex)

// The library's calls under their own names. It stays loaded until the
// process ends (its threads and GLib may not be unloaded safely).
class FluidLibrary {
 public:
  // The library, or an error naming what could not be found.
  [[nodiscard]] static Result<std::unique_ptr<FluidLibrary>> Open();

#define KOVAN_FLUID_MEMBER(name) decltype(&::name) name = nullptr;
  KOVAN_FLUID_CALLS(KOVAN_FLUID_MEMBER)
#undef KOVAN_FLUID_MEMBER
};

}  // namespace kovan
