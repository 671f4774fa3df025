// Scaling the picture (or the menu strip) into the window's pixels on the
// CPU, whole or only where it changed, and finding what changed between two
// frames. Free of any window system: the window's framebuffer presenter and
// the tests share it.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/surface.h"
#include "platform/viewport.h"

namespace kovan {

// A block of 32-bit pixels laid out as Rgb (0x00RRGGBB) to draw into.
struct PixelTarget {
  std::uint32_t* pixels = nullptr;
  int width = 0;
  int height = 0;
  int pitch = 0;  // pixels from one row to the next
};

// Draws src scaled to fill `place` of the target, but only the target
// pixels inside `area` (cut to place and to the target). A target pixel
// takes the source pixel under its centre, or, when smooth, a bilinear mix
// of the four source pixels around its centre. A pixel's value depends on
// nothing but its place, so drawing part of the place gives the same pixels
// as drawing all of it.
class PictureScaler {
 public:
  void Draw(PixelTarget target, const PixelRect& place, const Surface& src, const PixelRect& area,
            bool smooth);

 private:
  void DrawNearest(PixelTarget target, const PixelRect& place, const Surface& src,
                   const PixelRect& cut);
  void DrawSmooth(PixelTarget target, const PixelRect& place, const Surface& src,
                  const PixelRect& cut);
  // Source row y scaled across the cut's columns, kept for the next row.
  const std::uint32_t* SpreadRow(const Surface& src, int y, int slot);

  std::vector<int> columns_;  // per target column: the first of its two source columns
  // Per target column, the weights (out of 256) of its two source pixels
  // in 16-bit lanes: blue, green, red and top byte of the first, then of
  // the second; the top byte's are 0.
  std::vector<std::uint16_t> weights_;
  std::vector<std::uint32_t> rows_[2];
  int rowOf_[2] = {-1, -1};
};

// The target pixels that show source pixels inside `changed` when a
// srcW x srcH source is scaled into place (a little more is harmless),
// cut to place.
PixelRect ScaledArea(const PixelRect& place, int srcW, int srcH, const PixelRect& changed,
                     bool smooth);

// The smallest rectangle that holds every pixel in which a and b differ;
// nothing when they are equal. Surfaces of different sizes differ in the
// whole of the larger one.
std::optional<PixelRect> ChangedRect(const Surface& a, const Surface& b);

// Rectangles that together hold every pixel in which a and b differ (none
// when they are equal): bands of changed columns, or of changed rows,
// whichever covers less, so that thin stripes across the picture (a blinds
// transition) are not sent as the whole picture.
std::vector<PixelRect> ChangedRects(const Surface& a, const Surface& b);

}  // namespace kovan
