// Drawing helpers for the demo art: shapes as point tests, rasterised into
// masks and painted onto surfaces, plus colour arithmetic and a seeded
// generator so every run draws the same pixels.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "platform/surface.h"

namespace kovan::demo {

constexpr double kPi = 3.14159265358979323846;

// A small deterministic generator (splitmix64): the art must not change
// between runs, so nothing here touches the clock or the system's entropy.
class Rng {
 public:
  explicit Rng(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  // Uniform in [lo, hi).
  double Uniform(double lo, double hi) {
    return lo + (hi - lo) * static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0);
  }
  int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint64_t>(n)); }

 private:
  std::uint64_t state_;
};

inline int ClampByte(double v) { return static_cast<int>(std::clamp(std::lround(v), 0L, 255L)); }

// a at t = 0, b at t = 1.
inline Rgb Mix(Rgb a, Rgb b, double t) {
  t = std::clamp(t, 0.0, 1.0);
  return MakeRgb(ClampByte(RedOf(a) + (RedOf(b) - RedOf(a)) * t),
                 ClampByte(GreenOf(a) + (GreenOf(b) - GreenOf(a)) * t),
                 ClampByte(BlueOf(a) + (BlueOf(b) - BlueOf(a)) * t));
}
inline Rgb Shade(Rgb c, double f) {
  return MakeRgb(ClampByte(RedOf(c) * f), ClampByte(GreenOf(c) * f), ClampByte(BlueOf(c) * f));
}
inline double Smooth(double t) {
  t = std::clamp(t, 0.0, 1.0);
  return t * t * (3 - 2 * t);
}

struct Pt {
  double x = 0;
  double y = 0;
};

// Pixel bounds, x0/y0 inclusive, x1/y1 exclusive.
struct Box {
  int x0 = 0;
  int y0 = 0;
  int x1 = 0;
  int y1 = 0;
};

inline Box BoxOf(double x0, double y0, double x1, double y1) {
  return {static_cast<int>(std::floor(x0)) - 1, static_cast<int>(std::floor(y0)) - 1,
          static_cast<int>(std::ceil(x1)) + 1, static_cast<int>(std::ceil(y1)) + 1};
}

// A region given by a point test over a bounding box.
struct Shape {
  Box box;
  std::function<bool(double, double)> inside;
};

inline Shape Ellipse(double cx, double cy, double rx, double ry) {
  return {BoxOf(cx - rx, cy - ry, cx + rx, cy + ry), [=](double x, double y) {
            const double u = (x - cx) / rx;
            const double v = (y - cy) / ry;
            return u * u + v * v <= 1.0;
          }};
}
inline Shape Circle(double cx, double cy, double r) { return Ellipse(cx, cy, r, r); }
inline Shape Rect(double x0, double y0, double x1, double y1) {
  return {BoxOf(x0, y0, x1, y1),
          [=](double x, double y) { return x >= x0 && x < x1 && y >= y0 && y < y1; }};
}
inline Shape RoundRect(double x0, double y0, double x1, double y1, double r) {
  return {BoxOf(x0, y0, x1, y1), [=](double x, double y) {
            if (x < x0 || x >= x1 || y < y0 || y >= y1) return false;
            const double dx = std::max({x0 + r - x, 0.0, x - (x1 - r)});
            const double dy = std::max({y0 + r - y, 0.0, y - (y1 - r)});
            return dx * dx + dy * dy <= r * r;
          }};
}

// Even-odd polygon.
inline Shape Polygon(std::vector<Pt> pts) {
  double x0 = 1e9, y0 = 1e9, x1 = -1e9, y1 = -1e9;
  for (const Pt& p : pts) {
    x0 = std::min(x0, p.x), y0 = std::min(y0, p.y);
    x1 = std::max(x1, p.x), y1 = std::max(y1, p.y);
  }
  return {BoxOf(x0, y0, x1, y1), [pts = std::move(pts)](double x, double y) {
            bool in = false;
            for (std::size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++) {
              const Pt& a = pts[i];
              const Pt& b = pts[j];
              if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x) {
                in = !in;
              }
            }
            return in;
          }};
}

inline double SegmentDistance(Pt p, Pt a, Pt b) {
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double len2 = dx * dx + dy * dy;
  double t = len2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2 : 0.0;
  t = std::clamp(t, 0.0, 1.0);
  const double ex = a.x + t * dx - p.x, ey = a.y + t * dy - p.y;
  return std::sqrt(ex * ex + ey * ey);
}

