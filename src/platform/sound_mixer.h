// The one stream the player hears: a song sequenced into the General MIDI
// synthesizer, waves mixed over it, the master volume over both, and a
// limiter that keeps the sum from clipping. Rendering is driven from outside
// (the device's callback or an offline recording), so the song's time is
// counted in samples and comes out the same on every run. Not thread-safe:
// a device wraps every call in its lock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/midi_song.h"
#include "platform/result.h"
#include "platform/wave.h"

struct _fluid_hashtable_t;
struct _fluid_synth_t;

namespace kovan {

class SoundMixer {
 public:
  static constexpr int kRate = 44100;
  static constexpr int kChannels = 2;

  SoundMixer();
  ~SoundMixer();
  SoundMixer(const SoundMixer&) = delete;
  SoundMixer& operator=(const SoundMixer&) = delete;

  // Starts the synthesizer with a SoundFont file. Without one, music can't
  // be loaded but waves still play; the error says why.
  [[nodiscard]] Status Start(const std::string& soundFont);

  // Takes a song, silencing and replacing the one before; fails without a
  // synthesizer.
  [[nodiscard]] Status MusicLoad(MidiSong song);
  // Plays the song from its start.
  void MusicPlay();
  // Silences the song within a few milliseconds; it stays loaded.
  void MusicStop();
  void MusicClose();
  // Started and not yet at the song's end.
  bool MusicPlaying() const { return playing_; }

  void SetVolume(std::uint32_t value);
  std::uint32_t Volume() const { return volume_; }

  // Mixes a wave in from the next sample on.
  void AddWave(const Wave& wave);

  // The next `frames` samples, stereo interleaved.
  void Render(std::int16_t* out, std::size_t frames);

 private:
  struct Voice {
    std::vector<float> stereo;  // at kRate, interleaved
    std::size_t at = 0;
  };

  void RenderMusic(float* left, float* right, std::size_t frames);
  // Sequences song events due by the song's current sample; ends the song
  // when its end has come.
  void DispatchDue();
  void Dispatch(const MidiEvent& e);
  void Sysex(const std::uint8_t* data, std::size_t size);
  void ReleaseHeldNotes();
  void ApplyMusicGain();
  void CutMusic();
  std::int64_t FrameOf(std::int64_t us) const { return us * kRate / 1'000'000; }

  _fluid_hashtable_t* settings_ = nullptr;  // the synthesizer's settings
  _fluid_synth_t* synth_ = nullptr;
  MidiSong song_;
  bool loaded_ = false;
  bool playing_ = false;
  std::size_t next_ = 0;         // the next song event
  std::int64_t songFrame_ = 0;   // samples since the song started
  std::size_t stopRamp_ = 0;     // samples left of a stop's fade
  std::size_t quietFrames_ = 0;  // samples since the synthesizer fell silent
  std::uint32_t volume_ = 65535;
  std::vector<Voice> voices_;
  std::vector<float> left_, right_;
};

}  // namespace kovan
