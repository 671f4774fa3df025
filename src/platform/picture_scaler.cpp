#include "platform/picture_scaler.h"

#include <algorithm>
#include <cstring>

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

// Splits a centre into the source pixel at or before it and the weight
// (0..256) of the one after.
void Split(long long centre, int size, int& at, std::uint32_t& weight) {
  if (centre <= 0) {
    at = 0;
    weight = 0;
    return;
  }
  at = static_cast<int>(centre >> 8);
  weight = static_cast<std::uint32_t>(centre & 0xFF);
  if (at >= size - 1) {
    at = size - 1;
    weight = 0;
  }
}

// (256 - f) parts of a and f parts of b, each channel rounded.
std::uint32_t Mix(std::uint32_t a, std::uint32_t b, std::uint32_t f) {
  const std::uint32_t g = 256 - f;
  const std::uint32_t rb = (((a & 0xFF00FF) * g + (b & 0xFF00FF) * f + 0x800080) >> 8) & 0xFF00FF;
  const std::uint32_t gr = (((a & 0x00FF00) * g + (b & 0x00FF00) * f + 0x008000) >> 8) & 0x00FF00;
  return rb | gr;
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
  for (std::size_t k = 0; k < columns_.size(); ++k) {
    const int x = columns_[k];
    row[k] = Mix(in[x], in[std::min(x + 1, last)], frac_[k]);
  }
  rowOf_[slot] = y;
  return row.data();
}

void PictureScaler::DrawSmooth(PixelTarget target, const PixelRect& place, const Surface& src,
                               const PixelRect& cut) {
  const int srcW = src.Width();
  const int srcH = src.Height();
  columns_.resize(static_cast<std::size_t>(cut.w));
  frac_.resize(static_cast<std::size_t>(cut.w));
  for (int k = 0; k < cut.w; ++k) {
    Split(CentreOf(cut.x + k - place.x, place.w, srcW), srcW, columns_[k], frac_[k]);
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
    for (int k = 0; k < cut.w; ++k) out[k] = Mix(top[k], bottom[k], fy);
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

// Runs of set flags, joined across short gaps: [first, last] pairs.
std::vector<std::pair<int, int>> Bands(const std::vector<char>& flags) {
  std::vector<std::pair<int, int>> bands;
  for (int i = 0; i < static_cast<int>(flags.size()); ++i) {
    if (flags[static_cast<std::size_t>(i)] == 0) continue;
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

// The bands of changed columns (byColumns) or rows inside `box`, each cut
// to the rows (columns) in which it changed.
std::vector<PixelRect> BandRects(const Surface& a, const Surface& b, const PixelRect& box,
                                 bool byColumns) {
  const int across = byColumns ? box.w : box.h;
  std::vector<char> changed(static_cast<std::size_t>(across), 0);
  for (int y = box.y; y < box.y + box.h; ++y) {
    const Rgb* ra = a.Row(y);
    const Rgb* rb = b.Row(y);
    for (int x = box.x; x < box.x + box.w; ++x) {
      if (ra[x] != rb[x]) changed[static_cast<std::size_t>(byColumns ? x - box.x : y - box.y)] = 1;
    }
  }
  std::vector<PixelRect> rects;
  for (const auto& [first, last] : Bands(changed)) {
    // The band's own extent along the other axis.
    int lo = byColumns ? box.y + box.h : box.x + box.w, hi = -1;
    const int x0 = byColumns ? box.x + first : box.x,
              x1 = byColumns ? box.x + last : box.x + box.w - 1;
    const int y0 = byColumns ? box.y : box.y + first,
              y1 = byColumns ? box.y + box.h - 1 : box.y + last;
    for (int y = y0; y <= y1; ++y) {
      const Rgb* ra = a.Row(y);
      const Rgb* rb = b.Row(y);
      for (int x = x0; x <= x1; ++x) {
        if (ra[x] == rb[x]) continue;
        lo = std::min(lo, byColumns ? y : x);
        hi = std::max(hi, byColumns ? y : x);
      }
    }
    rects.push_back(byColumns ? PixelRect{x0, lo, x1 - x0 + 1, hi - lo + 1}
                              : PixelRect{lo, y0, hi - lo + 1, y1 - y0 + 1});
  }
  return rects;
}

}  // namespace

std::vector<PixelRect> ChangedRects(const Surface& a, const Surface& b) {
  const std::optional<PixelRect> box = ChangedRect(a, b);
  if (!box) return {};
  if (a.Width() != b.Width() || a.Height() != b.Height()) return {*box};
  std::vector<PixelRect> columns = BandRects(a, b, *box, true);
  std::vector<PixelRect> rows = BandRects(a, b, *box, false);
  return AreaOf(columns) <= AreaOf(rows) ? columns : rows;
}

}  // namespace kovan
