// Pieces the place pictures are put together from: skies, lights, clouds,
// land, buildings, trees, water and rooms.
#pragma once

#include <cmath>
#include <vector>

#include "canvas.h"

namespace kovan::demo {

using Stops = std::vector<std::pair<double, Rgb>>;

inline void Sky(Surface& s, int y0, int y1, const Stops& stops) {
  Gradient(s, 0, y0, s.Width(), y1, stops);
}

inline void Sun(Surface& s, double cx, double cy, double r, Rgb c) {
  Glow(s, cx, cy, r * 6, c, 0.35);
  Glow(s, cx, cy, r * 2.5, c, 0.5);
  Soft(s, Circle(cx, cy, r), Mix(c, kWhite, 0.6));
}

inline void Moon(Surface& s, double cx, double cy, double r, Rgb night) {
  Glow(s, cx, cy, r * 5, MakeRgb(200, 210, 255), 0.25);
  Soft(s, Circle(cx, cy, r), MakeRgb(250, 244, 210));
  Soft(s, Circle(cx + r * 0.45, cy - r * 0.3, r * 0.9), night, 0.85);
}

inline void Stars(Surface& s, Rng& rng, int count, int yMax) {
  for (int i = 0; i < count; ++i) {
    const double x = rng.Uniform(0, s.Width()), y = rng.Uniform(0, yMax);
    const double b = rng.Uniform(0.3, 1.0);
    BlendPut(s, static_cast<int>(x), static_cast<int>(y), MakeRgb(255, 255, 230), b);
    if (b > 0.85) Glow(s, x, y, 3.5, MakeRgb(255, 255, 230), 0.6);
  }
}

// A heap of soft puffs, flatter at the bottom.
inline void Cloud(Surface& s, Rng& rng, double cx, double cy, double w, Rgb c, double alpha) {
  const int puffs = 7 + rng.Below(4);
  for (int i = 0; i < puffs; ++i) {
    const double t = (i + 0.5) / puffs - 0.5;
    const double r = w * rng.Uniform(0.14, 0.22) * (1 - std::abs(t));
    const double x = cx + t * w * 0.9, y = cy - r * rng.Uniform(0.2, 0.7);
    Soft(s, Intersect(Circle(x, y, r), Rect(0, 0, s.Width(), cy + w * 0.04)), c, alpha);
  }
  Soft(s, Ellipse(cx, cy, w * 0.46, w * 0.06), c, alpha);
}

// Rolling land: the top edge is a sum of waves; filled downwards to y1.
inline void Hills(Surface& s, double base, double amp, double phase, int y1, Rgb top, Rgb bottom) {
  const auto edge = [=](double x) {
    const double u = x / 640.0 * 2 * kPi;
    return base - amp * (0.6 * std::sin(u * 1.3 + phase) + 0.4 * std::sin(u * 3.1 + phase * 2));
  };
  const Shape land{BoxOf(0, base - amp, s.Width(), y1),
                   [=](double x, double y) { return y >= edge(x) && y < y1; }};
  const double top0 = base - amp;
  Soft(s, land, [=](int, int y) { return Mix(top, bottom, (y - top0) / (y1 - top0)); });
}

// A block with rows of windows; lit picks some windows to glow.
inline void Building(Surface& s, Rng& rng, double x0, double y0, double x1, double y1, Rgb wall,
                     Rgb window, double lit) {
  Soft(s, Rect(x0, y0, x1, y1),
       [=](int x, int) { return Mix(wall, Shade(wall, 0.8), (x - x0) / (x1 - x0)); });
  Soft(s, Rect(x0, y0, x1, y0 + 3), Shade(wall, 0.7));
  const double ww = 8, wh = 10;
  for (double y = y0 + 10; y + wh < y1 - 4; y += wh + 8) {
    for (double x = x0 + 7; x + ww < x1 - 4; x += ww + 7) {
      const bool on = rng.Uniform(0, 1) < lit;
      Soft(s, Rect(x, y, x + ww, y + wh), on ? MakeRgb(255, 214, 120) : window);
      if (on) Glow(s, x + ww / 2, y + wh / 2, 14, MakeRgb(255, 200, 110), 0.25);
    }
  }
}

inline void Skyline(Surface& s, Rng& rng, double base, double minH, double maxH, Rgb wall,
                    Rgb window, double lit) {
  for (double x = -10; x < s.Width();) {
    const double w = rng.Uniform(40, 90), h = rng.Uniform(minH, maxH);
    Building(s, rng, x, base - h, x + w, base + 1, Mix(wall, kWhite, rng.Uniform(0, 0.15)), window,
             lit);
    x += w + rng.Uniform(-6, 4);
  }
}

// A round-crowned tree; blossom adds pale dots to the leaves.
inline void Tree(Surface& s, Rng& rng, double x, double base, double h, Rgb leaf,
                 bool blossom = false) {
  Soft(s,
       Polygon({{x - h * 0.05, base},
                {x - h * 0.025, base - h * 0.55},
                {x + h * 0.025, base - h * 0.55},
                {x + h * 0.05, base}}),
       MakeRgb(104, 74, 56));
  for (int i = 0; i < 9; ++i) {
    const double a = i * 0.7, r = h * rng.Uniform(0.17, 0.24);
    const double cx = x + std::cos(a * 2.3) * h * 0.2,
                 cy = base - h * 0.66 + std::sin(a * 1.7) * h * 0.14;
    Soft(s, Circle(cx, cy, r), [=](int, int yy) {
      return Mix(Mix(leaf, kWhite, 0.18), Shade(leaf, 0.78), (yy - (cy - r)) / (2 * r));
    });
  }
  if (blossom) {
    for (int i = 0; i < 60; ++i) {
      Soft(s,
           Circle(x + rng.Uniform(-0.4, 0.4) * h, base - h * 0.66 + rng.Uniform(-0.3, 0.25) * h,
                  rng.Uniform(1.5, 3.5)),
           MakeRgb(255, 236, 242), 0.8);
    }
  }
}

// Water from y0 down to y1 with glints under a light at lightX.
inline void Water(Surface& s, Rng& rng, int y0, int y1, Rgb near, Rgb far, double lightX,
                  Rgb glint) {
  Gradient(s, 0, y0, s.Width(), y1, {{0, far}, {1, near}});
  for (int i = 0; i < 160; ++i) {
    const double t = rng.Uniform(0, 1);
    const double y = y0 + 2 + t * t * (y1 - y0 - 2);
    const double spread = 20 + t * 140;
    const double x = lightX + rng.Uniform(-spread, spread);
    const double len = 6 + t * 30;
    Soft(s, Ellipse(x, y, len, 0.8 + t), glint,
         0.25 + 0.4 * (1 - std::abs(x - lightX) / (spread + 1)));
  }
}

// The inside of a room seen from its middle: the back wall as a box,
// the floor, ceiling and side walls reaching out to the picture's edges.
struct Room {
  double bx0, by0, bx1, by1;  // the back wall
  Rgb wall;
  Rgb floor;
  Rgb ceiling;
};

inline void DrawRoom(Surface& s, const Room& r) {
  const double w = s.Width(), h = s.Height();
  Gradient(s, 0, 0, s.Width(), s.Height(), {{0, r.ceiling}, {1, r.floor}});
  Soft(s, Polygon({{0, 0}, {r.bx0, r.by0}, {r.bx0, r.by1}, {0, h}}), Shade(r.wall, 0.86));
  Soft(s, Polygon({{w, 0}, {r.bx1, r.by0}, {r.bx1, r.by1}, {w, h}}), Shade(r.wall, 0.78));
  Soft(s, Polygon({{0, 0}, {w, 0}, {r.bx1, r.by0}, {r.bx0, r.by0}}), r.ceiling);
  Soft(s, Polygon({{0, h}, {w, h}, {r.bx1, r.by1}, {r.bx0, r.by1}}),
       [&](int, int y) { return Mix(Shade(r.floor, 0.8), r.floor, (y - r.by1) / (h - r.by1)); });
  Soft(s, Rect(r.bx0, r.by0, r.bx1, r.by1), r.wall);
  for (int i = 1; i < 8; ++i) {
    const double t = i / 8.0;
    Soft(s, Stroke({{r.bx0 + (r.bx1 - r.bx0) * t, r.by1}, {w * t, h}}, 0.6), Shade(r.floor, 0.75),
         0.6);
  }
}

// A window frame with a view drawn by view() inside the opening.
inline void Window(Surface& s, double x0, double y0, double x1, double y1, Rgb frame,
                   const Stops& view) {
  Gradient(s, static_cast<int>(x0), static_cast<int>(y0), static_cast<int>(x1),
           static_cast<int>(y1), view);
  const double mx = (x0 + x1) / 2, my = (y0 + y1) / 2;
  for (const Shape& bar : {Rect(x0 - 4, y0 - 4, x1 + 4, y0), Rect(x0 - 4, y1, x1 + 4, y1 + 6),
                           Rect(x0 - 4, y0, x0, y1), Rect(x1, y0, x1 + 4, y1),
                           Rect(mx - 2, y0, mx + 2, y1), Rect(x0, my - 1.5, x1, my + 1.5)}) {
    Soft(s, bar, frame);
  }
}

inline void Snow(Surface& s, Rng& rng, int count) {
  for (int i = 0; i < count; ++i) {
    const double r = rng.Uniform(0.8, 2.6);
    Soft(s, Circle(rng.Uniform(0, s.Width()), rng.Uniform(0, s.Height()), r), kWhite,
         0.55 + r * 0.15);
  }
}

}  // namespace kovan::demo
