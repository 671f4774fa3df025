#include "platform/fluid_library.h"

#include <dlfcn.h>

#include <string>

namespace kovan {

Result<std::unique_ptr<FluidLibrary>> FluidLibrary::Open() {
  using Opened = Result<std::unique_ptr<FluidLibrary>>;
  void* handle = nullptr;
  for (const char* name : {"libfluidsynth.so.3", "libfluidsynth.so"}) {
    handle = dlopen(name, RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (handle != nullptr) break;
  }
  if (handle == nullptr) return Opened::Error("the synthesizer library can't be loaded");
  auto library = std::make_unique<FluidLibrary>();
  std::string missing;
#define KOVAN_FLUID_LOOKUP(call)                                             \
  library->call = reinterpret_cast<decltype(&::call)>(dlsym(handle, #call)); \
  if (library->call == nullptr) missing = #call;
  KOVAN_FLUID_CALLS(KOVAN_FLUID_LOOKUP)
#undef KOVAN_FLUID_LOOKUP
  // RTLD_NODELETE: the library stays mapped; the handle's count drops.
  dlclose(handle);
  if (!missing.empty()) return Opened::Error("the synthesizer library lacks " + missing);
  return Opened(std::move(library));
}

}  // namespace kovan