// Every point within r of the polyline.
inline Shape Stroke(std::vector<Pt> pts, double r) {
  double x0 = 1e9, y0 = 1e9, x1 = -1e9, y1 = -1e9;
  for (const Pt& p : pts) {
    x0 = std::min(x0, p.x), y0 = std::min(y0, p.y);
    x1 = std::max(x1, p.x), y1 = std::max(y1, p.y);
  }
  return {BoxOf(x0 - r, y0 - r, x1 + r, y1 + r), [pts = std::move(pts), r](double x, double y) {
            if (pts.size() == 1) return SegmentDistance({x, y}, pts[0], pts[0]) <= r;
            for (std::size_t i = 1; i < pts.size(); ++i) {
              if (SegmentDistance({x, y}, pts[i - 1], pts[i]) <= r) return true;
            }
            return false;
          }};
}

inline Shape Union(Shape a, Shape b) {
  const Box box{std::min(a.box.x0, b.box.x0), std::min(a.box.y0, b.box.y0),
                std::max(a.box.x1, b.box.x1), std::max(a.box.y1, b.box.y1)};
  return {box, [a = std::move(a.inside), b = std::move(b.inside)](double x, double y) {
            return a(x, y) || b(x, y);
          }};
}
inline Shape Intersect(Shape a, Shape b) {
  const Box box{std::max(a.box.x0, b.box.x0), std::max(a.box.y0, b.box.y0),
                std::min(a.box.x1, b.box.x1), std::min(a.box.y1, b.box.y1)};
  return {box, [a = std::move(a.inside), b = std::move(b.inside)](double x, double y) {
            return a(x, y) && b(x, y);
          }};
}
inline Shape Subtract(Shape a, Shape b) {
  return {a.box, [a = std::move(a.inside), b = std::move(b.inside)](double x, double y) {
            return a(x, y) && !b(x, y);
          }};
}

// Curve sampling for outlines built from Bezier pieces.
class Path {
 public:
  explicit Path(Pt start) { pts_.push_back(start); }
  Path& Line(Pt p) {
    pts_.push_back(p);
    return *this;
  }
  Path& Quad(Pt c, Pt p, int steps = 12) {
    const Pt a = pts_.back();
    for (int i = 1; i <= steps; ++i) {
      const double t = static_cast<double>(i) / steps, u = 1 - t;
      pts_.push_back({u * u * a.x + 2 * u * t * c.x + t * t * p.x,
                      u * u * a.y + 2 * u * t * c.y + t * t * p.y});
    }
    return *this;
  }
  Path& Cubic(Pt c1, Pt c2, Pt p, int steps = 16) {
    const Pt a = pts_.back();
    for (int i = 1; i <= steps; ++i) {
      const double t = static_cast<double>(i) / steps, u = 1 - t;
      const double k0 = u * u * u, k1 = 3 * u * u * t, k2 = 3 * u * t * t, k3 = t * t * t;
      pts_.push_back({k0 * a.x + k1 * c1.x + k2 * c2.x + k3 * p.x,
                      k0 * a.y + k1 * c1.y + k2 * c2.y + k3 * p.y});
    }
    return *this;
  }
  const std::vector<Pt>& Points() const { return pts_; }

 private:
  std::vector<Pt> pts_;
};

// A shape rasterised at pixel centres.
class Mask {
 public:
  explicit Mask(const Shape& s) : box_(s.box) {
    on_.assign(Size(), 0);
    for (int y = box_.y0; y < box_.y1; ++y) {
      for (int x = box_.x0; x < box_.x1; ++x) {
        if (s.inside(x + 0.5, y + 0.5)) on_[Index(x, y)] = 1;
      }
    }
  }
  bool At(int x, int y) const {
    return x >= box_.x0 && x < box_.x1 && y >= box_.y0 && y < box_.y1 && on_[Index(x, y)];
  }
  const Box& Bounds() const { return box_; }
  // Grown by r pixels in every direction (round brush).
  Mask Dilated(int r) const {
    Mask out(box_, r);
    for (int y = out.box_.y0; y < out.box_.y1; ++y) {
      for (int x = out.box_.x0; x < out.box_.x1; ++x) {
        bool hit = false;
        for (int dy = -r; dy <= r && !hit; ++dy) {
          for (int dx = -r; dx <= r && !hit; ++dx) {
            hit = dx * dx + dy * dy <= r * r + r && At(x + dx, y + dy);
          }
        }
        out.on_[out.Index(x, y)] = hit ? 1 : 0;
      }
    }
    return out;
  }

 private:
  Mask(const Box& inner, int grow)
      : box_{inner.x0 - grow, inner.y0 - grow, inner.x1 + grow, inner.y1 + grow} {
    on_.assign(Size(), 0);
  }
  std::size_t Size() const {
    return static_cast<std::size_t>(std::max(0, box_.x1 - box_.x0)) *
           static_cast<std::size_t>(std::max(0, box_.y1 - box_.y0));
  }
  std::size_t Index(int x, int y) const {
    return static_cast<std::size_t>(y - box_.y0) * static_cast<std::size_t>(box_.x1 - box_.x0) +
           static_cast<std::size_t>(x - box_.x0);
  }
  Box box_;
  std::vector<std::uint8_t> on_;
};

