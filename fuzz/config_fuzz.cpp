// "90.dat": 25 lines of CP932 names and file names.
#include <cstddef>
#include <cstdint>

#include "engine/data_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // One state for the whole run: building its tables anew for every input
  // would cost more than the parsing.
  static kovan::EngineState state;
  (void)kovan::ParseConfig(std::vector<std::uint8_t>(data, data + size), state);
  return 0;
}
