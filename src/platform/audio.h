// The game's sound output: one piece of music from a standard MIDI file
// through a General MIDI synthesizer, short waves mixed over it, and the
// game's own master volume over both. The system's mixer is never touched.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/result.h"

namespace kovan {

constexpr std::uint32_t kFullVolume = 65535;

// What the output can do once opened.
struct AudioStart {
  bool music = true;    // a synthesizer with a SoundFont is there
  bool effects = true;  // waves can be heard
  std::string note;     // a line for the game's log; "" when all is well
};

class Audio {
 public:
  virtual ~Audio() = default;

  // Starts the output: the device, the synthesizer and its SoundFont.
  // Before Open nothing sounds. Without a device nothing ever will: music
  // and waves then fail to start.
  virtual AudioStart Open() = 0;

  // Opens a standard MIDI file, closing the music open before. The error
  // says why it can't be played: missing, not MIDI, no SoundFont.
  [[nodiscard]] virtual Status MusicOpen(const std::string& path) = 0;
  // Plays the open music from its start; nothing when none is open.
  virtual void MusicPlay() = 0;
  // Silences the music; it stays open.
  virtual void MusicStop() = 0;
  // Silences and closes the music.
  virtual void MusicClose() = 0;
  // Whether the open music was started and hasn't reached its end. At its
  // end every note still held is released.
  virtual bool MusicPlaying() = 0;

  // The master volume over music and effects, 0 to 65535 (larger values
  // count as 65535); it starts at 65535.
  virtual void SetVolume(std::uint32_t value) = 0;
  virtual std::uint32_t Volume() = 0;

  // Starts a wave (a whole RIFF file in memory) over the music and gives
  // its length in ms; the caller decides whether to wait for it. The error
  // says why it can't be played.
  [[nodiscard]] virtual Result<std::uint32_t> PlayWave(const std::vector<std::uint8_t>& riff) = 0;

  // Ends the output; a recording is finished and written, and the error
  // says what failed. Later calls are silent.
  [[nodiscard]] virtual Status Close() { return Status(); }
};

// Audio without a device: nothing sounds, but music ends when its length
// has passed on the clock and waves give their lengths, so the game keeps
// its timing. Used by the headless runner and where no device opens.
std::unique_ptr<Audio> CreateSilentAudio(std::function<std::uint32_t()> clock);

// The SoundFont to play music with: `chosen` when given, else the file named
// by KOVAN_SOUNDFONT, else the best General MIDI SoundFont installed; ""
// when there is none.
std::string FindSoundFont(const std::string& chosen);

}  // namespace kovan
