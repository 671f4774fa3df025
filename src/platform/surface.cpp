#include "platform/surface.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <optional>

namespace kovan {

namespace {

int ClampSide(int side) { return std::clamp(side, 0, kMaxSurfaceSide); }

// The part of a w x h block that lies inside both surfaces: the block's
// top-left in each, and the size that remains.
struct Block {
  int dx = 0;
  int dy = 0;
  int sx = 0;
  int sy = 0;
  int w = 0;
  int h = 0;
};

// One axis of the clip: the offsets i in [0, len) with d + i in [0, dLimit)
// and s + i in [0, sLimit). Wide arithmetic so huge coordinates can't wrap.
bool ClipAxis(int d, int s, int len, int dLimit, int sLimit, int& first, int& count) {
  long long lo = 0;
  long long hi = len;
  lo = std::max({lo, -static_cast<long long>(d), -static_cast<long long>(s)});
  hi = std::min({hi, static_cast<long long>(dLimit) - d, static_cast<long long>(sLimit) - s});
  if (hi <= lo) return false;
  first = static_cast<int>(lo);
  count = static_cast<int>(hi - lo);
  return true;
}

std::optional<Block> ClipBlock(int dstW, int dstH, int x, int y, int w, int h, int srcW, int srcH,
                               int xs, int ys) {
  int firstX = 0, countX = 0, firstY = 0, countY = 0;
  if (w <= 0 || h <= 0) return std::nullopt;
  if (!ClipAxis(x, xs, w, dstW, srcW, firstX, countX)) return std::nullopt;
  if (!ClipAxis(y, ys, h, dstH, srcH, firstY, countY)) return std::nullopt;
  return Block{x + firstX, y + firstY, xs + firstX, ys + firstY, countX, countY};
}

// dst[i] = f(dst[i], src[i]), four pixels a step so the compiler can
// combine them into one vector operation.
template <typename F>
void CombineEach(Rgb* __restrict dst, const Rgb* __restrict src, int n, F f) {
  int i = 0;
  for (; i + 4 <= n; i += 4) {
    dst[i] = f(dst[i], src[i]);
    dst[i + 1] = f(dst[i + 1], src[i + 1]);
    dst[i + 2] = f(dst[i + 2], src[i + 2]);
    dst[i + 3] = f(dst[i + 3], src[i + 3]);
  }
  for (; i < n; ++i) dst[i] = f(dst[i], src[i]);
}

void CombineRow(Rgb* dst, const Rgb* src, int n, RasterOp op) {
  switch (op) {
    case RasterOp::kSrcCopy:
      std::memcpy(dst, src, static_cast<std::size_t>(n) * sizeof(Rgb));
      break;
    case RasterOp::kSrcAnd:
      CombineEach(dst, src, n, [](Rgb d, Rgb s) { return d & s; });
      break;
    case RasterOp::kSrcInvert:
      CombineEach(dst, src, n, [](Rgb d, Rgb s) { return d ^ s; });
      break;
  }
}

bool KnownOp(RasterOp op) {
  return op == RasterOp::kSrcCopy || op == RasterOp::kSrcAnd || op == RasterOp::kSrcInvert;
}

// Copies a block of a surface into a tightly packed buffer, so an operation
// whose source and destination share a store reads the old pixels.
std::vector<Rgb> CopyBlock(const Surface& s, int x, int y, int w, int h) {
  std::vector<Rgb> out(static_cast<std::size_t>(w) * h);
  for (int j = 0; j < h; ++j) {
    std::memcpy(out.data() + static_cast<std::size_t>(j) * w, s.Row(y + j) + x,
                static_cast<std::size_t>(w) * sizeof(Rgb));
  }
  return out;
}

// Rounds a non-negative float below 2^22 to the nearest integer, ties to
// even: adding 1.5 * 2^23 leaves a float whose unit is 1, so the addition
// itself rounds in the default mode, and the integer sits in the low bits.
inline int RoundHalfEven(float v) {
  const float shifted = v + 12582912.0f;
  std::uint32_t bits;
  std::memcpy(&bits, &shifted, sizeof bits);
  return static_cast<int>(bits) - 0x4B400000;
}

}  // namespace

Surface::Surface(int width, int height, Rgb fill) : backColor_(fill) { Resize(width, height); }

void Surface::Resize(int width, int height) {
  width_ = ClampSide(width);
  height_ = ClampSide(height);
  Release();
}

void Surface::SetBackColor(Rgb c) {
  backColor_ = c;
  Release();
}

std::vector<Rgb>& Surface::Store() const {
  if (pixels_.empty()) pixels_.assign(static_cast<std::size_t>(width_) * height_, backColor_);
  return pixels_;
}

// The memory goes back at once: a cleared picture-sized store is the
// largest thing the game holds.
void Surface::Release() { std::vector<Rgb>().swap(pixels_); }

Rgb Surface::Point(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return kBlack;
  return Plain() ? backColor_ : Row(y)[x];
}

void Surface::SetPoint(int x, int y, Rgb c) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  Row(y)[x] = c;
}

