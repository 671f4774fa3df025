// Music: the script's sound command, opening, stopping and repeating the
// music, and the start-up and shutdown of the sound output.
#include "sound/sound.h"

#include "sound/effect_waves.h"

namespace kovan {
namespace {

constexpr std::uint32_t kLoopIntervalMs = 500;
constexpr int kFirstEffect = 100;
constexpr int kMusicFadeOut = 10;
constexpr int kMusicFadeIn = 11;

}  // namespace

Sound::Sound(Platform& platform, EngineState& state, GameLog& log)
    : platform_(platform), state_(state), log_(log) {
  for (std::size_t i = 0; i < effects_.size(); ++i) {
    effects_[i] = EffectWave(kFirstEffect + static_cast<int>(i));
  }
}

void Sound::MixerOpen() {
  const AudioStart start = platform_.audio().Open();
  if (!start.note.empty()) log_.Line(start.note);
  if (!start.music) state_.BgmOn = false;
  if (!start.effects) state_.SeOn = false;
  volumeFound_ = start.effects;
  if (!VolumeFind()) {
    state_.BgmOn = false;
    state_.SeOn = false;
  }
  std::uint32_t volume = 0;
  if (VolumeGet(volume)) state_.VolumeAtStart = static_cast<std::int32_t>(volume);
  state_.VolumeSaved = state_.VolumeAtStart;
  if (loopTimer_ < 0) loopTimer_ = platform_.AddTimer(kLoopIntervalMs, [this] { BGMLoop(); });
}

void Sound::Shutdown() {
  if (state_.VolumeSaved != 0) (void)VolumeSet(Saved());
  MusicStop();
  BGMLoopStop();
}

void Sound::BGMLoopStop() { platform_.EnableTimer(loopTimer_, false); }

void Sound::BGMLoop() {
  // The music starts again within half a second of its end.
  if (state_.BgmNo != 0 && MusicStatus() != "PLAYING") MusicRestart();
}

void Sound::CmdSound(const std::string& cmd) {
  if ((!state_.BgmOn && !state_.SeOn) || cmd.empty()) return;
  const char c = cmd.back();
  const int n = c - '0';
  if (n == 0) {
    MusicEnd();
    return;
  }
  if (n >= 1 && n <= 9) {
    // While effects are off a digit selects no music either.
    if (state_.SeOn) EffectPlay(n + kFirstEffect - 1);
    return;
  }
  if (!state_.BgmOn) return;
  const int m = c >= 'A' && c <= 'Z' ? n - 16 : c >= 'a' && c <= 'z' ? n - 48 : 0;
  if (m >= 1 && m <= 9) {
    MusicSelect(m);
  } else if (m == kMusicFadeOut) {
    std::uint32_t volume = 0;
    if (!VolumeGet(volume)) volume = 0;
    // The music plays on, unheard, until "K" brings it back.
    if (volume != 0) FadeOut(volume);
  } else if (m == kMusicFadeIn) {
    FadeIn(Saved());
  }
}

void Sound::MusicSelect(int m) {
  const std::string& name = state_.BgmFile[static_cast<std::size_t>(m)];
  if (name.empty() || m == state_.BgmNo) return;
  // A faded-out volume read here is kept as VolumeSaved: the new music
  // plays as low as the old one was left, until "K".
  std::uint32_t volume = 0;
  if (VolumeGet(volume)) {
    state_.VolumeSaved = static_cast<std::int32_t>(volume);
  } else {
    volume = 0;
  }
  if (MusicStatus() == "PLAYING") {
    if (volume != 0) FadeOut(volume);
    platform_.DoEvents();
    MusicStop();
    (void)VolumeSet(Saved());
  } else if (!state_.MidiFile.empty()) {
    // Music that has ended but not yet been repeated is still open; it is
    // closed before the new one opens, so the change never fails on it.
    MusicStop();
  }
  state_.BgmNo = static_cast<std::int16_t>(m);
  (void)MusicPlay(data_ != nullptr ? data_->PathOf(name) : state_.DataPath + name);
  platform_.DoEvents();
}

void Sound::MusicEnd() {
  state_.BgmNo = 0;
  std::uint32_t volume = 0;
  if (VolumeGet(volume)) {
    state_.VolumeSaved = static_cast<std::int32_t>(volume);
  } else {
    volume = 0;
  }
  if (volume != 0) FadeOut(volume);
  MusicStop();
  (void)VolumeSet(Saved());
}

bool Sound::MusicPlay(const std::string& path) {
  state_.MidiFile.clear();
  const std::string name = path.substr(path.find_last_of('/') + 1);
  platform_.trace().Event(platform_.Ticks(), "music", {{"op", "open"}, {"file", name}});
  if (Status opened = platform_.audio().MusicOpen(path); !opened) {
    log_.Line("The music " + name + " can't be played (" + opened.error() + "); music is off.");
    state_.BgmOn = false;
    return false;
  }
  platform_.audio().MusicPlay();
  state_.MidiFile = path;
  platform_.trace().Event(platform_.Ticks(), "music", {{"op", "play"}, {"file", name}});
  return true;
}

void Sound::MusicStop() {
  platform_.audio().MusicClose();
  if (!state_.MidiFile.empty()) {
    platform_.trace().Event(platform_.Ticks(), "music", {{"op", "stop"}, {"file", MusicName()}});
  }
  state_.MidiFile.clear();
}

void Sound::MusicRestart() {
  if (state_.MidiFile.empty()) return;
  platform_.audio().MusicStop();
  platform_.audio().MusicPlay();
  platform_.trace().Event(platform_.Ticks(), "music", {{"op", "restart"}, {"file", MusicName()}});
}

std::string Sound::MusicStatus() {
  if (state_.MidiFile.empty()) return "";
  return platform_.audio().MusicPlaying() ? "PLAYING" : "STOPPED";
}

std::string Sound::MusicName() const {
  return state_.MidiFile.substr(state_.MidiFile.find_last_of('/') + 1);
}

}  // namespace kovan
