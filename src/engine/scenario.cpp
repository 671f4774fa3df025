#include "engine/scenario.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "platform/text_codec.h"

namespace kovan {
namespace {

constexpr int kScenarioFields = 13;
constexpr int kChoiceFields = 3;

bool IsBlank(std::uint8_t c) { return c == ' ' || c == '\t'; }
bool IsLineEnd(std::uint8_t c) { return c == '\r' || c == '\n'; }

// Moves past one line end (CR LF, LF or CR) at pos; returns the new pos.
std::size_t SkipLineEnd(const Bytes& t, std::size_t pos) {
  if (t[pos] == '\r' && pos + 1 < t.size() && t[pos + 1] == '\n') return pos + 2;
  return pos + 1;
}

std::string Where(const std::string& fileName, std::size_t record, int line) {
  return fileName + " record " + std::to_string(record) + " (line " + std::to_string(line) + ")";
}

}  // namespace

RecordReader::RecordReader(const Bytes& cp932, int fieldsPerRecord, std::string fileName)
    : text_(cp932),
      perRecord_(static_cast<std::size_t>(fieldsPerRecord)),
      fileName_(std::move(fileName)) {}

// Moves past blank lines; false at the end of the text.
bool RecordReader::SkipBlankLines() {
  for (;;) {
    std::size_t p = pos_;
    while (p < text_.size() && IsBlank(text_[p])) ++p;
    if (p == text_.size()) {
      pos_ = p;
      return false;
    }
    if (!IsLineEnd(text_[p])) return true;
    pos_ = SkipLineEnd(text_, p);
    ++line_;
  }
}

// Reads the field at pos_ into `bytes` (CP932) and leaves `end` at the comma
// or line end behind it, or at the end of the text.
Status RecordReader::ReadField(std::string& bytes, std::size_t& end) {
  const Bytes& t = text_;
  std::size_t p = pos_;
  while (p < t.size() && IsBlank(t[p])) ++p;
  if (p < t.size() && t[p] == '"') {
    const int opened = line_;
    std::size_t close = p + 1;
    while (close < t.size() && t[close] != '"') {
      if (t[close] == '\n') ++line_;
      ++close;
    }
    if (close == t.size()) {
      return Status::Error(fileName_ + " line " + std::to_string(opened) +
                           ": a quote is never closed");
    }
    bytes.assign(t.begin() + static_cast<long>(p) + 1, t.begin() + static_cast<long>(close));
    p = close + 1;
    while (p < t.size() && t[p] != ',' && !IsLineEnd(t[p])) ++p;
  } else {
    std::size_t stop = p;
    while (stop < t.size() && t[stop] != ',' && !IsLineEnd(t[stop])) ++stop;
    std::size_t last = stop;
    while (last > p && IsBlank(t[last - 1])) --last;
    bytes.assign(t.begin() + static_cast<long>(p), t.begin() + static_cast<long>(last));
    p = stop;
  }
  end = p;
  return {};
}

// A record is one line: its fields are counted up to the line's end, and
// only the first perRecord_ are kept, so a line of a million commas costs
// no memory.
Result<bool> RecordReader::Next(Record& out) {
  if (!SkipBlankLines()) return false;
  ++count_;
  out.fields.clear();
  out.line = line_;
  std::size_t fields = 0;
  for (bool more = true; more;) {
    std::string bytes;
    std::size_t end = 0;
    const int fieldLine = line_;
    if (Status st = ReadField(bytes, end); !st) return Result<bool>::Error(st.error());
    ++fields;
    if (fields <= perRecord_) {
      auto utf8 = Cp932ToUtf8(bytes);
      if (!utf8) {
        return Result<bool>::Error(Where(fileName_, count_, fieldLine) + ", field " +
                                   std::to_string(fields) + ": " + utf8.error());
      }
      out.fields.push_back(std::move(utf8.value()));
    }
    more = end < text_.size() && text_[end] == ',';
    if (end == text_.size()) {
      pos_ = end;
    } else if (more) {
      pos_ = end + 1;
      // A comma at the very end of the text still ends an empty field.
      if (pos_ == text_.size()) {
        ++fields;
        if (fields <= perRecord_) out.fields.emplace_back();
        more = false;
      }
    } else {
      pos_ = SkipLineEnd(text_, end);
      ++line_;
    }
  }
  if (fields < perRecord_) {
    return Result<bool>::Error(Where(fileName_, count_, out.line) + ": cut short, " +
                               std::to_string(fields) + " of " + std::to_string(perRecord_) +
                               " fields");
  }
  if (fields > perRecord_) {
    return Result<bool>::Error(Where(fileName_, count_, out.line) + ": " +
                               std::to_string(fields) + " fields, more than the " +
                               std::to_string(perRecord_) + " of a record");
  }
  return true;
}

Bytes Complement(Bytes bytes) {
  for (auto& b : bytes) b = static_cast<std::uint8_t>(255 - b);
  return bytes;
}

Result<std::vector<Record>> ReadRecords(const Bytes& cp932, int fieldsPerRecord,
                                        const std::string& fileName) {
  using Records = std::vector<Record>;
  RecordReader reader(cp932, fieldsPerRecord, fileName);
  Records records;
  for (Record rec;;) {
    auto more = reader.Next(rec);
    if (!more) return Result<Records>::Error(more.error());
    if (!more.value()) return records;
    records.push_back(std::move(rec));
  }
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

// Reads the scenario's records into seq, stopping at the first record the
// table has no slot for.
Status LoadSeq(const Bytes& text, std::vector<SeqRecord>& seq, std::int32_t& seqLast) {
  const std::string fileName = "91.dat";
  RecordReader reader(text, kScenarioFields, fileName);
  std::size_t slot = 0;
  for (Record rec;;) {
    auto more = reader.Next(rec);
    if (!more) return Status::Error(more.error());
    if (!more.value()) break;
    const auto& f = rec.fields;
    // A "num" record marks a section boundary for the editor; it takes no slot.
    if (f[0] == "num") continue;
    const std::string where = Where(fileName, reader.Count(), rec.line);
    if (slot == kSeqCapacity) {
      return Status::Error(where + ": more than " + std::to_string(kSeqCapacity) +
                           " scenario lines");
    }
    auto section = CodedNumber(f[0]);
    if (!section) return Status::Error(NotANumber(where, 1, f[0]));
    std::optional<std::int16_t> jump = std::int16_t{0};
    if (!f[2].empty()) jump = CodedNumber(f[2]);
    if (!jump) return Status::Error(NotANumber(where, 3, f[2]));
    seq.push_back(SeqRecord{*section, f[1], *jump, f[3], f[4], f[5], f[6], f[7], f[8], f[9],
                            f[10], f[11]});
    ++slot;
  }
  // The interpreter stops at the last line without taking it, so a
  // scenario of fewer than two lines plays nothing at all.
  if (slot < 2) {
    return Status::Error(fileName + ": " +
                         (slot == 0 ? std::string("the scenario is empty")
                                    : std::string("the scenario has a single line, and the "
                                                  "story ends at its last line")));
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
    if (count == kNumCapacity) {
      return Status::Error("91.dat line " + std::to_string(i + 1) + ": more than " +
                           std::to_string(kNumCapacity) + " section runs");
    }
    num.push_back(NumEntry{seq[i].Section, i});
    ++count;
    remembered = seq[i].Section;
  }
  numCount = count;
  return {};
}

Status LoadSct(const Bytes& text, std::vector<SctRecord>& sct, std::int32_t& sctLast) {
  const std::string fileName = "92.dat";
  RecordReader reader(text, kChoiceFields, fileName);
  std::size_t r = 0;
  for (Record rec;; ++r) {
    auto more = reader.Next(rec);
    if (!more) return Status::Error(more.error());
    if (!more.value()) break;
    const auto& f = rec.fields;
    const std::string where = Where(fileName, reader.Count(), rec.line);
    if (r == kSctCapacity) {
      return Status::Error(where + ": more than " + std::to_string(kSctCapacity) + " options");
    }
    auto setNo = CodedNumber(f[0]);
    if (!setNo) return Status::Error(NotANumber(where, 1, f[0]));
    auto target = CodedNumber(f[2]);
    if (!target) return Status::Error(NotANumber(where, 3, f[2]));
    sct.push_back(SctRecord{*setNo, f[1], *target});
  }
  sctLast = static_cast<std::int32_t>(r) - 1;
  return {};
}

}  // namespace

Status LoadScenarioTables(EngineState& s, const Bytes& scenarioPlain, const Bytes& choicesPlain) {
  // Built apart, only as large as the files are, so a refused file leaves
  // the state's tables alone and costs little.
  std::vector<SeqRecord> seq;
  std::vector<NumEntry> num;
  std::vector<SctRecord> sct;
  std::int32_t seqLast = -1, numCount = 0, sctLast = -1;
  if (Status st = LoadSeq(scenarioPlain, seq, seqLast); !st) return st;
  if (Status st = BuildNum(seq, seqLast, num, numCount); !st) return st;
  if (Status st = LoadSct(choicesPlain, sct, sctLast); !st) return st;

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