void Surface::FillBox(int x1, int y1, int x2, int y2, Rgb c) {
  x1 = std::clamp(x1, 0, width_);
  y1 = std::clamp(y1, 0, height_);
  x2 = std::clamp(x2, x1, width_);
  y2 = std::clamp(y2, y1, height_);
  for (int y = y1; y < y2; ++y) std::fill(Row(y) + x1, Row(y) + x2, c);
}

void BitBlt(Surface& dst, int x, int y, int w, int h, const Surface& src, int xs, int ys,
            RasterOp op) {
  if (!KnownOp(op)) return;
  const auto b =
      ClipBlock(dst.Width(), dst.Height(), x, y, w, h, src.Width(), src.Height(), xs, ys);
  if (!b) return;
  if (src.Plain()) {
    const Rgb fill = src.BackColor();
    for (int j = 0; j < b->h; ++j) {
      Rgb* row = dst.Row(b->dy + j) + b->dx;
      switch (op) {
        case RasterOp::kSrcCopy:
          std::fill(row, row + b->w, fill);
          break;
        case RasterOp::kSrcAnd:
          for (int i = 0; i < b->w; ++i) row[i] &= fill;
          break;
        case RasterOp::kSrcInvert:
          for (int i = 0; i < b->w; ++i) row[i] ^= fill;
          break;
      }
    }
    return;
  }
  if (&dst == &src) {
    const std::vector<Rgb> copy = CopyBlock(src, b->sx, b->sy, b->w, b->h);
    for (int j = 0; j < b->h; ++j) {
      CombineRow(dst.Row(b->dy + j) + b->dx, copy.data() + static_cast<std::size_t>(j) * b->w, b->w,
                 op);
    }
    return;
  }
  for (int j = 0; j < b->h; ++j) {
    CombineRow(dst.Row(b->dy + j) + b->dx, src.Row(b->sy + j) + b->sx, b->w, op);
  }
}

void MakeMask(Surface& dst, const Surface& src, int x, int y, int w, int h) {
  const auto b = ClipBlock(dst.Width(), dst.Height(), 0, 0, w, h, src.Width(), src.Height(), x, y);
  if (!b) return;
  const Rgb back = dst.BackColor();
  const Rgb fore = dst.ForeColor();
  std::vector<Rgb> copy;
  if (&dst == &src) copy = CopyBlock(src, b->sx, b->sy, b->w, b->h);
  for (int j = 0; j < b->h; ++j) {
    const Rgb* in = copy.empty() ? src.Row(b->sy + j) + b->sx
                                 : copy.data() + static_cast<std::size_t>(j) * b->w;
    CombineEach(dst.Row(b->dy + j) + b->dx, in, b->w,
                [back, fore](Rgb, Rgb s) { return s == 0 ? back : fore; });
  }
}

