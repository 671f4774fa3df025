// A save slot file: six CP932 lines ending in "\", the state string third.
// Whatever reads back must write back the same, and its state must survive
// a round through the engine state.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "savegame/save_record.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto file = kovan::DecodeSaveFile(std::vector<std::uint8_t>(data, data + size));
  if (!file) return 0;
  auto again = kovan::DecodeSaveFile(kovan::EncodeSaveFile(file.value()));
  if (!again || again.value().time != file.value().time ||
      again.value().title != file.value().title || again.value().state != file.value().state ||
      again.value().familyName != file.value().familyName ||
      again.value().givenName != file.value().givenName) {
    std::abort();
  }
  auto saved = kovan::UnpackState(file.value().state);
  if (!saved) std::abort();  // a file that reads back has a state that unpacks
  kovan::EngineState state;
  kovan::ApplyState(saved.value(), state);
  if (!kovan::UnpackState(kovan::PackState(state))) std::abort();
  return 0;
}
