#include "platform/picture_scaler.h"

#include <algorithm>
#include <climits>
#include <cstring>

#if defined(__SSE2__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
#include <emmintrin.h>
#define KOVAN_SCALER_SSE2 1
#endif

namespace kovan {

namespace {

PixelRect Intersect(const PixelRect& a, const PixelRect& b) {
  const int x0 = std::max(a.x, b.x);
  const int y0 = std::max(a.y, b.y);
  const int x1 = std::min(a.x + a.w, b.x + b.w);
  const int y1 = std::min(a.y + a.h, b.y + b.h);
  if (x1 <= x0 || y1 <= y0) return PixelRect{};
  return PixelRect{x0, y0, x1 - x0, y1 - y0};
}

// The source position under the centre of target pixel i of n, for a
// source of `size` pixels, in 1/256 pixel: the centre of source pixel k
// lies at k * 256.
long long CentreOf(int i, int n, int size) {
  return ((2LL * i + 1) * size * 256) / (2LL * n) - 128;
}

// Splits a centre into a pair of neighbouring source pixels, the first at
// or before it, and the weight (0..256) of the second. Past the last pixel
// the pair is the last two, weighted wholly to the second, so the second
// is always there unless the source is one pixel wide (then 0 and 0).
void Split(long long centre, int size, int& at, std::uint32_t& weight) {
  if (centre <= 0 || size < 2) {
    at = 0;
    weight = 0;
    return;
  }
  at = static_cast<int>(centre >> 8);
  weight = static_cast<std::uint32_t>(centre & 0xFF);
  if (at >= size - 1) {
    at = size - 2;
    weight = 256;
  }
}

// (256 - f) parts of a and f parts of b, each channel rounded.
std::uint32_t Mix(std::uint32_t a, std::uint32_t b, std::uint32_t f) {
  const std::uint32_t g = 256 - f;
  const std::uint32_t rb = (((a & 0xFF00FF) * g + (b & 0xFF00FF) * f + 0x800080) >> 8) & 0xFF00FF;
  const std::uint32_t gr = (((a & 0x00FF00) * g + (b & 0x00FF00) * f + 0x008000) >> 8) & 0x00FF00;
  return rb | gr;
}

#if KOVAN_SCALER_SSE2
// Mix for four pixels at once, channels widened to 16 bits (255 * 256 + 128
// still fits); g and f hold 256 - f and f for the channels of two pixels
// and 0 for their top bytes, which so come out 0.
__m128i Mix4(__m128i a, __m128i b, __m128i g, __m128i f) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i half = _mm_set1_epi16(128);
  const auto mixed = [&](__m128i wideA, __m128i wideB) {
    const __m128i sum = _mm_add_epi16(_mm_mullo_epi16(wideA, g), _mm_mullo_epi16(wideB, f));
    return _mm_srli_epi16(_mm_add_epi16(sum, half), 8);
  };
  return _mm_packus_epi16(mixed(_mm_unpacklo_epi8(a, zero), _mm_unpacklo_epi8(b, zero)),
                          mixed(_mm_unpackhi_epi8(a, zero), _mm_unpackhi_epi8(b, zero)));
}

// A weight for the channels of two pixels, 0 for their top bytes.
__m128i Lanes(std::uint32_t weight) {
  const auto w = static_cast<short>(weight);
  return _mm_set_epi16(0, w, w, w, 0, w, w, w);
}
#endif

// out[k] = Mix(a[k], b[k], f) for n pixels. The pixels go straight to
// memory, past the cache: a frame is more than the cache holds, and the
// window system reads it from another process.
void MixRows(std::uint32_t* out, const std::uint32_t* a, const std::uint32_t* b, int n,
             std::uint32_t f) {
  int k = 0;
#if KOVAN_SCALER_SSE2
  for (; k < n && reinterpret_cast<std::uintptr_t>(out + k) % 16 != 0; ++k) {
    out[k] = Mix(a[k], b[k], f);
  }
  const __m128i fw = Lanes(f), gw = Lanes(256 - f);
  for (; k + 4 <= n; k += 4) {
    const __m128i pa = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + k));
    const __m128i pb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + k));
    _mm_stream_si128(reinterpret_cast<__m128i*>(out + k), Mix4(pa, pb, gw, fw));
  }
  _mm_sfence();
