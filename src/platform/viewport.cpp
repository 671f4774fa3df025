#include "platform/viewport.h"

#include <algorithm>
#include <cstdint>

namespace kovan {

namespace {

using Wide = std::int64_t;

// Rounds a quotient towards minus infinity (den > 0).
Wide FloorDiv(Wide num, Wide den) { return num >= 0 ? num / den : -((-num + den - 1) / den); }

// The picture pixel, along one axis, under the centre of window point q:
// the centre (q + 1/2) in points is (q + 1/2) * D / W in pixels, and a
// picture of L pixels shown at offset o with size s puts it at
// ((q + 1/2) * D / W - o) * L / s. Whole numbers throughout, so the answer
// is the one a nearest-pixel scaler shows there.
Wide PictureAxis(Wide q, Wide window, Wide drawable, Wide offset, Wide size, Wide length) {
  return FloorDiv(((2 * q + 1) * drawable - 2 * offset * window) * length, 2 * window * size);
}

// The window point holding the centre of picture pixel p, (o + (p + 1/2) *
// s / L) * W / D, along one axis.
Wide WindowAxis(Wide p, Wide window, Wide drawable, Wide offset, Wide size, Wide length) {
  return FloorDiv(((2 * p + 1) * size + 2 * offset * length) * window, 2 * length * drawable);
}

// The first drawable pixel whose centre shows picture column (or row) p or
// a later one: ceil(o + p * s / L - 1/2).
Wide DrawableEdge(Wide p, Wide offset, Wide size, Wide length) {
  return -FloorDiv(-(2 * offset * length + 2 * p * size - length), 2 * length);
}

}  // namespace

Viewport::Viewport(int windowW, int windowH, int drawableW, int drawableH, int stripHeight)
    : windowW_(std::max(1, windowW)),
      windowH_(std::max(1, windowH)),
      drawableW_(std::max(1, drawableW)),
      drawableH_(std::max(1, drawableH)),
      stripHeight_(std::clamp(stripHeight, 0, windowH_)) {
  // The strip's bottom edge, rounded up to a whole pixel.
  const int stripPixels = static_cast<int>(
      std::min<Wide>(drawableH_, -FloorDiv(-Wide{stripHeight_} * drawableH_, windowH_)));
  strip_ = PixelRect{0, 0, drawableW_, stripPixels};
  const int areaW = drawableW_;
  const int areaH = drawableH_ - stripPixels;
  int w = 0, h = 0;
  if (Wide{areaW} * kPictureHeight <= Wide{areaH} * kPictureWidth) {
    w = areaW;
    h = static_cast<int>(Wide{areaW} * kPictureHeight / kPictureWidth);
  } else {
    h = areaH;
    w = static_cast<int>(Wide{areaH} * kPictureWidth / kPictureHeight);
  }
  picture_ = PixelRect{(areaW - w) / 2, stripPixels + (areaH - h) / 2, w, h};
}

bool Viewport::WholeFactor() const {
  const int k = picture_.w / kPictureWidth;
  return k >= 1 && picture_.w == k * kPictureWidth && picture_.h == k * kPictureHeight;
}

bool Viewport::Smooth(ScaleFilter filter) const {
  switch (filter) {
    case ScaleFilter::kNearest:
      return false;
    case ScaleFilter::kLinear:
      return true;
    case ScaleFilter::kAuto:
      break;
  }
  return !WholeFactor();
}

bool Viewport::InStrip(int x, int y) const {
  return x >= 0 && x < windowW_ && y >= 0 && y < stripHeight_;
}

std::optional<PicturePoint> Viewport::ToPicture(int x, int y) const {
  if (picture_.w <= 0 || picture_.h <= 0 || InStrip(x, y)) return std::nullopt;
  if (x < 0 || y < 0 || x >= windowW_ || y >= windowH_) return std::nullopt;
  const Wide px = PictureAxis(x, windowW_, drawableW_, picture_.x, picture_.w, kPictureWidth);
  const Wide py = PictureAxis(y, windowH_, drawableH_, picture_.y, picture_.h, kPictureHeight);
  if (px < 0 || py < 0 || px >= kPictureWidth || py >= kPictureHeight) return std::nullopt;
  return PicturePoint{static_cast<int>(px), static_cast<int>(py)};
}

PicturePoint Viewport::ToWindow(int px, int py) const {
  return PicturePoint{
      static_cast<int>(WindowAxis(px, windowW_, drawableW_, picture_.x, picture_.w, kPictureWidth)),
      static_cast<int>(
          WindowAxis(py, windowH_, drawableH_, picture_.y, picture_.h, kPictureHeight))};
}

PixelRect Viewport::PictureToDrawable(const PixelRect& r) const {
  const Wide left = DrawableEdge(r.x, picture_.x, picture_.w, kPictureWidth);
  const Wide right = DrawableEdge(Wide{r.x} + r.w, picture_.x, picture_.w, kPictureWidth);
  const Wide top = DrawableEdge(r.y, picture_.y, picture_.h, kPictureHeight);
  const Wide bottom = DrawableEdge(Wide{r.y} + r.h, picture_.y, picture_.h, kPictureHeight);
  return PixelRect{static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
                   static_cast<int>(bottom - top)};
}

}  // namespace kovan
