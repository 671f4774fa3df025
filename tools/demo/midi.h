// Standard MIDI files for the demo music: a small hand-written writer
// (format 0, one track) and the tunes, each a melody over a chord sequence
// with an accompaniment, a bass line and drums generated from the chords.
#pragma once

#include <algorithm>
#include <cstdint>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace kovan::demo {

constexpr int kTicksPerQuarter = 480;
constexpr int kTicksPerEighth = kTicksPerQuarter / 2;
constexpr int kTicksPerBar = kTicksPerQuarter * 4;

// A variable-length quantity: seven bits a byte, high bit set on all but
// the last.
inline void PutVarLen(std::vector<std::uint8_t>& out, std::uint32_t v) {
  std::uint8_t buf[5];
  int n = 0;
  buf[n++] = static_cast<std::uint8_t>(v & 0x7F);
  while ((v >>= 7) != 0) buf[n++] = static_cast<std::uint8_t>(0x80 | (v & 0x7F));
  while (n > 0) out.push_back(buf[--n]);
}

inline void PutBe(std::vector<std::uint8_t>& out, std::uint32_t v, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// Events of one track, kept by time; at equal times note-offs go first.
class Track {
 public:
  void Add(std::uint32_t tick, std::vector<std::uint8_t> bytes) {
    const int rank = (bytes[0] & 0xF0) == 0x80 ? 0 : 1;
    events_.push_back({tick, rank, static_cast<int>(events_.size()), std::move(bytes)});
  }
  void Note(int channel, std::uint32_t tick, std::uint32_t length, int key, int velocity) {
    Add(tick, {static_cast<std::uint8_t>(0x90 | channel), static_cast<std::uint8_t>(key),
               static_cast<std::uint8_t>(velocity)});
    Add(tick + length,
        {static_cast<std::uint8_t>(0x80 | channel), static_cast<std::uint8_t>(key), 64});
  }
  // The whole file: header chunk and one track chunk ending in end-of-track,
  // at `end` when that comes after the last event.
  std::vector<std::uint8_t> Smf(std::uint32_t end = 0) const {
    std::vector<Event> sorted = events_;
    std::stable_sort(sorted.begin(), sorted.end(), [](const Event& a, const Event& b) {
      return a.tick != b.tick ? a.tick < b.tick : a.rank < b.rank;
    });
    std::vector<std::uint8_t> body;
    std::uint32_t now = 0;
    for (const Event& e : sorted) {
      PutVarLen(body, e.tick - now);
      now = e.tick;
      body.insert(body.end(), e.bytes.begin(), e.bytes.end());
    }
    PutVarLen(body, end > now ? end - now : 0);
    body.insert(body.end(), {0xFF, 0x2F, 0x00});
    std::vector<std::uint8_t> out{'M', 'T', 'h', 'd'};
    PutBe(out, 6, 4);
    PutBe(out, 0, 2);  // format 0
    PutBe(out, 1, 2);  // one track
    PutBe(out, kTicksPerQuarter, 2);
    out.insert(out.end(), {'M', 'T', 'r', 'k'});
    PutBe(out, static_cast<std::uint32_t>(body.size()), 4);
    out.insert(out.end(), body.begin(), body.end());
    return out;
  }

 private:
  struct Event {
    std::uint32_t tick;
    int rank;
    int order;
    std::vector<std::uint8_t> bytes;
  };
  std::vector<Event> events_;
};

struct Song {
  const char* title;
  int bpm;
  int melodyProgram;
  int harmonyProgram;
  int bassProgram;
  int doublingProgram;    // the second time through, a voice an octave below
  bool sustainedHarmony;  // held chords and soft brushes instead of a beat
  bool gsPercussion;      // a GS hand-percussion part on channel 11
  const char* chords;     // one chord a bar: "C", "Am", "F#m", "Bb"
  const char* melody;     // notes "E5:2" (length in eighths) and rests "R:2"
};

inline const std::vector<Song>& Songs() {
  static const std::vector<Song> kSongs = {
      {"Morning Road", 112, 0, 0, 33, 73, false, false, "C G Am F C F G C",
       "E5:2 G5:2 C6:3 B5:1 A5:2 G5:2 D5:4 C5:2 E5:2 A5:3 G5:1 F5:2 E5:2 C5:4 "
       "E5:2 G5:2 C6:2 D6:2 E6:2 D6:1 C6:1 A5:4 G5:2 F5:2 E5:2 D5:2 C5:6 R:2"},
      {"Quiet Afternoon", 80, 73, 48, 32, 68, true, false, "F C Dm Bb F Bb C F",
       "A4:3 C5:1 F5:4 E5:3 D5:1 C5:4 D5:2 F5:2 A5:4 G5:3 F5:1 D5:4 "
       "C5:2 F5:2 A5:2 G5:2 F5:3 D5:1 Bb4:4 C5:2 E5:2 G5:2 E5:2 F5:8"},
      {"Fading Light", 72, 0, 49, 32, 42, true, false, "Am F C G Am Dm E Am",
       "E5:2 A5:2 B5:2 C6:2 A5:4 F5:2 E5:2 G5:3 E5:1 C5:4 D5:2 G5:2 B4:4 "
       "C5:2 E5:2 A5:3 G5:1 F5:2 A5:2 D6:4 B5:2 G#5:2 E5:2 D5:2 C5:2 B4:2 A4:4"},
      {"Hurry Up", 138, 12, 45, 33, 11, false, true, "G Em C D G C D G",
       "G5:1 A5:1 B5:2 D6:2 B5:2 G5:1 E5:1 G5:2 B5:4 C6:1 B5:1 A5:2 G5:2 E5:2 F#5:2 A5:2 D5:4 "
       "B5:1 C6:1 D6:2 B5:2 G5:2 E6:2 C6:2 G5:2 E5:2 F#5:1 G5:1 A5:2 C6:2 F#5:2 G5:6 R:2"},
      {"Night Window", 66, 4, 89, 32, 52, true, false, "Dm Bb F C Gm Bb A Dm",
       "A4:3 D5:1 F5:4 F5:2 D5:2 Bb4:4 C5:3 F5:1 A5:4 G5:2 E5:2 C5:4 "
       "D5:2 G5:2 Bb5:4 A5:2 F5:2 D5:4 C#5:2 E5:2 A5:2 G5:2 F5:2 E5:2 D5:4"},
      {"Every Day", 96, 71, 24, 32, 0, false, true, "D A Bm G D G A D",
       "F#5:2 A5:2 D6:2 A5:2 C#6:3 B5:1 A5:4 B5:2 D6:2 F#5:4 G5:2 B5:2 D6:2 B5:2 "
       "A5:3 F#5:1 D5:4 G5:2 A5:2 B5:4 A5:2 G5:2 E5:2 C#5:2 D5:8"},
  };
  return kSongs;
}

// "C#5" -> 73; "R" -> -1. Throws on anything else.
inline int ParseKey(const std::string& name, bool withOctave) {
  if (name == "R") return -1;
  static const int kPitch[] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
  if (name.empty() || name[0] < 'A' || name[0] > 'G')
    throw std::invalid_argument("bad note " + name);
  int key = kPitch[name[0] - 'A'];
  std::size_t i = 1;
  if (i < name.size() && (name[i] == '#' || name[i] == 'b')) key += name[i++] == '#' ? 1 : -1;
  if (!withOctave) return (key + 12) % 12;
  if (i + 1 != name.size() || name[i] < '0' || name[i] > '8')
    throw std::invalid_argument("bad note " + name);
  return key + 12 * (name[i] - '0' + 1);
}

// The drum channel of General MIDI, and the part a GS message makes a
// second rhythm part.
constexpr int kDrums = 9;
constexpr int kHandPercussion = 10;

// One bar of drums. A beat: kick, snare and eighth hi-hats; the soft songs
// get a kick, a side stick and a ride. A crash opens each pass and a tom
// fill closes it.
inline void DrumBar(Track& t, const Song& song, std::uint32_t bar, bool first, bool last) {
  const std::uint32_t q = kTicksPerQuarter, e = kTicksPerEighth;
  auto hit = [&](std::uint32_t at, int key, int velocity) {
    t.Note(kDrums, bar + at, e / 2, key, velocity);
  };
  if (first) hit(0, 49, 90);
  if (song.sustainedHarmony) {
    hit(0, 36, 70);
    hit(2 * q, 37, 56);
    for (std::uint32_t i = 0; i < 4; ++i) hit(i * q, 51, i == 0 ? 62 : 48);
  } else {
    for (std::uint32_t at : {0u, 2 * q, 2 * q + e}) hit(at, 36, 96);
    for (std::uint32_t at : {q, 3 * q}) hit(at, 38, 88);
    for (std::uint32_t i = 0; i < 8; ++i) hit(i * e, 42, i % 2 == 0 ? 70 : 52);
  }
  if (last) {
    const int toms[] = {50, 48, 47, 45};
    for (std::uint32_t i = 0; i < 4; ++i) hit(2 * q + i * e, toms[i], 84);
  }
  if (song.gsPercussion) {
    for (std::uint32_t i = 0; i < 4; ++i) t.Note(kHandPercussion, bar + i * q + e, e / 2, 54, 60);
    for (std::uint32_t at : {q, 3 * q}) t.Note(kHandPercussion, bar + at, e / 2, 39, 72);
  }
}

// The accompaniment of one bar: harmony, bass and drums.
inline void BackingBar(Track& t, const Song& song, const std::string& chord, std::uint32_t bar,
                       bool first, bool last) {
  const bool minor = chord.size() > 1 && chord.back() == 'm';
  const int root = ParseKey(minor ? chord.substr(0, chord.size() - 1) : chord, false);
  const int tones[] = {root + 48, root + 48 + (minor ? 3 : 4), root + 55};
  const int lowRoot = root + 36;
  if (song.sustainedHarmony) {
    for (int k : tones) t.Note(1, bar, kTicksPerBar - 10, k + 12, 56);
  } else {
    const int pattern[] = {0, 1, 2, 1, 0, 1, 2, 1};
    for (int i = 0; i < 8; ++i)
      t.Note(1, bar + i * kTicksPerEighth, kTicksPerEighth - 10, tones[pattern[i]] + 12, 58);
  }
  t.Note(2, bar, kTicksPerQuarter * 2 - 20, lowRoot, 84);
  t.Note(2, bar + 2 * kTicksPerQuarter, kTicksPerQuarter - 20, lowRoot + 7, 76);
  t.Note(2, bar + 3 * kTicksPerQuarter, kTicksPerQuarter - 20, lowRoot + (minor ? 3 : 4), 72);
  DrumBar(t, song, bar, first, last);
}

// The melody once through from `start`; gives where it ends. With a
// doubling voice it is played an octave lower on channel 3 as well.
inline std::uint32_t MelodyPass(Track& t, const Song& song, std::uint32_t start, bool doubled) {
  std::istringstream notes(song.melody);
  std::uint32_t tick = start;
  for (std::string tok; notes >> tok;) {
    const auto colon = tok.find(':');
    const int key = ParseKey(tok.substr(0, colon), true);
    const std::uint32_t len =
        static_cast<std::uint32_t>(std::stoi(tok.substr(colon + 1))) * kTicksPerEighth;
    if (key >= 0) t.Note(0, tick, len - 20, key, 96);
    if (key >= 0 && doubled) t.Note(3, tick, len - 20, key - 12, 64);
    tick += len;
  }
  return tick;
}

inline std::vector<std::uint8_t> SysEx(std::vector<std::uint8_t> body) {
  std::vector<std::uint8_t> out{0xF0, static_cast<std::uint8_t>(body.size() + 1)};
  out.insert(out.end(), body.begin(), body.end());
  out.push_back(0xF7);
  return out;
}

// A song: two bars of backing, then the tune twice, the second time with
// its doubling voice. Every note ends before the last bar line, where the
// track ends, so the song repeats without a hanging note or a lost beat.
inline std::vector<std::uint8_t> SongToSmf(const Song& song) {
  Track t;
  const std::uint32_t tempo = 60'000'000u / static_cast<std::uint32_t>(song.bpm);
  const std::string title = song.title;
  // A General MIDI start, or a GS one that also makes part 11 a rhythm part.
  if (song.gsPercussion) {
    t.Add(0, SysEx({0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41}));
    t.Add(0, SysEx({0x41, 0x10, 0x42, 0x12, 0x40, 0x1A, 0x15, 0x02, 0x0F}));
  } else {
    t.Add(0, SysEx({0x7E, 0x7F, 0x09, 0x01}));
  }
  std::vector<std::uint8_t> name{0xFF, 0x03, static_cast<std::uint8_t>(title.size())};
  name.insert(name.end(), title.begin(), title.end());
  t.Add(0, name);
  t.Add(0, {0xFF, 0x51, 0x03, static_cast<std::uint8_t>(tempo >> 16),
            static_cast<std::uint8_t>(tempo >> 8), static_cast<std::uint8_t>(tempo)});
  t.Add(0, {0xFF, 0x58, 0x04, 0x04, 0x02, 0x18, 0x08});
  const int programs[] = {song.melodyProgram, song.harmonyProgram, song.bassProgram,
                          song.doublingProgram};
  const int volumes[] = {110, 72, 96, 80};
  for (int ch = 0; ch < 4; ++ch) {
    t.Add(0, {static_cast<std::uint8_t>(0xC0 | ch), static_cast<std::uint8_t>(programs[ch])});
    t.Add(0, {static_cast<std::uint8_t>(0xB0 | ch), 7, static_cast<std::uint8_t>(volumes[ch])});
  }
  t.Add(0, {0xB0 | kDrums, 7, 100});
  std::vector<std::string> chords;
  std::istringstream chordText(song.chords);
  for (std::string c; chordText >> c;) chords.push_back(c);
  constexpr std::uint32_t kIntroBars = 2;
  std::uint32_t bar = 0;
  for (std::uint32_t i = 0; i < kIntroBars; ++i, bar += kTicksPerBar) {
    BackingBar(t, song, chords[chords.size() - kIntroBars + i], bar, i == 0, false);
  }
  for (int pass = 0; pass < 2; ++pass) {
    const std::uint32_t start = bar;
    for (std::size_t i = 0; i < chords.size(); ++i, bar += kTicksPerBar) {
      BackingBar(t, song, chords[i], bar, i == 0, i + 1 == chords.size());
    }
    if (MelodyPass(t, song, start, pass == 1) != bar)
      throw std::invalid_argument(std::string("melody and chords differ in length in ") +
                                  song.title);
  }
  return t.Smf(bar);
}

}  // namespace kovan::demo