using ColorFn = std::function<Rgb(int x, int y)>;

inline bool Inside(const Surface& s, int x, int y) {
  return x >= 0 && y >= 0 && x < s.Width() && y < s.Height();
}
inline void Put(Surface& s, int x, int y, Rgb c) {
  if (Inside(s, x, y)) s.Row(y)[x] = c;
}
inline void BlendPut(Surface& s, int x, int y, Rgb c, double alpha) {
  if (Inside(s, x, y)) s.Row(y)[x] = Mix(s.Row(y)[x], c, alpha);
}

inline void Fill(Surface& s, const Mask& m, const ColorFn& color) {
  const Box& b = m.Bounds();
  for (int y = std::max(b.y0, 0); y < std::min(b.y1, s.Height()); ++y) {
    for (int x = std::max(b.x0, 0); x < std::min(b.x1, s.Width()); ++x) {
      if (m.At(x, y)) s.Row(y)[x] = color(x, y);
    }
  }
}
inline void Fill(Surface& s, const Shape& shape, Rgb c) {
  Fill(s, Mask(shape), [c](int, int) { return c; });
}
inline void Fill(Surface& s, const Shape& shape, const ColorFn& color) {
  Fill(s, Mask(shape), color);
}
// The shape in its colour over a rim of width px in the line colour: the
// cel look of the figures.
inline void Outlined(Surface& s, const Shape& shape, const ColorFn& color, Rgb line, int width) {
  const Mask m(shape);
  Fill(s, m.Dilated(width), [line](int, int) { return line; });
  Fill(s, m, color);
}
inline void Outlined(Surface& s, const Shape& shape, Rgb c, Rgb line, int width) {
  Outlined(
      s, shape, [c](int, int) { return c; }, line, width);
}

// Smooth-edged painting for the scenes: coverage from 4 x 4 samples, mixed
// over what is there, times alpha. When the four corner samples agree the
// pixel is taken as wholly in or out, which keeps big shapes cheap.
inline void Soft(Surface& s, const Shape& shape, const ColorFn& color, double alpha = 1.0) {
  const Box& b = shape.box;
  const auto sample = [&](int x, int y, int k) {
    return shape.inside(x + 0.125 + 0.25 * (k % 4), y + 0.125 + 0.25 * (k / 4)) ? 1 : 0;
  };
  for (int y = std::max(b.y0, 0); y < std::min(b.y1, s.Height()); ++y) {
    for (int x = std::max(b.x0, 0); x < std::min(b.x1, s.Width()); ++x) {
      const int corners = sample(x, y, 0) + sample(x, y, 3) + sample(x, y, 12) + sample(x, y, 15);
      int hits = corners * 4;
      if (corners % 4 != 0) {
        hits = corners;
        for (int k : {1, 2, 4, 5, 6, 7, 8, 9, 10, 11, 13, 14}) hits += sample(x, y, k);
      }
      if (hits > 0) BlendPut(s, x, y, color(x, y), alpha * hits / 16.0);
    }
  }
}
inline void Soft(Surface& s, const Shape& shape, Rgb c, double alpha = 1.0) {
  Soft(
      s, shape, [c](int, int) { return c; }, alpha);
}

// A round glow fading out from the centre (sun halos, clouds, lamps).
inline void Glow(Surface& s, double cx, double cy, double r, Rgb c, double strength) {
  const Box b = BoxOf(cx - r, cy - r, cx + r, cy + r);
  for (int y = std::max(b.y0, 0); y < std::min(b.y1, s.Height()); ++y) {
    for (int x = std::max(b.x0, 0); x < std::min(b.x1, s.Width()); ++x) {
      const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy) / r;
      if (d < 1) BlendPut(s, x, y, c, strength * (1 - d) * (1 - d));
    }
  }
}

// Vertical gradient through colour stops (position 0..1 from y0 to y1).
inline void Gradient(Surface& s, int x0, int y0, int x1, int y1,
                     const std::vector<std::pair<double, Rgb>>& stops) {
  for (int y = std::max(y0, 0); y < std::min(y1, s.Height()); ++y) {
    const double t = (y - y0 + 0.5) / std::max(1, y1 - y0);
    Rgb c = stops.front().second;
    for (std::size_t i = 1; i < stops.size(); ++i) {
      if (t <= stops[i].first) {
        const double span = stops[i].first - stops[i - 1].first;
        c = Mix(stops[i - 1].second, stops[i].second,
                span > 0 ? (t - stops[i - 1].first) / span : 1.0);
        break;
      }
      c = stops[i].second;
    }
    for (int x = std::max(x0, 0); x < std::min(x1, s.Width()); ++x) s.Row(y)[x] = c;
  }
}

}  // namespace kovan::demo
