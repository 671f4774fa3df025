// The scenario and choice readers on plain text (the stored files after
// their complement): the scenario comes first, then, after the first NUL
// byte, the choice table. Whatever the bytes, the tables are filled or an
// error names the file; nothing else may happen.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "engine/scenario.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto* nul = static_cast<const std::uint8_t*>(std::memchr(data, 0, size));
  const std::size_t split = nul == nullptr ? size : static_cast<std::size_t>(nul - data);
  const kovan::Bytes scenario(data, data + split);
  const kovan::Bytes choices(nul == nullptr ? data + size : nul + 1, data + size);
  // One state for the whole run, as in the game: each load replaces the
  // tables or leaves them as they were.
  static kovan::EngineState state;
  if (kovan::LoadScenarioTables(state, scenario, choices)) {
    // What was accepted fits the tables and plays at least one line.
    if (state.SeqLast < 1 || state.SeqLast >= kovan::kSeqCapacity ||
        state.NumCount > kovan::kNumCapacity || state.SctLast >= kovan::kSctCapacity) {
      __builtin_trap();
    }
    for (std::int32_t i = 0; i < state.NumCount; ++i) {
      if (state.Num[i].Line < 0 || state.Num[i].Line > state.SeqLast) __builtin_trap();
    }
  }
  return 0;
}
