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

// Splits CP932 text into fields and groups them into records of
// fieldsPerRecord fields, each field converted to UTF-8. A field ends at a
// comma or a line end; a field opening with a double quote runs to the next
// quote and may hold commas; blanks around unquoted fields are dropped;
// blank lines are skipped. Errors (invalid CP932, an unclosed quote, a
// record cut short by the end of the file) name fileName, the record and
// its line.
struct Record {
  std::vector<std::string> fields;  // UTF-8
  int line = 0;                     // line where the record starts
};
[[nodiscard]] Result<std::vector<Record>> ReadRecords(const Bytes& cp932, int fieldsPerRecord,
                                                      const std::string& fileName);

// A coded number: the field's first character followed by its last three,
// read as a signed 16-bit decimal ("5xy012" is 5012, "123" is 1123).
// Nothing when that isn't such a number.
std::optional<std::int16_t> CodedNumber(std::string_view field);

// Fills Seq, SeqLast, Num, NumCount, Sct, SctLast from the plain (not
// scrambled) scenario and choice texts. Records beyond a table's capacity,
// more section runs than the index holds, numbers that aren't numbers, and
// choice targets left empty are errors naming the file and record; the
// tables are then left as they were.
[[nodiscard]] Status LoadScenarioTables(EngineState& s, const Bytes& scenarioPlain,
                                        const Bytes& choicesPlain);

// The first line of section `section` by binary search over Num (the
// middle rounded half to even). Nothing when the search misses.
std::optional<std::int32_t> FindSectionLine(const EngineState& s, std::int16_t section);
// Index in Sct of the first option whose SetNo is `section`.
std::optional<std::int32_t> FindChoiceSet(const EngineState& s, std::int16_t section);

}  // namespace kovan