#endif
  for (; k < n; ++k) out[k] = Mix(a[k], b[k], f);
}

}  // namespace

void PictureScaler::Draw(PixelTarget target, const PixelRect& place, const Surface& src,
                         const PixelRect& area, bool smooth) {
  if (target.pixels == nullptr || src.Empty() || place.w <= 0 || place.h <= 0) return;
  const PixelRect cut =
      Intersect(Intersect(area, place), PixelRect{0, 0, target.width, target.height});
  if (cut.w <= 0) return;
  if (smooth) {
    DrawSmooth(target, place, src, cut);
  } else {
    DrawNearest(target, place, src, cut);
  }
}

void PictureScaler::DrawNearest(PixelTarget target, const PixelRect& place, const Surface& src,
                                const PixelRect& cut) {
  const int srcW = src.Width();
  const int srcH = src.Height();
  columns_.resize(static_cast<std::size_t>(cut.w));
  for (int k = 0; k < cut.w; ++k) {
    const long long i = cut.x + k - place.x;
    columns_[k] =
        static_cast<int>(std::min<long long>(((2 * i + 1) * srcW) / (2LL * place.w), srcW - 1));
  }
  int lastRow = -1;
  const std::uint32_t* lastOut = nullptr;
  for (int dy = cut.y; dy < cut.y + cut.h; ++dy) {
    const long long j = dy - place.y;
    const int sy =
        static_cast<int>(std::min<long long>(((2 * j + 1) * srcH) / (2LL * place.h), srcH - 1));
    std::uint32_t* out = target.pixels + static_cast<std::ptrdiff_t>(dy) * target.pitch + cut.x;
    if (sy == lastRow) {
      std::memcpy(out, lastOut, sizeof(std::uint32_t) * static_cast<std::size_t>(cut.w));
    } else {
      const Rgb* in = src.Row(sy);
      for (int k = 0; k < cut.w; ++k) out[k] = in[columns_[k]] & 0xFFFFFF;
    }
    lastRow = sy;
    lastOut = out;
  }
}

const std::uint32_t* PictureScaler::SpreadRow(const Surface& src, int y, int slot) {
  std::vector<std::uint32_t>& row = rows_[slot];
  row.resize(columns_.size());
  const Rgb* in = src.Row(y);
  const int last = src.Width() - 1;
  const std::size_t n = columns_.size();
  std::size_t k = 0;
#if KOVAN_SCALER_SSE2
  // Each target pixel's pair of source pixels is one 8-byte load (a second
  // pixel is there when the source is two or more wide); both are weighed
  // at once and the halves added.
  const __m128i zero = _mm_setzero_si128();
  const __m128i half = _mm_set1_epi16(128);
  const auto weighed = [&](std::size_t i) {
    const __m128i pairs =
        _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(in + columns_[i])),
                           _mm_loadl_epi64(reinterpret_cast<const __m128i*>(in + columns_[i + 1])));
    const __m128i first =
        _mm_mullo_epi16(_mm_unpacklo_epi8(pairs, zero),
                        _mm_loadu_si128(reinterpret_cast<const __m128i*>(&weights_[8 * i])));
    const __m128i second =
        _mm_mullo_epi16(_mm_unpackhi_epi8(pairs, zero),
                        _mm_loadu_si128(reinterpret_cast<const __m128i*>(&weights_[8 * i + 8])));
    const __m128i sums =
        _mm_add_epi16(_mm_unpacklo_epi64(first, second), _mm_unpackhi_epi64(first, second));
    return _mm_srli_epi16(_mm_add_epi16(sums, half), 8);
  };
  for (; last >= 1 && k + 4 <= n; k += 4) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(&row[k]),
                     _mm_packus_epi16(weighed(k), weighed(k + 2)));
  }
