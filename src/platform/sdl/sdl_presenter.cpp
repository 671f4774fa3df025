#include "platform/sdl/sdl_presenter.h"

#include <algorithm>
#include <vector>

#include "platform/picture_scaler.h"
#include "platform/sdl/sdl_handles.h"

namespace kovan {

namespace {

constexpr const char* kFramebuffer = "framebuffer";
constexpr Uint8 kStripGrey[3] = {0xD4, 0xD0, 0xC8};

SDL_Rect ToSdl(const PixelRect& r) { return SDL_Rect{r.x, r.y, r.w, r.h}; }

// An SDL view of a surface's pixels (no copy).
SdlSurfacePtr Wrap(const Surface& s) {
  return SdlSurfacePtr(SDL_CreateRGBSurfaceWithFormatFrom(
      const_cast<Rgb*>(s.Pixels().data()), s.Width(), s.Height(), 32,
      s.Width() * static_cast<int>(sizeof(Rgb)), SDL_PIXELFORMAT_RGB888));
}

bool SameLayout(const SDL_PixelFormat* f) {
  return f->BytesPerPixel == 4 && f->Rmask == 0xFF0000 && f->Gmask == 0x00FF00 &&
         f->Bmask == 0x0000FF;
}

// The window's own framebuffer: the CPU scales into it and only changed
// rectangles go to the window system. Where the framebuffer's pixels are
// laid out differently, a staging copy is converted rectangle by rectangle.
class FramebufferPresenter final : public SdlPresenter {
 public:
  explicit FramebufferPresenter(SDL_Window* window) : window_(window) {}

  bool DrawableSize(int& w, int& h) override {
    SDL_Surface* s = SDL_GetWindowSurface(window_);
    if (s == nullptr) return false;
    w = s->w;
    h = s->h;
    return true;
  }

  void Show(const PresentFrame& frame) override {
    SDL_Surface* screen = SDL_GetWindowSurface(window_);
    if (screen == nullptr || frame.picture == nullptr) return;
    const bool direct = SameLayout(screen->format);
    bool whole = frame.whole || screen != lastScreen_;
    lastScreen_ = screen;
    if (!direct && (!staging_ || staging_->w != screen->w || staging_->h != screen->h)) {
      staging_.reset(
          SDL_CreateRGBSurfaceWithFormat(0, screen->w, screen->h, 32, SDL_PIXELFORMAT_RGB888));
      if (!staging_) return;
      whole = true;
    }
    SDL_Surface* canvas = direct ? screen : staging_.get();
    if (SDL_MUSTLOCK(canvas) && SDL_LockSurface(canvas) != 0) return;
    const PixelTarget target{static_cast<std::uint32_t*>(canvas->pixels), canvas->w, canvas->h,
                             canvas->pitch / 4};
    rects_.clear();
    Draw(frame, target, whole);
    if (SDL_MUSTLOCK(canvas)) SDL_UnlockSurface(canvas);
    if (!direct) {
      for (SDL_Rect& r : rects_) SDL_BlitSurface(staging_.get(), &r, screen, &r);
    }
    if (whole) {
      SDL_UpdateWindowSurface(window_);
    } else if (!rects_.empty()) {
      SDL_UpdateWindowSurfaceRects(window_, rects_.data(), static_cast<int>(rects_.size()));
    }
  }

 private:
  void Draw(const PresentFrame& frame, const PixelTarget& target, bool whole) {
    const PixelRect strip = frame.view.Strip();
    const PixelRect picture = frame.view.Picture();
    const Surface& pic = *frame.picture;
    if (whole) {
      for (int y = 0; y < target.height; ++y) {
        std::uint32_t* row = target.pixels + static_cast<std::ptrdiff_t>(y) * target.pitch;
        std::fill(row, row + target.width, 0u);
      }
      rects_.push_back(SDL_Rect{0, 0, target.width, target.height});
    }
    // A framebuffer made anew (the window was resized) needs the strip as
    // it was last given.
    if (frame.strip != nullptr) lastStrip_ = frame.strip;
    if (strip.h > 0 && (whole || frame.strip != nullptr)) {
      if (lastStrip_ != nullptr) {
        scaler_.Draw(target, strip, *lastStrip_, strip, lastStrip_->Height() != strip.h);
      } else {
        FillGrey(target, strip);
      }
      rects_.push_back(ToSdl(strip));
    }
    if (whole) {
      scaler_.Draw(target, picture, pic, picture, frame.smooth);
      return;
    }
    for (const PixelRect& changed : frame.changed) {
      const PixelRect area = ScaledArea(picture, pic.Width(), pic.Height(), changed, frame.smooth);
      scaler_.Draw(target, picture, pic, area, frame.smooth);
      if (area.w > 0 && area.h > 0) rects_.push_back(ToSdl(area));
    }
  }

  static void FillGrey(const PixelTarget& target, const PixelRect& r) {
    const std::uint32_t grey = MakeRgb(kStripGrey[0], kStripGrey[1], kStripGrey[2]);
    for (int y = r.y; y < r.y + r.h && y < target.height; ++y) {
      std::uint32_t* row = target.pixels + static_cast<std::ptrdiff_t>(y) * target.pitch;
      std::fill(row + r.x, row + std::min(r.x + r.w, target.width), grey);
    }
  }

