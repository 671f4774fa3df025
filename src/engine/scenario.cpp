#include "engine/scenario.h"

#include <cmath>
#include <utility>

#include "platform/text_codec.h"

namespace kovan {
namespace {

constexpr int kScenarioFields = 13;
constexpr int kChoiceFields = 3;

bool IsBlank(std::uint8_t c) { return c == ' ' || c == '\t'; }
bool IsLineEnd(std::uint8_t c) { return c == '\r' || c == '\n'; }

struct RawField {
  std::string bytes;  // CP932
  int line = 0;       // 1-based line where the field starts
};

// Moves past one line end (CR LF, LF or CR) at pos; returns the new pos.
std::size_t SkipLineEnd(const Bytes& t, std::size_t pos) {
  if (t[pos] == '\r' && pos + 1 < t.size() && t[pos + 1] == '\n') return pos + 2;
  return pos + 1;
}

// The fields of a comma-separated text, in order.
Result<std::vector<RawField>> SplitFields(const Bytes& t, const std::string& fileName) {
  std::vector<RawField> fields;
  std::size_t pos = 0;
  int line = 1;
  bool atLineStart = true;  // no comma seen on this line yet
  while (pos < t.size()) {
    std::size_t p = pos;
    while (p < t.size() && IsBlank(t[p])) ++p;
    if (atLineStart && (p == t.size() || IsLineEnd(t[p]))) {
      // A blank line carries no field.
      if (p == t.size()) break;
      pos = SkipLineEnd(t, p);
      ++line;
      continue;
    }
    RawField f;
    f.line = line;
    if (p < t.size() && t[p] == '"') {
      std::size_t close = p + 1;
      while (close < t.size() && t[close] != '"') {
        if (t[close] == '\n') ++line;
        ++close;
      }
      if (close == t.size()) {
        return Result<std::vector<RawField>>::Error(
            fileName + " line " + std::to_string(f.line) + ": a quote is never closed");
      }
      f.bytes.assign(t.begin() + static_cast<long>(p) + 1, t.begin() + static_cast<long>(close));
      p = close + 1;
      while (p < t.size() && t[p] != ',' && !IsLineEnd(t[p])) ++p;
    } else {
      std::size_t end = p;
      while (end < t.size() && t[end] != ',' && !IsLineEnd(t[end])) ++end;
      std::size_t last = end;
      while (last > p && IsBlank(t[last - 1])) --last;
      f.bytes.assign(t.begin() + static_cast<long>(p), t.begin() + static_cast<long>(last));
      p = end;
    }
    fields.push_back(std::move(f));
    if (p == t.size()) break;
    if (t[p] == ',') {
      pos = p + 1;
      atLineStart = false;
      // A comma at the very end of the text still ends an empty field.
      if (pos == t.size()) fields.push_back(RawField{"", line});
    } else {
      pos = SkipLineEnd(t, p);
      ++line;
      atLineStart = true;
    }
  }
  return fields;
}

}  // namespace

static std::string Where(const std::string& fileName, std::size_t record, int line) {
  return fileName + " record " + std::to_string(record) + " (line " + std::to_string(line) + ")";
}

Bytes Complement(Bytes bytes) {
  for (auto& b : bytes) b = static_cast<std::uint8_t>(255 - b);
  return bytes;
}

Result<std::vector<Record>> ReadRecords(const Bytes& cp932, int fieldsPerRecord,
                                        const std::string& fileName) {
  using Records = std::vector<Record>;
  auto fields = SplitFields(cp932, fileName);
  if (!fields) return Result<Records>::Error(fields.error());
  const auto& raw = fields.value();
  const std::size_t per = static_cast<std::size_t>(fieldsPerRecord);
  Records records;
  records.reserve(raw.size() / per + 1);
  for (std::size_t i = 0; i < raw.size(); i += per) {
    const std::size_t recordNo = i / per + 1;
    if (i + per > raw.size()) {
      return Result<Records>::Error(Where(fileName, recordNo, raw[i].line) + ": cut short, " +
                            std::to_string(raw.size() - i) + " of " + std::to_string(per) +
                            " fields");
    }
    Record rec;
    rec.line = raw[i].line;
    rec.fields.reserve(per);
    for (std::size_t k = 0; k < per; ++k) {
      auto text = Cp932ToUtf8(raw[i + k].bytes);
      if (!text) {
        return Result<Records>::Error(Where(fileName, recordNo, raw[i + k].line) + ", field " +
                              std::to_string(k + 1) + ": " + text.error());
      }
      rec.fields.push_back(std::move(text.value()));
    }
    records.push_back(std::move(rec));
  }
  return records;
}

std::optional<std::int16_t> CodedNumber(std::string_view field) {
  const std::size_t n = Utf8Length(field);
  if (n == 0) return std::nullopt;
  std::string digits = Utf8Left(field, 1) + Utf8Mid(field, n >= 3 ? n - 3 : 0);
  std::size_t i = 0;
  bool negative = false;
  if (digits[0] == '-' || digits[0] == '+') {
    negative = digits[0] == '-';
    i = 1;
  }
  if (i == digits.size()) return std::nullopt;
  long value = 0;
  for (; i < digits.size(); ++i) {
    if (digits[i] < '0' || digits[i] > '9') return std::nullopt;
    value = value * 10 + (digits[i] - '0');
    if (value > 32768) return std::nullopt;
  }
  if (negative) value = -value;
  if (value < -32768 || value > 32767) return std::nullopt;
  return static_cast<std::int16_t>(value);
}

namespace {

std::string NotANumber(const std::string& where, int field, const std::string& text) {
  return where + ", field " + std::to_string(field) + ": \"" + text + "\" is not a number";
}

Status LoadSeq(const std::vector<Record>& records, std::vector<SeqRecord>& seq,
               std::int32_t& seqLast) {
  const std::string fileName = "91.dat";
  std::size_t slot = 0;
  for (std::size_t r = 0; r < records.size(); ++r) {
    const auto& f = records[r].fields;
    // A "num" record marks a section boundary for the editor; it takes no slot.
    if (f[0] == "num") continue;
    const std::string where = Where(fileName, r + 1, records[r].line);
    if (slot == seq.size()) {
      return Status::Error(where + ": more than " + std::to_string(seq.size()) +
                           " scenario lines");
    }
    auto section = CodedNumber(f[0]);
    if (!section) return Status::Error(NotANumber(where, 1, f[0]));
    std::optional<std::int16_t> jump = std::int16_t{0};
    if (!f[2].empty()) jump = CodedNumber(f[2]);
    if (!jump) return Status::Error(NotANumber(where, 3, f[2]));
    seq[slot] = SeqRecord{*section, f[1], *jump, f[3], f[4], f[5], f[6],
                          f[7],     f[8], f[9],  f[10], f[11]};
    ++slot;
  }
  seqLast = static_cast<std::int32_t>(slot) - 1;
  return {};
}

Status BuildNum(const std::vector<SeqRecord>& seq, std::int32_t seqLast,
                std::vector<NumEntry>& num, std::int32_t& numCount) {
  std::int32_t count = 0;
  int remembered = -1;
  for (std::int32_t i = 0; i <= seqLast; ++i) {
    if (seq[i].Section == remembered) continue;
    if (count == static_cast<std::int32_t>(num.size())) {
      return Status::Error("91.dat line " + std::to_string(i + 1) + ": more than " +
                           std::to_string(num.size()) + " section runs");
    }
    num[count++] = NumEntry{seq[i].Section, i};
    remembered = seq[i].Section;
  }
  numCount = count;
  return {};
}

Status LoadSct(const std::vector<Record>& records, std::vector<SctRecord>& sct,
               std::int32_t& sctLast) {
  const std::string fileName = "92.dat";
  if (records.size() > sct.size()) {
    return Status::Error(Where(fileName, sct.size() + 1, records[sct.size()].line) +
                         ": more than " + std::to_string(sct.size()) + " options");
  }
  for (std::size_t r = 0; r < records.size(); ++r) {
    const auto& f = records[r].fields;
    const std::string where = Where(fileName, r + 1, records[r].line);
    auto setNo = CodedNumber(f[0]);
    if (!setNo) return Status::Error(NotANumber(where, 1, f[0]));
    auto target = CodedNumber(f[2]);
    if (!target) return Status::Error(NotANumber(where, 3, f[2]));
    sct[r] = SctRecord{*setNo, f[1], *target};
  }
  sctLast = static_cast<std::int32_t>(records.size()) - 1;
  return {};
}

}  // namespace

Status LoadScenarioTables(EngineState& s, const Bytes& scenarioPlain, const Bytes& choicesPlain) {
  auto seqRecords = ReadRecords(scenarioPlain, kScenarioFields, "91.dat");
  if (!seqRecords) return Status::Error(seqRecords.error());
  auto sctRecords = ReadRecords(choicesPlain, kChoiceFields, "92.dat");
  if (!sctRecords) return Status::Error(sctRecords.error());

  // Build into fresh tables so a refused file leaves the old ones alone.
  std::vector<SeqRecord> seq(kSeqCapacity);
  std::vector<NumEntry> num(kNumCapacity);
  std::vector<SctRecord> sct(kSctCapacity);
  std::int32_t seqLast = -1, numCount = 0, sctLast = -1;
  if (Status st = LoadSeq(seqRecords.value(), seq, seqLast); !st) return st;
  if (Status st = BuildNum(seq, seqLast, num, numCount); !st) return st;
  if (Status st = LoadSct(sctRecords.value(), sct, sctLast); !st) return st;

  // A target names a section; from now on it is that section's first line.
  // A target with no such section keeps its number.
  for (std::int32_t i = 0; i <= sctLast; ++i) {
    for (std::int32_t k = 0; k < numCount; ++k) {
      if (num[k].Section == sct[i].Target) {
        sct[i].Target = static_cast<std::int16_t>(num[k].Line);
        break;
      }
    }
  }

  s.Seq = std::move(seq);
  s.SeqLast = seqLast;
  s.Num = std::move(num);
  s.NumCount = numCount;
  s.Sct = std::move(sct);
  s.SctLast = sctLast;
  return {};
}

std::optional<std::int32_t> FindSectionLine(const EngineState& s, std::int16_t section) {
  std::int32_t low = 0;
  std::int32_t high = s.NumCount - 1;
  while (low <= high) {
    // The middle is rounded to the nearest whole number, halves to even.
    const std::int32_t middle =
        static_cast<std::int32_t>(std::nearbyint((static_cast<double>(low) + high) / 2.0));
    const NumEntry& e = s.Num[middle];
    if (e.Section == section) return e.Line;
    if (e.Section >= section) {
      high = middle - 1;
    } else {
      low = middle + 1;
    }
  }
  return std::nullopt;
}

std::optional<std::int32_t> FindChoiceSet(const EngineState& s, std::int16_t section) {
  for (std::int32_t i = 0; i <= s.SctLast; ++i) {
    if (s.Sct[i].SetNo == section) return i;
  }
  return std::nullopt;
}

}  // namespace kovan