#endif
  for (; k < n; ++k) {
    const int x = columns_[k];
    row[k] = Mix(in[x], in[std::min(x + 1, last)], weights_[8 * k + 4]);
  }
  rowOf_[slot] = y;
  return row.data();
}

void PictureScaler::DrawSmooth(PixelTarget target, const PixelRect& place, const Surface& src,
                               const PixelRect& cut) {
  const int srcW = src.Width();
  const int srcH = src.Height();
  columns_.resize(static_cast<std::size_t>(cut.w));
  weights_.resize(8 * static_cast<std::size_t>(cut.w));
  for (int k = 0; k < cut.w; ++k) {
    std::uint32_t f = 0;
    Split(CentreOf(cut.x + k - place.x, place.w, srcW), srcW, columns_[k], f);
    std::uint16_t* lanes = &weights_[8 * static_cast<std::size_t>(k)];
    for (int c = 0; c < 3; ++c) {  // blue, green, red; the top byte's stay 0
      lanes[c] = static_cast<std::uint16_t>(256 - f);
      lanes[4 + c] = static_cast<std::uint16_t>(f);
    }
    lanes[3] = lanes[7] = 0;
  }
  rowOf_[0] = rowOf_[1] = -1;
  // The row a source line was spread into, spreading it when neither slot
  // holds it, into the slot that does not hold `keep`.
  const auto rowFor = [&](int y, int keep) {
    if (rowOf_[0] == y) return static_cast<const std::uint32_t*>(rows_[0].data());
    if (rowOf_[1] == y) return static_cast<const std::uint32_t*>(rows_[1].data());
    return SpreadRow(src, y, rowOf_[0] == keep ? 1 : 0);
  };
  for (int dy = cut.y; dy < cut.y + cut.h; ++dy) {
    int y0 = 0;
    std::uint32_t fy = 0;
    Split(CentreOf(dy - place.y, place.h, srcH), srcH, y0, fy);
    const int y1 = std::min(y0 + 1, srcH - 1);
    const std::uint32_t* top = rowFor(y0, y1);
    const std::uint32_t* bottom = rowFor(y1, y0);
    std::uint32_t* out = target.pixels + static_cast<std::ptrdiff_t>(dy) * target.pitch + cut.x;
    MixRows(out, top, bottom, cut.w, fy);
  }
}

PixelRect ScaledArea(const PixelRect& place, int srcW, int srcH, const PixelRect& changed,
                     bool smooth) {
  if (srcW <= 0 || srcH <= 0 || place.w <= 0 || place.h <= 0) return PixelRect{};
  // A smoothed pixel also shows its neighbours; one more target pixel on
  // each side covers the rounding of the edges.
  const int grow = smooth ? 1 : 0;
  const long long sx0 = changed.x - grow, sx1 = changed.x + changed.w + grow;
  const long long sy0 = changed.y - grow, sy1 = changed.y + changed.h + grow;
  const long long x0 = place.x + sx0 * place.w / srcW - 1;
  const long long x1 = place.x + (sx1 * place.w + srcW - 1) / srcW + 1;
  const long long y0 = place.y + sy0 * place.h / srcH - 1;
  const long long y1 = place.y + (sy1 * place.h + srcH - 1) / srcH + 1;
  const PixelRect wide{static_cast<int>(std::max<long long>(x0, place.x)),
                       static_cast<int>(std::max<long long>(y0, place.y)),
                       static_cast<int>(std::min<long long>(x1, place.x + place.w) -
                                        std::max<long long>(x0, place.x)),
                       static_cast<int>(std::min<long long>(y1, place.y + place.h) -
                                        std::max<long long>(y0, place.y))};
  return Intersect(wide, place);
}