  SDL_Window* window_;
  SDL_Surface* lastScreen_ = nullptr;
  const Surface* lastStrip_ = nullptr;  // the platform's, alive as long as it
  SdlSurfacePtr staging_;
  PictureScaler scaler_;
  std::vector<SDL_Rect> rects_;
};

void SetFilter(SDL_Texture* t, bool smooth) {
  SDL_SetTextureScaleMode(t, smooth ? SDL_ScaleModeLinear : SDL_ScaleModeNearest);
}

// One of SDL's render drivers: textures for the picture and the strip, the
// whole frame rendered and presented each time.
class RendererPresenter final : public SdlPresenter {
 public:
  explicit RendererPresenter(SDL_Renderer* renderer) : renderer_(renderer) {}

  [[nodiscard]] Status Init() {
    if (!renderer_) return Status::Error(SdlError("cannot create the renderer"));
    picture_.reset(SDL_CreateTexture(renderer_.get(), SDL_PIXELFORMAT_RGB888,
                                     SDL_TEXTUREACCESS_STREAMING, Viewport::kPictureWidth,
                                     Viewport::kPictureHeight));
    if (!picture_) return Status::Error(SdlError("cannot create the picture texture"));
    return Status();
  }

  bool DrawableSize(int& w, int& h) override {
    return SDL_GetRendererOutputSize(renderer_.get(), &w, &h) == 0;
  }

  void Show(const PresentFrame& frame) override {
    SDL_Renderer* r = renderer_.get();
    const Surface& pic = *frame.picture;
    const std::vector<PixelRect> whole{PixelRect{0, 0, pic.Width(), pic.Height()}};
    for (const PixelRect& c : frame.whole ? whole : frame.changed) {
      const SDL_Rect rect = ToSdl(c);
      SDL_UpdateTexture(picture_.get(), &rect, pic.Row(c.y) + c.x,
                        pic.Width() * static_cast<int>(sizeof(Rgb)));
    }
    if (frame.strip != nullptr) UpdateStrip(*frame.strip);
    SDL_SetRenderDrawColor(r, 0, 0, 0, 255);
    SDL_RenderClear(r);
    const SDL_Rect strip = ToSdl(frame.view.Strip());
    if (strip.h > 0 && strip_) {
      SetFilter(strip_.get(), strip.h % stripH_ != 0);
      SDL_RenderCopy(r, strip_.get(), nullptr, &strip);
    } else if (strip.h > 0) {
      SDL_SetRenderDrawColor(r, kStripGrey[0], kStripGrey[1], kStripGrey[2], 255);
      SDL_RenderFillRect(r, &strip);
    }
    const SDL_Rect picture = ToSdl(frame.view.Picture());
    SetFilter(picture_.get(), frame.smooth);
    SDL_RenderCopy(r, picture_.get(), nullptr, &picture);
    SDL_RenderPresent(r);
  }

 private:
  // Without a texture (a window wider than the renderer allows) the bare
  // strip shows.
  void UpdateStrip(const Surface& pixels) {
    if (pixels.Empty()) return;
    if (stripW_ != pixels.Width() || stripH_ != pixels.Height()) {
      strip_.reset(SDL_CreateTexture(renderer_.get(), SDL_PIXELFORMAT_RGB888,
                                     SDL_TEXTUREACCESS_STREAMING, pixels.Width(), pixels.Height()));
      stripW_ = pixels.Width();
      stripH_ = pixels.Height();
    }
    if (strip_) {
      SDL_UpdateTexture(strip_.get(), nullptr, pixels.Pixels().data(),
                        pixels.Width() * static_cast<int>(sizeof(Rgb)));
    }
  }

  SdlRendererPtr renderer_;
  SdlTexturePtr picture_;
  SdlTexturePtr strip_;
  int stripW_ = 0;
  int stripH_ = 1;
};

std::string DriverNames() {
  std::string names = kFramebuffer;
  for (int i = 0; i < SDL_GetNumRenderDrivers(); ++i) {
    SDL_RendererInfo info{};
    if (SDL_GetRenderDriverInfo(i, &info) == 0) names += std::string(", ") + info.name;
  }
  return names;
}

}  // namespace

Result<std::unique_ptr<SdlPresenter>> CreateSdlPresenter(SDL_Window* window,
                                                         const std::string& name) {
  using Made = Result<std::unique_ptr<SdlPresenter>>;
  const char* hint = SDL_GetHint(SDL_HINT_RENDER_DRIVER);
  const bool hinted = hint != nullptr && *hint != '\0';
  if (name == kFramebuffer || (name.empty() && !hinted)) {
    return std::unique_ptr<SdlPresenter>(std::make_unique<FramebufferPresenter>(window));
  }
  int index = -1;  // SDL's choice, which follows its hint
  if (!name.empty()) {
    for (int i = 0; i < SDL_GetNumRenderDrivers() && index < 0; ++i) {
      SDL_RendererInfo info{};
      if (SDL_GetRenderDriverInfo(i, &info) == 0 && name == info.name) index = i;
    }
    if (index < 0) {
      return Made::Error("no renderer called " + name + " (there are: " + DriverNames() + ")");
    }
  }
  auto presenter = std::make_unique<RendererPresenter>(SDL_CreateRenderer(window, index, 0));
  if (Status ready = presenter->Init(); !ready) return Made::Error(ready.error());
  return std::unique_ptr<SdlPresenter>(std::move(presenter));
}

void ShowInWindow(SDL_Window* window, const Surface& pixels) {
  SDL_Surface* screen = SDL_GetWindowSurface(window);
  SdlSurfacePtr source = Wrap(pixels);
  if (screen == nullptr || !source) return;
  SDL_BlitSurface(source.get(), nullptr, screen, nullptr);
  SDL_UpdateWindowSurface(window);
}

}  // namespace kovan
