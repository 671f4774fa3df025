#include "platform/midi_song.h"

#include <algorithm>

#include "platform/files.h"

namespace kovan {
namespace {

constexpr std::uint64_t kMaxFileBytes = 16u << 20;
constexpr std::size_t kMaxEvents = 1'000'000;
constexpr std::uint32_t kDefaultTempo = 500'000;  // microseconds a quarter: 120 bpm

// An event as read from its track, before the tempo map gives it a time.
struct TrackEvent {
  std::int64_t tick;
  int track;
  std::size_t order;
  MidiEvent event;
  std::uint32_t tempo;  // microseconds a quarter of a tempo change; 0 = none
};

class Reader {
 public:
  Reader(const std::vector<std::uint8_t>& bytes, std::size_t at, std::size_t end)
      : bytes_(bytes), at_(at), end_(std::min(end, bytes.size())) {}
  bool AtEnd() const { return at_ >= end_; }
  bool Byte(std::uint8_t& out) {
    if (at_ >= end_) return false;
    out = bytes_[at_++];
    return true;
  }
  bool Peek(std::uint8_t& out) const {
    if (at_ >= end_) return false;
    out = bytes_[at_];
    return true;
  }
  // A variable-length quantity of at most four bytes.
  bool VarLen(std::uint32_t& out) {
    out = 0;
    for (int i = 0; i < 4; ++i) {
      std::uint8_t b = 0;
      if (!Byte(b)) return false;
      out = (out << 7) | (b & 0x7Fu);
      if ((b & 0x80) == 0) return true;
    }
    return false;
  }
  const std::vector<std::uint8_t>& Bytes() const { return bytes_; }
  bool Skip(std::uint32_t n, std::size_t& from) {
    if (end_ - at_ < n) return false;
    from = at_;
    at_ += n;
    return true;
  }