long GetPixels(const Surface& s, std::vector<std::uint32_t>& pixels) {
  if (s.Empty()) return -1;
  const int w = s.Width();
  const int h = s.Height();
  pixels.assign(static_cast<std::size_t>(w) * h + 1, 0);
  for (int j = 0; j < h; ++j) {
    std::memcpy(pixels.data() + static_cast<std::size_t>(h - 1 - j) * w, s.Row(j),
                static_cast<std::size_t>(w) * sizeof(Rgb));
  }
  return static_cast<long>(w) * h;
}

long SetPixels(Surface& s, const std::vector<std::uint32_t>& pixels) {
  if (s.Empty()) return -1;
  const int w = s.Width();
  const int h = s.Height();
  if (pixels.size() < static_cast<std::size_t>(w) * h) return -1;
  for (int j = 0; j < h; ++j) {
    const std::uint32_t* in = pixels.data() + static_cast<std::size_t>(h - 1 - j) * w;
    Rgb* out = s.Row(j);
    for (int i = 0; i < w; ++i) out[i] = in[i] & 0x00FFFFFF;
  }
  return 0;
}

// --- Blending ---------------------------------------------------------------
//
// The work image and the two operands are 24-bit rows (blue, green, red),
// each padded with zero bytes to a multiple of four. Rows are kept top-down;
// the blend treats every byte alike, so their order doesn't matter. b_ is
// the work image: it keeps what the last step read between steps.

namespace {

// Writes the clipped part of s's w x h area at (x, y) into a 24-bit image of
// that size; bytes outside the clip keep their value. Returns whether the
// whole area was inside s.
bool ReadArea(std::vector<std::uint8_t>& image, int stride, int w, int h, const Surface& s, int x,
              int y) {
  const auto b = ClipBlock(w, h, 0, 0, w, h, s.Width(), s.Height(), x, y);
  if (!b) return false;
  // A plain surface is read as rows of its colour, and stays without store.
  const std::vector<Rgb> plain(s.Plain() ? static_cast<std::size_t>(b->w) : 0, s.BackColor());
  for (int j = 0; j < b->h; ++j) {
    const Rgb* in = s.Plain() ? plain.data() : s.Row(b->sy + j) + b->sx;
    std::uint8_t* out = image.data() + static_cast<std::size_t>(b->dy + j) * stride + 3 * b->dx;
    const int last = b->w - 1;
    // Four bytes at a time (blue, green, red, zero on a little-endian
    // machine): the zero lands where the next pixel's blue goes.
    if constexpr (std::endian::native == std::endian::little) {
      for (int i = 0; i < last; ++i) std::memcpy(out + 3 * i, in + i, 4);
    } else {
      for (int i = 0; i < last; ++i) {
        out[3 * i] = static_cast<std::uint8_t>(in[i]);
        out[3 * i + 1] = static_cast<std::uint8_t>(in[i] >> 8);
        out[3 * i + 2] = static_cast<std::uint8_t>(in[i] >> 16);
      }
    }
    out[3 * last] = static_cast<std::uint8_t>(in[last]);
    out[3 * last + 1] = static_cast<std::uint8_t>(in[last] >> 8);
    out[3 * last + 2] = static_cast<std::uint8_t>(in[last] >> 16);
  }
  return b->w == w && b->h == h;
}

// Draws a w x h 24-bit image onto s at (x, y), clipped to s.
void DrawArea(Surface& s, int x, int y, int w, int h, const std::vector<std::uint8_t>& image,
              int stride) {
  const auto b = ClipBlock(s.Width(), s.Height(), x, y, w, h, w, h, 0, 0);
  if (!b) return;
  for (int j = 0; j < b->h; ++j) {
    const std::uint8_t* in =
        image.data() + static_cast<std::size_t>(b->sy + j) * stride + 3 * b->sx;
    Rgb* out = s.Row(b->dy + j) + b->dx;
    const int last = b->w - 1;
    if constexpr (std::endian::native == std::endian::little) {
      for (int i = 0; i < last; ++i) {
        Rgb p;
        std::memcpy(&p, in + 3 * i, 4);  // the fourth byte is the next pixel's
        out[i] = p & 0x00FFFFFF;
      }
    } else {
      for (int i = 0; i < last; ++i) out[i] = MakeRgb(in[3 * i + 2], in[3 * i + 1], in[3 * i]);
    }
    out[last] = MakeRgb(in[3 * last + 2], in[3 * last + 1], in[3 * last]);
  }
}

// Fills mix with the result for every pair of bytes: mix[a * 256 + b] is
// b * alpha + a * (1 - alpha), rounded. The products are the single
// precision ones of the plain expression, each rounded to float before the
// sum; kept in tables, they can't be fused into a multiply-add.
void BuildMix(std::vector<std::uint8_t>& mix, float alpha) {
  const float inv = 1.0f - alpha;
  float ta[256];
  float tb[256];
  for (int v = 0; v < 256; ++v) {
    ta[v] = static_cast<float>(v) * inv;
    tb[v] = static_cast<float>(v) * alpha;
  }
  mix.resize(256 * 256);
  for (int a = 0; a < 256; ++a) {
    std::uint8_t* row = mix.data() + a * 256;
    const float fromA = ta[a];
    for (int b = 0; b < 256; ++b) {
      row[b] = static_cast<std::uint8_t>(std::min(RoundHalfEven(tb[b] + fromA), 255));
    }
  }
}

// a[i] = mix[a[i] * 256 + b[i]] for every byte.
void MixBytes(std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b,
              const std::vector<std::uint8_t>& mix) {
  std::uint8_t* __restrict out = a.data();
  const std::uint8_t* __restrict in = b.data();
  const std::uint8_t* __restrict table = mix.data();
  for (std::size_t i = 0, n = a.size(); i < n; ++i) out[i] = table[(out[i] << 8) | in[i]];
}

}  // namespace

