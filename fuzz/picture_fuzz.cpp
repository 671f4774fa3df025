// Picture loading as the game does it: the header put back on a sprite or
// place file, the kind checked, the size read from the header, then the
// decoder. The first byte picks the file the rest stands in: a sprite, a
// place, or a plain picture. Sides are bounded at 512 here: the checks are
// the same, and the fuzzer isn't slowed by decoders filling 4096 x 4096
// pictures out of a few bytes.
#include <cstddef>
#include <cstdint>

#include "engine/data_files.h"
#include "platform/pictures.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  static constexpr const char* kNames[] = {"13.dat", "p7.dat", "61.dat"};
  const char* name = kNames[data[0] % 3];
  constexpr int kMaxSide = 512;
  auto picture =
      kovan::DecodeDataPicture(name, std::vector<std::uint8_t>(data + 1, data + size), kMaxSide);
  if (picture && (picture->Width() < 1 || picture->Width() > kMaxSide || picture->Height() < 1 ||
                  picture->Height() > kMaxSide)) {
    __builtin_trap();
  }
  return 0;
}
