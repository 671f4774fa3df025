// SDL handles owned by unique_ptrs, and SDL's error text for failed calls.
#pragma once

#include <SDL.h>

#include <memory>
#include <string>

namespace kovan {

struct SdlDeleter {
  void operator()(SDL_Window* w) const { SDL_DestroyWindow(w); }
  void operator()(SDL_Renderer* r) const { SDL_DestroyRenderer(r); }
  void operator()(SDL_Texture* t) const { SDL_DestroyTexture(t); }
  void operator()(SDL_Cursor* c) const { SDL_FreeCursor(c); }
  void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};

using SdlWindowPtr = std::unique_ptr<SDL_Window, SdlDeleter>;
using SdlRendererPtr = std::unique_ptr<SDL_Renderer, SdlDeleter>;
using SdlTexturePtr = std::unique_ptr<SDL_Texture, SdlDeleter>;
using SdlCursorPtr = std::unique_ptr<SDL_Cursor, SdlDeleter>;
using SdlSurfacePtr = std::unique_ptr<SDL_Surface, SdlDeleter>;

// "what: <SDL's last error>".
inline std::string SdlError(const std::string& what) { return what + ": " + SDL_GetError(); }

// Holds SDL subsystems up for as long as it lives.
class SdlSubsystems {
 public:
  SdlSubsystems() = default;
  ~SdlSubsystems() {
    if (flags_ != 0) SDL_QuitSubSystem(flags_);
  }
  SdlSubsystems(const SdlSubsystems&) = delete;
  SdlSubsystems& operator=(const SdlSubsystems&) = delete;
  bool Start(Uint32 flags) {
    if (SDL_InitSubSystem(flags) != 0) return false;
    flags_ = flags;
    return true;
  }

 private:
  Uint32 flags_ = 0;
};

}  // namespace kovan