void Blender::Open(int w, int h) {
  Close();
  if (w <= 0 || h <= 0 || w > kMaxSurfaceSide || h > kMaxSurfaceSide) return;
  w_ = w;
  h_ = h;
  stride_ = (w * 3 + 3) & ~3;
  a_.assign(static_cast<std::size_t>(stride_) * h, 0);
  b_.assign(static_cast<std::size_t>(stride_) * h, 0);
}

void Blender::Step(Surface& dst, int x, int y, int w, int h, const Surface& src, int xs, int ys,
                   float alpha) {
  if (!IsOpen() || w != w_ || h != h_) return;
  if (!(alpha >= 0.0f && alpha <= 1.0f)) return;  // also refuses NaN
  // The work image takes the destination's area, which becomes A, then the
  // source's area over it, which becomes B. When an area lies wholly inside
  // its surface, reading it straight into its operand gives the same bytes.
  if (!ReadArea(a_, stride_, w_, h_, dst, x, y)) {
    ReadArea(b_, stride_, w_, h_, dst, x, y);
    a_ = b_;
  }
  if (!ReadArea(b_, stride_, w_, h_, src, xs, ys)) {
    b_ = a_;
    ReadArea(b_, stride_, w_, h_, src, xs, ys);
  }
  BuildMix(mix_, alpha);
  MixBytes(a_, b_, mix_);
  DrawArea(dst, x, y, w_, h_, a_, stride_);
}

void Blender::Close() {
  w_ = 0;
  h_ = 0;
  stride_ = 0;
  a_ = {};
  b_ = {};
  mix_ = {};
}

void BlendArea(Surface& dst, int x, int y, int w, int h, const Surface& src, int xs, int ys,
               float alpha) {
  Blender blender;
  blender.Open(w, h);
  blender.Step(dst, x, y, w, h, src, xs, ys, alpha);
  blender.Close();
}

}  // namespace kovan
