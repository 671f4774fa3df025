// Where the 640 x 480 picture sits in a window of any size: below the menu
// strip (when shown), scaled to fit the rest with its aspect kept and
// centred, black bars beside it or above and below. Free of any window
// system, so the window backend, its presenters and the tests share it.
//
// Two kinds of units meet here. The window's size and mouse positions are
// in the units the window system reports them in (points); the drawable,
// what the picture is rendered into, is in pixels. On most desktops the two
// are the same; a high-DPI desktop gives more pixels than points.
#pragma once

#include <optional>

namespace kovan {

struct PixelRect {
  int x = 0, y = 0, w = 0, h = 0;
  bool operator==(const PixelRect&) const = default;
};

struct PicturePoint {
  int x = 0, y = 0;
  bool operator==(const PicturePoint&) const = default;
};

// How the picture is scaled: kAuto keeps whole pixels when the factor is
// whole and smooths otherwise; the other two force one filter.
enum class ScaleFilter { kAuto, kNearest, kLinear };

class Viewport {
 public:
  // The picture's own size.
  static constexpr int kPictureWidth = 640;
  static constexpr int kPictureHeight = 480;

  // A window of windowW x windowH points drawn into drawableW x drawableH
  // pixels, with a strip of stripHeight points across its top (0: none).
  // Sizes below 1 count as 1.
  Viewport(int windowW, int windowH, int drawableW, int drawableH, int stripHeight);

  // The strip and the picture, in drawable pixels. The strip spans the
  // width; the picture never overlaps it.
  PixelRect Strip() const { return strip_; }
  PixelRect Picture() const { return picture_; }
  // Whether the picture is shown at a whole factor (1, 2, 3 ...) of its
  // size, each picture pixel as a square block of drawable pixels.
  bool WholeFactor() const;
  // Whether the filter smooths at the picture's current size.
  bool Smooth(ScaleFilter filter) const;

  // Whether a window point lies on the strip.
  bool InStrip(int x, int y) const;
  // The picture pixel shown under the centre of a window point, or nothing
  // on the strip, the bars and outside the window.
  std::optional<PicturePoint> ToPicture(int x, int y) const;
  // The window point whose area holds the centre of a picture pixel.
  // Whenever the picture is shown at least as large as 640 x 480 points,
  // ToPicture(ToWindow(p)) gives p back.
  PicturePoint ToWindow(int px, int py) const;
  // A rectangle in picture pixels (an overlay drawn over the picture), in
  // drawable pixels: its edges land where the picture's pixel edges do.
  PixelRect PictureToDrawable(const PixelRect& r) const;

 private:
  int windowW_, windowH_, drawableW_, drawableH_, stripHeight_;
  PixelRect strip_;
  PixelRect picture_;
};

}  // namespace kovan
