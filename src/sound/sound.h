// Music and sound effects: the music of the scenario through the platform's
// synthesizer, the three built-in effects, and the game's own volume.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/data_files.h"
#include "engine/engine_state.h"
#include "engine/game_log.h"
#include "platform/platform.h"

namespace kovan {

class Sound {
 public:
  Sound(Platform& platform, EngineState& state, GameLog& log);
  // The repeat timer stops with the game that owns it.
  ~Sound() { BGMLoopStop(); }
  Sound(const Sound&) = delete;
  Sound& operator=(const Sound&) = delete;

  // Where music files are looked for (names matched regardless of case);
  // without it, DataPath followed by the name.
  void SetDataFiles(const DataFiles* data) { data_ = data; }

  // Start-up: opens the sound output, finds the game's volume, reads it
  // into VolumeAtStart and VolumeSaved, and starts BGMLoop. Music or
  // effects that can't be heard are switched off (BgmOn, SeOn), with a line
  // in the log saying why.
  void MixerOpen();
  // Shutdown: puts VolumeSaved back when it isn't 0 and closes the music.
  void Shutdown();
  // Stops BGMLoop for good (the script's end).
  void BGMLoopStop();

  // The script's "a" command; the selector is the last character of cmd:
  // "0" stops the music, "1"-"9" play effects 100-108 while SeOn, "A"-"I"
  // and "a"-"i" select music 1-9, "J"/"j" fade out and "K"/"k" fade back
  // in, the letters while BgmOn. Nothing while both are off.
  void CmdSound(const std::string& cmd);

  // Opens a MIDI file and starts it; MidiFile becomes its path. When that
  // fails music is off (BgmOn False) until switched on again, and the log
  // says why. Gives whether it plays.
  bool MusicPlay(const std::string& path);
  // Stops and closes the music; MidiFile becomes empty.
  void MusicStop();
  // Plays the open music again from its start; nothing when none is open.
  void MusicRestart();
  // "PLAYING" while the open music plays, "STOPPED" once it has ended or
  // was stopped, "" when none is open.
  std::string MusicStatus();

  // Plays built-in effect `no` (100 click, 101 pointer over an option or a
  // title button, 102 pick or slot) to its end before returning. Numbers
  // without a sound are ignored. Callers decide whether SeOn allows it.
  void EffectPlay(int no);

  // The game's master volume over music and effects (0 to 65535); the
  // system's mixer is never touched. VolumeFind is whether there is one to
  // set (a sound output); the others give false without it.
  bool VolumeFind();
  bool VolumeGet(std::uint32_t& value);
  bool VolumeSet(std::uint32_t value);
  // Nine steps down from start by start / 8, each held just over 100 ms
  // with events delivered; the volume is left at the last step, not 0.
  // Nothing below 8.
  void FadeOut(std::uint32_t start);
  // Nine steps up from 0 by target / 8, ending at the last multiple of the
  // step. A target below 8 is set at once.
  void FadeIn(std::uint32_t target);

 private:
  void MusicSelect(int m);
  void MusicEnd();
  void FadeStepWait();
  void BGMLoop();
  std::string MusicName() const;
  std::uint32_t Saved() const { return static_cast<std::uint32_t>(state_.VolumeSaved); }

  Platform& platform_;
  EngineState& state_;
  GameLog& log_;
  const DataFiles* data_ = nullptr;
  std::array<std::vector<std::uint8_t>, 3> effects_;
  bool volumeFound_ = false;
  int loopTimer_ = -1;
};

}  // namespace kovan
