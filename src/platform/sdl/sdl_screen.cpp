// The window on the desktop: full screen on the desktop's own mode, the
// window's whole scale, where the picture sits and what lies under a point.
#include <algorithm>

#include "platform/sdl/sdl_desktop.h"
#include "platform/sdl/sdl_window_platform.h"

namespace kovan {

SdlPlatform::~SdlPlatform() {
  // The desktop gets its window back before the window goes.
  if (window_ && fullScreen_) (void)SetFullScreen(false);
}

Viewport SdlPlatform::CurrentViewport() const {
  int windowW = 0, windowH = 0, drawableW = 0, drawableH = 0;
  SDL_GetWindowSize(window_.get(), &windowW, &windowH);
  if (SDL_GetRendererOutputSize(renderer_.get(), &drawableW, &drawableH) != 0) {
    drawableW = windowW;
    drawableH = windowH;
  }
  return Viewport(windowW, windowH, drawableW, drawableH, StripHeight());
}

std::optional<PicturePoint> SdlPlatform::PictureAt(int x, int y) const {
  return CurrentViewport().ToPicture(x, y);
}

int SdlPlatform::FittingScale(int wanted) const {
  SDL_Rect usable{};
  if (SDL_GetDisplayUsableBounds(0, &usable) != 0) return 1;
  int scale = std::clamp(wanted, 1, 16);
  while (scale > 1 &&
         (clientWidth_ * scale > usable.w || clientHeight_ * scale + kStripHeight > usable.h)) {
    --scale;
  }
  return scale;
}

void SdlPlatform::CoverDisplay(bool cover) {
  SDL_Window* w = window_.get();
  if (cover) {
    SDL_GetWindowPosition(w, &windowed_.x, &windowed_.y);
    SDL_GetWindowSize(w, &windowed_.w, &windowed_.h);
    SDL_Rect bounds{};
    if (SDL_GetDisplayBounds(std::max(0, SDL_GetWindowDisplayIndex(w)), &bounds) != 0) {
      SDL_GetDisplayBounds(0, &bounds);
    }
    SDL_SetWindowBordered(w, SDL_FALSE);
    SDL_SetWindowPosition(w, bounds.x, bounds.y);
    SDL_SetWindowSize(w, bounds.w, bounds.h);
    SDL_RaiseWindow(w);
  } else {
    SDL_SetWindowBordered(w, captionOn_ ? SDL_TRUE : SDL_FALSE);
    SDL_SetWindowSize(w, windowed_.w, windowed_.h);
    SDL_SetWindowPosition(w, windowed_.x, windowed_.y);
  }
}

// Desktop full screen: the window covers the display in the mode the
// desktop already has, so nothing else on the desktop moves. The caption
// and the menu strip go with it; leaving gives the border back as the
// caption stands then.
Status SdlPlatform::SetFullScreen(bool full) {
  if (full == fullScreen_) return Status();
  if (full) coveredByHand_ = !DesktopDoesFullScreen(window_.get());
  if (coveredByHand_) {
    CoverDisplay(full);
  } else if (SDL_SetWindowFullscreen(window_.get(), full ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) !=
             0) {
    return Status::Error(SdlError(full ? "cannot go full screen" : "cannot leave full screen"));
  } else if (!full) {
    SDL_SetWindowBordered(window_.get(), captionOn_ ? SDL_TRUE : SDL_FALSE);
  }
  fullScreen_ = full;
  menuBar_.Leave();
  needRedraw_ = true;
  return Status();
}

WindowPlacement SdlPlatform::Placement() {
  WindowPlacement p;
  const Uint32 flags = SDL_GetWindowFlags(window_.get());
  p.fullScreen = fullScreen_;
  p.caption = !fullScreen_ && (flags & SDL_WINDOW_BORDERLESS) == 0;
  p.menuStrip = StripHeight() > 0;
  SDL_GetWindowPosition(window_.get(), &p.x, &p.y);
  SDL_GetWindowSize(window_.get(), &p.width, &p.height);
  const PixelRect picture = CurrentViewport().Picture();
  p.pictureWidth = picture.w;
  p.pictureHeight = picture.h;
  return p;
}

}  // namespace kovan
