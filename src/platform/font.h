// Text drawing with the fonts the game names ("ＭＳ ゴシック" and the like),
// resolved through fontconfig to an installed Japanese Gothic. Both backends
// draw text through this, so their pixels match.
#pragma once

#include <memory>
#include <string>

#include "platform/result.h"
#include "platform/surface.h"

namespace kovan {

// Points to pixels at 96 DPI: 12 pt is 16 px.
int PointsToPixels(double points);

// Reads the system's font configuration, which the first Open would
// otherwise do: run on a thread of its own while the window system starts,
// and finished (joined) before any font is opened.
void LoadFontConfiguration();

class Font {
 public:
  // Opens the font that fontconfig picks for the family at the size.
  [[nodiscard]] static Result<std::unique_ptr<Font>> Open(const std::string& familyUtf8,
                                                          double points);
  virtual ~Font() = default;
  // The pixel height the font was opened at.
  virtual int PixelSize() const = 0;
  // Width and height of a text in pixels.
  virtual int TextWidth(const std::string& utf8) = 0;
  virtual int TextHeight() const = 0;
  // Draws text with its top-left at (x, y) in colour c; the background stays.
  virtual void TextOut(Surface& dst, int x, int y, const std::string& utf8, Rgb c) = 0;
  // The file fontconfig chose.
  virtual const std::string& FilePath() const = 0;
};

}  // namespace kovan
