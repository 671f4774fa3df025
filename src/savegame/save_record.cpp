#include "savegame/save_record.h"

#include <algorithm>
#include <cmath>

#include "engine/game_log.h"
#include "platform/text_codec.h"

namespace kovan {

namespace {

struct Field {
  const char* name;
  std::size_t width;
};

// The fields of the state string in order.
constexpr Field kFields[] = {
    {"kou", 3},     {"pap", 3},      {"rub", 3},  {"place", 3},
    {"section", 4}, {"density", 4},  {"music", 2}, {"effects", 2},
    {"mode", 2},    {"line", 4},     {"track", 2},
};

long long Power10(std::size_t n) {
  long long p = 1;
  for (std::size_t i = 0; i < n; ++i) p *= 10;
  return p;
}

// The value's text padded with "0" and cut to its width; a value that
// doesn't fit is held at the nearest one that does.
std::string FieldText(long long value, std::size_t width) {
  const long long high = Power10(width) - 1;
  const long long low = -(Power10(width - 1) - 1);
  const std::string text = std::string(width - 1, '0') + std::to_string(std::clamp(value, low, high));
  return text.substr(text.size() - width);
}

// Zeros of padding, an optional minus, then at least one digit.
bool ReadField(std::string_view text, long long& value) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == '0') ++i;
  bool negative = false;
  if (i < text.size() && text[i] == '-') {
    negative = true;
    ++i;
    if (i == text.size()) return false;
  } else if (i == text.size()) {
    value = 0;
    return !text.empty();
  }
  long long v = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    v = v * 10 + (text[i] - '0');
  }
  value = negative ? -v : v;
  return true;
}

// Control characters (line breaks, tabs, NULs) become blanks: a text is
// one line of the file and is drawn as it stands in the slot list.
std::string OneLine(std::string text) {
  for (char& c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = ' ';
  }
  return text;
}

}  // namespace

std::string PackState(const EngineState& s) {
  const long long density = std::lround(static_cast<double>(s.WakuDensity) * 100.0);
  const long long values[] = {s.Kou,     s.Pap,  s.Rub,  s.PlaceNo, s.SectionNo, density,
                              s.BgmOn ? -1 : 0, s.SeOn ? -1 : 0, s.MsgMode, s.SeqPos, s.BgmNo};
  std::string out;
  for (std::size_t i = 0; i < std::size(kFields); ++i) out += FieldText(values[i], kFields[i].width);
  return out;
}

Result<SavedState> UnpackState(std::string_view text) {
  if (text.size() != kStateLength) {
    return Result<SavedState>::Error("the state line has " + std::to_string(text.size()) +
                                     " characters, not 32");
  }
  long long v[std::size(kFields)] = {};
  std::size_t at = 0;
  for (std::size_t i = 0; i < std::size(kFields); ++i) {
    if (!ReadField(text.substr(at, kFields[i].width), v[i])) {
      return Result<SavedState>::Error("the " + std::string(kFields[i].name) + " field \"" +
                                       std::string(text.substr(at, kFields[i].width)) +
                                       "\" is not a number");
    }
    at += kFields[i].width;
  }
  if (v[5] < 0 || v[5] > 100) return Result<SavedState>::Error("the density is not 0 to 100");
  if (v[8] < 0 || v[8] > 3) return Result<SavedState>::Error("the message mode is not 0 to 3");
  SavedState s;
  // Every field fits its type: at most four digits.
  const auto i16 = [](long long x) { return static_cast<std::int16_t>(x); };
  s.Kou = i16(v[0]);
  s.Pap = i16(v[1]);
  s.Rub = i16(v[2]);
  s.PlaceNo = i16(v[3]);
  s.SectionNo = i16(v[4]);
  s.Density = i16(v[5]);
  s.BgmOn = v[6] != 0;
  s.SeOn = v[7] != 0;
  s.MsgMode = i16(v[8]);
  s.SeqPos = static_cast<std::int32_t>(v[9]);
  s.BgmNo = i16(v[10]);
  return s;
}

std::string WithTrack(std::string state, std::int16_t bgmNo) {
  if (state.size() < kStateLength) state.resize(kStateLength, ' ');
  state.replace(kStateLength - 2, 2, FieldText(bgmNo, 2));
  return state;
}

void ApplyState(const SavedState& saved, EngineState& s) {
  s.Kou = saved.Kou;
  s.Pap = saved.Pap;
  s.Rub = saved.Rub;
  s.PlaceNo = saved.PlaceNo;
  s.SectionNo = saved.SectionNo;
  s.WakuDensity = static_cast<float>(saved.Density) / 100.0f;
  s.BgmOn = saved.BgmOn;
  s.SeOn = saved.SeOn;
  s.MsgMode = saved.MsgMode;
  s.SeqPos = saved.SeqPos;
  s.BgmNo = saved.BgmNo;
}

std::vector<std::uint8_t> EncodeSaveFile(const SaveFile& f) {
  std::string text;
  for (const std::string* line : {&f.time, &f.title, &f.state, &f.familyName, &f.givenName}) {
    text += ToCp932Lenient(OneLine(*line)) + "\r\n";
  }
  text += "\\\r\n";
  return std::vector<std::uint8_t>(text.begin(), text.end());
}

Result<SaveFile> DecodeSaveFile(const std::vector<std::uint8_t>& bytes) {
  using R = Result<SaveFile>;
  const std::string raw(bytes.begin(), bytes.end());
  Result<std::string> utf8 = Cp932ToUtf8(raw);
  if (!utf8) return R::Error("not CP932 text (" + utf8.error() + ")");
  std::vector<std::string> lines;
  std::size_t start = 0;
  const std::string& text = utf8.value();
  while (start < text.size() && lines.size() < 6) {
    const std::size_t eol = text.find('\n', start);
    if (eol == std::string::npos) break;  // a last line without its end: cut off
    std::string line = text.substr(start, eol - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(OneLine(std::move(line)));
    start = eol + 1;
  }
  if (lines.size() < 6) {
    return R::Error("the file ends after " + std::to_string(lines.size()) + " of its six lines");
  }
  if (lines[5] != "\\") return R::Error("the sixth line is not \"\\\"");
  if (Result<SavedState> state = UnpackState(lines[2]); !state) return R::Error(state.error());
  return SaveFile{lines[0], lines[1], lines[2], lines[3], lines[4]};
}

std::string SlotTime(const std::string& t) {
  const bool digits = t.size() == 16 && t[4] == '/' && t[7] == '/' && t[10] == ' ' && t[13] == ':';
  return digits ? t.substr(5) : t;
}

}  // namespace kovan
