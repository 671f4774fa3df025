// The headless runner's input script.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/headless/input_script.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  (void)kovan::ParseInputScript(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