 private:
  const std::vector<std::uint8_t>& bytes_;
  std::size_t at_;
  std::size_t end_;
};

std::uint32_t Be(const std::vector<std::uint8_t>& b, std::size_t at, int n) {
  std::uint32_t v = 0;
  for (int i = 0; i < n; ++i) v = (v << 8) | b[at + static_cast<std::size_t>(i)];
  return v;
}

// Reads one track into out; gives the track's end in ticks. Bytes that
// don't make an event end the track where they stand.
std::int64_t ReadTrack(Reader r, int track, std::vector<TrackEvent>& out) {
  std::int64_t tick = 0;
  std::uint8_t running = 0;
  auto add = [&](MidiEvent e, std::uint32_t tempo) {
    out.push_back(TrackEvent{tick, track, out.size(), e, tempo});
  };
  while (!r.AtEnd() && out.size() <= kMaxEvents) {
    std::uint32_t delta = 0;
    std::uint8_t lead = 0;
    if (!r.VarLen(delta) || !r.Peek(lead)) break;
    tick += delta;
    if (lead == 0xFF || lead == 0xF0 || lead == 0xF7) {
      std::uint8_t type = 0;
      std::uint32_t length = 0;
      std::size_t at = 0;
      (void)r.Byte(lead);
      if (lead == 0xFF && !r.Byte(type)) break;
      if (!r.VarLen(length) || !r.Skip(length, at)) break;
      if (lead == 0xFF && type == 0x2F) return tick;
      if (lead == 0xFF && type == 0x51 && length == 3) {
        // Tempo changes hold for every track, read from wherever they are.
        const std::uint32_t tempo = Be(r.Bytes(), at, 3);
        if (tempo != 0) add(MidiEvent{}, tempo);
      } else if (lead == 0xF0) {
        MidiEvent e;
        e.status = 0xF0;
        e.sysexAt = static_cast<std::uint32_t>(at);
        e.sysexSize = length;
        add(e, 0);
      }
      continue;
    }
    std::uint8_t status = running;
    if (lead >= 0x80) {
      (void)r.Byte(status);
      if (status >= 0xF0) break;  // no system message stands alone in a file
      running = status;
    }
    if (status == 0) break;  // running status with nothing to run on
    MidiEvent e;
    e.status = status;
    const int kind = status & 0xF0;
    if (!r.Byte(e.data1) || e.data1 >= 0x80) break;
    if (kind != 0xC0 && kind != 0xD0 && (!r.Byte(e.data2) || e.data2 >= 0x80)) break;
    add(e, 0);
  }
  return tick;
}

}  // namespace

Result<MidiSong> ParseMidi(const std::vector<std::uint8_t>& bytes) {
  using R = Result<MidiSong>;
  if (bytes.size() < 14 || Be(bytes, 0, 4) != 0x4D546864u) return R::Error("not a MIDI file");
  const std::uint32_t headerLength = Be(bytes, 4, 4);
  const std::uint32_t format = Be(bytes, 8, 2);
  const std::uint32_t division = Be(bytes, 12, 2);
  if (headerLength < 6 || format > 2 || division == 0) return R::Error("a broken MIDI header");
  // Time-code division: frames a second (29 stands for 29.97) times ticks
  // a frame, in hundredths.
  const bool timeCode = (division & 0x8000u) != 0;
  const std::int64_t fps100 =
      timeCode ? (static_cast<std::int8_t>(division >> 8) == -29
                      ? 2997
                      : -static_cast<std::int64_t>(static_cast<std::int8_t>(division >> 8)) * 100)
               : 0;
  const std::int64_t ticksPer = timeCode ? fps100 * (division & 0xFFu) : division;
  if (ticksPer <= 0) return R::Error("a broken MIDI header");

  MidiSong song;
  std::vector<TrackEvent> raw;
  std::int64_t endTick = 0;
  int tracks = 0;
  for (std::size_t at = 8 + static_cast<std::size_t>(headerLength); at + 8 <= bytes.size();) {
    const std::uint32_t id = Be(bytes, at, 4);
    const std::uint64_t length = Be(bytes, at + 4, 4);
    if (id == 0x4D54726Bu) {  // "MTrk"
      endTick = std::max(endTick, ReadTrack(Reader(bytes, at + 8, at + 8 + length), tracks, raw));
      ++tracks;
      if (raw.size() > kMaxEvents) return R::Error("too many MIDI events");
    }
    if (length > bytes.size() - at - 8) break;
    at += 8 + static_cast<std::size_t>(length);
  }
  if (tracks == 0) return R::Error("a MIDI file without a track");

  std::stable_sort(raw.begin(), raw.end(), [](const TrackEvent& a, const TrackEvent& b) {
    return a.tick != b.tick ? a.tick < b.tick : a.track < b.track;
  });
  // The tempo map: time at a tick is the time of the last change plus the
  // ticks since, at that change's tempo.
  std::int64_t baseTick = 0, baseUs = 0, tempo = kDefaultTempo;
  auto timeAt = [&](std::int64_t tick) {
    if (timeCode) return baseUs + (tick - baseTick) * 100'000'000 / ticksPer;
    return baseUs + (tick - baseTick) * tempo / ticksPer;
  };
  song.events.reserve(raw.size());
  for (TrackEvent& t : raw) {
    if (t.tempo != 0) {
      if (timeCode) continue;  // time-code ticks have a fixed length
      baseUs = timeAt(t.tick);
      baseTick = t.tick;
      tempo = t.tempo;
      continue;
    }
    MidiEvent e = t.event;
    e.us = timeAt(t.tick);
    if (e.status == 0xF0) {
      std::uint32_t size = e.sysexSize;
      if (size > 0 && bytes[e.sysexAt + size - 1] == 0xF7) --size;
      const auto from = bytes.begin() + e.sysexAt;
      e.sysexAt = static_cast<std::uint32_t>(song.sysex.size());
      e.sysexSize = size;
      song.sysex.insert(song.sysex.end(), from, from + size);
    }
    song.events.push_back(e);
  }
  song.endUs = std::max(timeAt(endTick), song.events.empty() ? 0 : song.events.back().us);
  return song;
}

Result<MidiSong> LoadMidi(const std::string& path) {
  if (!FileExists(path)) return Result<MidiSong>::Error("no such file");
  const auto length = FileLength(path);
  if (!length || *length > kMaxFileBytes)
    return Result<MidiSong>::Error("too large for a MIDI file");
  auto bytes = ReadFileBytes(path);
  if (!bytes) return Result<MidiSong>::Error(bytes.error());
  return ParseMidi(bytes.value());
}

}  // namespace kovan
