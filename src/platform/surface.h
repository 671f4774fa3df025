// 24-bit pixel surfaces and the block operations the game draws with.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kovan {

// A colour as 0x00RRGGBB. Pixels are stored the same way, which is also the
// byte order blue, green, red, reserved of the 32-bit device-independent
// layout on a little-endian machine.
using Rgb = std::uint32_t;

constexpr Rgb MakeRgb(int r, int g, int b) {
  return (static_cast<Rgb>(r & 0xFF) << 16) | (static_cast<Rgb>(g & 0xFF) << 8) |
         static_cast<Rgb>(b & 0xFF);
}
constexpr int RedOf(Rgb c) { return static_cast<int>((c >> 16) & 0xFF); }
constexpr int GreenOf(Rgb c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int BlueOf(Rgb c) { return static_cast<int>(c & 0xFF); }

constexpr Rgb kBlack = 0x000000;
constexpr Rgb kWhite = 0xFFFFFF;

enum class RasterOp : std::uint32_t {
  kSrcCopy = 0x00CC0020,    // dst = src
  kSrcAnd = 0x008800C6,     // dst = dst AND src
  kSrcInvert = 0x00660046,  // dst = dst XOR src
};

// The largest width or height a surface takes; larger sizes are cut to it,
// negative ones count as zero.
constexpr int kMaxSurfaceSide = 16384;

// A rectangular true-colour picture with a persistent backing store, plus
// what the window needs to show it: position, shown flag, stacking order.
// A surface of zero width or height holds no pixels and draws nothing.
class Surface {
 public:
  Surface() = default;
  // fill is also the background colour.
  Surface(int width, int height, Rgb fill = kBlack);

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Empty() const { return width_ <= 0 || height_ <= 0; }

  // Resizes the store; every pixel becomes the background colour.
  void Resize(int width, int height);
  // Sets the background colour and clears the store to it.
  void SetBackColor(Rgb c);
  Rgb BackColor() const { return backColor_; }
  void SetForeColor(Rgb c) { foreColor_ = c; }
  Rgb ForeColor() const { return foreColor_; }

  // One pixel; a point outside the store reads as black.
  Rgb Point(int x, int y) const;
  void SetPoint(int x, int y, Rgb c);
  // Filled box from (x1, y1) up to but not including (x2, y2), clipped; a
  // box with x2 <= x1 or y2 <= y1 fills nothing.
  void FillBox(int x1, int y1, int x2, int y2, Rgb c);

  // A surface that was only sized or cleared keeps no store: every pixel
  // is the background colour until something reads its rows or draws on
  // it. Drawing from it, or composing it, needs no store either.
  bool Plain() const { return pixels_.empty() && !Empty(); }

  Rgb* Row(int y) { return Store().data() + static_cast<std::size_t>(y) * width_; }
  const Rgb* Row(int y) const { return Store().data() + static_cast<std::size_t>(y) * width_; }
  const std::vector<Rgb>& Pixels() const { return Store(); }
  std::vector<Rgb>& Pixels() { return Store(); }

  // Window placement (client coordinates) and visibility.
  std::string name;
  int left = 0;
  int top = 0;
  bool shown = false;
  int zOrder = 0;  // higher is drawn later, over lower ones
  // A control inside another (a label in the message window): its position
  // is relative to the container, it shows only while the container shows,
  // and it is clipped to the container.
  const Surface* container = nullptr;
  // Exactly black pixels let what lies below show (a label's background).
  bool keyBlack = false;

 private:
  int width_ = 0;
  int height_ = 0;
  Rgb backColor_ = kBlack;
  Rgb foreColor_ = kBlack;
  // The store made when first wanted (see Plain).
  std::vector<Rgb>& Store() const;
  void Release();
  mutable std::vector<Rgb> pixels_;
};

// Combines the w x h area of src at (xs, ys) into dst at (x, y). Clipped like
// the GDI call: only pixels whose source and destination both lie inside
// their surfaces are touched; the rest of the area is left alone. dst and
// src may be the same surface, with overlapping areas. A width or height
// below 1, or an op other than the three above, draws nothing.
void BitBlt(Surface& dst, int x, int y, int w, int h, const Surface& src, int xs, int ys,
            RasterOp op);

// Writes a mask of the w x h area of src at (x, y) into dst at (0, 0): pixels
// that are exactly black become dst's background colour, all others its
// foreground colour.
void MakeMask(Surface& dst, const Surface& src, int x, int y, int w, int h);

// Reads the whole store as 32-bit pixels, bottom row first, into a vector
// of w*h + 1 entries (the last holds no pixel). Returns w*h, or -1 for a
// surface without pixels (the vector is then left as it was).
long GetPixels(const Surface& s, std::vector<std::uint32_t>& pixels);
// Writes pixels of the same layout back. Returns 0, or -1 when the vector is
// shorter than w*h or the surface has no pixels. The top byte of each entry
// is ignored.
long SetPixels(Surface& s, const std::vector<std::uint32_t>& pixels);

// The blend work set: one w x h area at a time, opened once and stepped
// many times (a fade), then closed. Only pixels inside dst are drawn; where
// src's area reaches outside src, dst's own pixels stand in for the missing
// ones, so those pixels keep their colour.
class Blender {
 public:
  void Open(int w, int h);
  // Blends src's area at (xs, ys) into dst's at (x, y): every byte of the
  // 24-bit rows, padding included, becomes B*alpha + A*(1-alpha) with the
  // factors in single precision, rounded half to even. Alpha outside 0..1,
  // or w/h different from the open set, draws nothing.
  void Step(Surface& dst, int x, int y, int w, int h, const Surface& src, int xs, int ys,
            float alpha);
  void Close();
  bool IsOpen() const { return w_ > 0 && h_ > 0; }

 private:
  int w_ = 0;
  int h_ = 0;
  int stride_ = 0;
  std::vector<std::uint8_t> a_;
  std::vector<std::uint8_t> b_;
  std::vector<std::uint8_t> mix_;  // the step's result for each pair of bytes
};

// Open, Step and Close in one call.
void BlendArea(Surface& dst, int x, int y, int w, int h, const Surface& src, int xs, int ys,
               float alpha);

}  // namespace kovan
