// How the window's pixels reach the screen. The framebuffer presenter
// scales on the CPU into the window's own framebuffer and hands the window
// system only the rectangles that changed: no GPU driver is loaded, which
// keeps start-up short and memory small. The renderer presenter draws
// through one of SDL's render drivers (OpenGL and the like), the whole
// frame at every present.
#pragma once

#include <SDL.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/result.h"
#include "platform/surface.h"
#include "platform/viewport.h"

namespace kovan {

// One frame to show. The picture is the whole 640 x 480 frame; the strip,
// when given, is the menu strip's pixels, a row of window points wide.
struct PresentFrame {
  Viewport view;
  const Surface* picture = nullptr;
  // The parts of the picture that changed since the last frame; none when
  // only the strip did.
  std::vector<PixelRect> changed;
  // Null: the strip is as it was. The presenter may draw the last strip
  // given again, which must stay alive (and unchanged) until the next.
  const Surface* strip = nullptr;
  bool whole = false;              // everything is drawn again (the window was resized or exposed)
  bool smooth = false;
};

class SdlPresenter {
 public:
  virtual ~SdlPresenter() = default;
  // The drawable's size in pixels; false when the system can't say.
  virtual bool DrawableSize(int& w, int& h) = 0;
  virtual void Show(const PresentFrame& frame) = 0;
};

// The presenter `name` asks for: "framebuffer" (also "" unless SDL's own
// render-driver hint names a driver) or one of SDL's render drivers. An
// unknown name is an error that lists the known ones.
[[nodiscard]] Result<std::unique_ptr<SdlPresenter>> CreateSdlPresenter(SDL_Window* window,
                                                                       const std::string& name);

// Copies a picture into a window's framebuffer at (0, 0) and shows it (the
// message box in a window of its own).
void ShowInWindow(SDL_Window* window, const Surface& pixels);

}  // namespace kovan
