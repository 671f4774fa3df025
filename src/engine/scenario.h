// The scenario ("91.dat") and choice table ("92.dat"): the stored scramble,
// the comma-separated records, the tables built from them and the lookups
// over those tables.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/engine_state.h"
#include "platform/result.h"

namespace kovan {

using Bytes = std::vector<std::uint8_t>;

// Every byte complemented; applying it twice gives the input back.
Bytes Complement(Bytes bytes);

// A record of a comma-separated CP932 text, its fields in UTF-8.
struct Record {
  std::vector<std::string> fields;  // UTF-8
  int line = 0;                     // line where the record starts
};

// Reads a comma-separated CP932 text one record at a time. Each line is a
// record of exactly fieldsPerRecord fields: a field ends at a comma or the
// line's end; a field opening with a double quote runs to the next quote
// and may hold commas and line ends; blanks around unquoted fields are
// dropped; blank lines are skipped. Errors (invalid CP932, an unclosed
// quote, a line with too few or too many fields) name fileName, the record
// and its own line. Memory stays bounded by one record however long a line
// is.
class RecordReader {
 public:
  // cp932 is read in place and must outlive the reader.
  RecordReader(const Bytes& cp932, int fieldsPerRecord, std::string fileName);
  // The next record into out; false at the end of the text.
  [[nodiscard]] Result<bool> Next(Record& out);
  // Records read so far, the current one included.
  std::size_t Count() const { return count_; }

 private:
  bool SkipBlankLines();
  [[nodiscard]] Status ReadField(std::string& bytes, std::size_t& end);

  const Bytes& text_;
  std::size_t perRecord_;
  std::string fileName_;
  std::size_t pos_ = 0;
  int line_ = 1;
  std::size_t count_ = 0;
};

// Every record of a text, as RecordReader reads them.
[[nodiscard]] Result<std::vector<Record>> ReadRecords(const Bytes& cp932, int fieldsPerRecord,
                                                      const std::string& fileName);

// A coded number: the field's first character followed by its last three,
// read as a signed 16-bit decimal ("5xy012" is 5012, "123" is 1123).
// Nothing when that isn't such a number.
std::optional<std::int16_t> CodedNumber(std::string_view field);

// Fills Seq, SeqLast, Num, NumCount, Sct, SctLast from the plain (not
// scrambled) scenario and choice texts. Records beyond a table's capacity,
// more section runs than the index holds, numbers that aren't numbers,
// choice targets left empty and a scenario of fewer than two lines (which
// plays nothing) are errors naming the file and record; the tables are then
// left as they were.
[[nodiscard]] Status LoadScenarioTables(EngineState& s, const Bytes& scenarioPlain,
                                        const Bytes& choicesPlain);

// The first line of section `section` by binary search over Num (the
// middle rounded half to even). Nothing when the search misses.
std::optional<std::int32_t> FindSectionLine(const EngineState& s, std::int16_t section);
// Index in Sct of the first option whose SetNo is `section`.
std::optional<std::int32_t> FindChoiceSet(const EngineState& s, std::int16_t section);

}  // namespace kovan