std::optional<PixelRect> ChangedRect(const Surface& a, const Surface& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) {
    const int w = std::max(a.Width(), b.Width());
    const int h = std::max(a.Height(), b.Height());
    if (w <= 0 || h <= 0) return std::nullopt;
    return PixelRect{0, 0, w, h};
  }
  const int w = a.Width();
  const std::size_t rowBytes = sizeof(Rgb) * static_cast<std::size_t>(w);
  int top = -1, bottom = -1;
  for (int y = 0; y < a.Height(); ++y) {
    if (std::memcmp(a.Row(y), b.Row(y), rowBytes) == 0) continue;
    if (top < 0) top = y;
    bottom = y;
  }
  if (top < 0) return std::nullopt;
  int left = w, right = -1;
  for (int y = top; y <= bottom; ++y) {
    const Rgb* ra = a.Row(y);
    const Rgb* rb = b.Row(y);
    for (int x = 0; x < left; ++x) {
      if (ra[x] != rb[x]) {
        left = x;
        break;
      }
    }
    for (int x = w - 1; x > right; --x) {
      if (ra[x] != rb[x]) {
        right = x;
        break;
      }
    }
  }
  return PixelRect{left, top, right - left + 1, bottom - top + 1};
}

namespace {

// Gaps narrower than this between changed bands are sent with them: a
// rectangle more costs more than a few unchanged pixels.
constexpr int kBandGap = 8;

// Where a line of pixels (a row or a column) changed: its first and last
// changed place along the other axis, or none.
struct Extent {
  int lo = -1, hi = -1;
};

// Runs of changed lines, joined across short gaps: [first, last] pairs.
std::vector<std::pair<int, int>> Bands(const std::vector<Extent>& lines) {
  std::vector<std::pair<int, int>> bands;
  for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
    if (lines[static_cast<std::size_t>(i)].hi < 0) continue;
    if (!bands.empty() && i - bands.back().second <= kBandGap) {
      bands.back().second = i;
    } else {
      bands.emplace_back(i, i);
    }
  }
  return bands;
}

long long AreaOf(const std::vector<PixelRect>& rects) {
  long long area = 0;
  for (const PixelRect& r : rects) area += static_cast<long long>(r.w) * r.h;
  return area;
}

// The bands of changed lines, each cut to the extent its lines changed in:
// rectangles of columns (byColumns) or of rows, `offset` being the first
// line's place.
std::vector<PixelRect> BandRects(const std::vector<Extent>& lines, int offset, bool byColumns) {
  std::vector<PixelRect> rects;
  for (const auto& [first, last] : Bands(lines)) {
    int lo = INT_MAX, hi = -1;
    for (int i = first; i <= last; ++i) {
      const Extent& e = lines[static_cast<std::size_t>(i)];
      if (e.hi < 0) continue;
      lo = std::min(lo, e.lo);
      hi = std::max(hi, e.hi);
    }
    const int from = offset + first, count = last - first + 1;
    rects.push_back(byColumns ? PixelRect{from, lo, count, hi - lo + 1}
                              : PixelRect{lo, from, hi - lo + 1, count});
  }
  return rects;
}

}  // namespace

std::vector<PixelRect> ChangedRects(const Surface& a, const Surface& b) {
  const std::optional<PixelRect> box = ChangedRect(a, b);
  if (!box) return {};
  if (a.Width() != b.Width() || a.Height() != b.Height()) return {*box};
  // One pass over the box finds where each column and each row changed.
  std::vector<Extent> columns(static_cast<std::size_t>(box->w)),
      rows(static_cast<std::size_t>(box->h));
  for (int y = box->y; y < box->y + box->h; ++y) {
    const Rgb* ra = a.Row(y) + box->x;
    const Rgb* rb = b.Row(y) + box->x;
    Extent& row = rows[static_cast<std::size_t>(y - box->y)];
    for (int x = 0; x < box->w; ++x) {
      if (ra[x] == rb[x]) continue;
      Extent& column = columns[static_cast<std::size_t>(x)];
      if (column.lo < 0) column.lo = y;
      column.hi = y;
      if (row.lo < 0) row.lo = box->x + x;
      row.hi = box->x + x;
    }
  }
  std::vector<PixelRect> byColumns = BandRects(columns, box->x, true);
  std::vector<PixelRect> byRows = BandRects(rows, box->y, false);
  return AreaOf(byColumns) <= AreaOf(byRows) ? byColumns : byRows;
}

}  // namespace kovan
