// Brush-stroke shapes for the few kana and kanji on the menu buttons. The
// generator has no fonts, so each character is a handful of strokes in a
// 10 x 10 box, smoothed and drawn with soft edges.
#pragma once

#include <algorithm>
#include <string_view>
#include <vector>

#include "canvas.h"

namespace kovan::demo {

using Strokes = std::vector<std::vector<Pt>>;

struct Glyph {
  std::string_view utf8;
  Strokes strokes;
};

inline const std::vector<Glyph>& Glyphs() {
  // clang-format off
  static const std::vector<Glyph> kGlyphs = {
      {"は", {{{2, 1.5}, {1.6, 5}, {2, 8.8}}, {{4.2, 3.5}, {8.6, 3.2}},
              {{6.6, 1.2}, {6.7, 5}, {6.6, 8}, {5.6, 9.2}, {4.2, 8.9}, {4.6, 7.9}, {6.4, 7.8},
               {8.6, 9.2}}}},
      {"じ", {{{3, 1.2}, {3, 6.5}, {3.6, 8.8}, {5.5, 9.2}, {7.6, 7.4}}, {{7, 1.2}, {7.6, 2.6}},
              {{8.4, 0.8}, {9, 2.2}}}},
      {"め", {{{2.6, 2.6}, {3.4, 5.6}, {4.6, 8}},
              {{6.4, 1.2}, {5.6, 4.4}, {3.6, 7.6}, {2.2, 8.6}, {1.6, 7.4}, {2.6, 5}, {5.4, 3.8},
               {7.8, 4.6}, {8.6, 6.6}, {7.4, 8.6}, {5.4, 9.2}}}},
      {"か", {{{1.4, 3.8}, {4.4, 3.2}, {6.2, 3.4}, {6, 6.6}, {5, 9}, {4.2, 8.4}},
              {{3.8, 1.2}, {3.4, 5.2}, {1.8, 9}}, {{7.6, 3.4}, {8.6, 5}}}},
      {"ら", {{{3.4, 0.8}, {5.4, 1.8}},
              {{2.8, 3}, {2.6, 6.8}, {4.4, 5.4}, {6.8, 5.4}, {7.4, 7.2}, {6, 8.8}, {3.6, 9.4}}}},
      {"つ", {{{1.4, 4}, {4.4, 3}, {7.4, 3.2}, {8.6, 4.8}, {7.6, 7.2}, {4.8, 8.8}}}},
      {"づ", {{{1.2, 4.4}, {4.2, 3.4}, {7, 3.6}, {8, 5.2}, {7, 7.6}, {4.4, 9}},
              {{8, 1}, {8.5, 2.2}}, {{9.1, 0.6}, {9.6, 1.8}}}},
      {"き", {{{2.4, 2.6}, {7, 2}}, {{2, 4.8}, {7.6, 4}}, {{4, 0.8}, {6.6, 6.6}},
              {{3.4, 7.2}, {3.6, 8.6}, {7.2, 9.2}}}},
      {"お", {{{1.6, 3}, {5.2, 2.8}},
              {{3.4, 1}, {3.4, 8.8}, {2.2, 8.8}, {1.6, 8}, {2.6, 6.4}, {5.6, 5.4}, {7.8, 6.2},
               {8, 8}, {5.8, 9.2}},
              {{7.4, 1.8}, {8.6, 3.2}}}},
      {"ま", {{{2, 2.6}, {8, 2.4}}, {{2.6, 4.6}, {7.6, 4.4}},
              {{5, 0.8}, {5.1, 7.6}, {4, 8.8}, {2.4, 8.6}, {2.4, 7.4}, {4.4, 7}, {6.2, 7.8},
               {8.2, 9.2}}}},
      {"け", {{{1.8, 1.6}, {1.6, 5.4}, {2, 8.8}}, {{4, 3.6}, {8.8, 3.4}},
              {{6.6, 1}, {6.8, 5.4}, {6, 8.2}, {4.4, 9.6}}}},
      {"終", {{{2.6, 0.8}, {1.4, 2.8}, {3, 3.2}}, {{3.4, 2}, {1.2, 5.2}, {3.8, 5}},
              {{2.6, 5.2}, {2.6, 9.6}}, {{1.4, 7}, {1, 8.6}}, {{3.6, 7}, {4.2, 8.2}},
              {{6.6, 0.8}, {5.4, 2.8}}, {{6.2, 1.6}, {9, 1.6}, {7.6, 3.6}, {5.4, 5.2}},
              {{6.6, 2.8}, {9.6, 5.2}}, {{6.6, 6.2}, {7.8, 6.8}}, {{6.2, 8}, {8, 9}}}},
      {"了", {{{2, 1.8}, {7.8, 1.8}, {5, 4.2}}, {{5, 4}, {5.2, 8.4}, {4.8, 9.4}, {3.6, 8.8}}}},
  };
  // clang-format on
  return kGlyphs;
}

// Catmull-Rom through the points, so a few points make a smooth stroke.
inline std::vector<Pt> SmoothStroke(const std::vector<Pt>& p) {
  if (p.size() < 3) return p;
  std::vector<Pt> out;
  for (std::size_t i = 0; i + 1 < p.size(); ++i) {
    const Pt a = p[i == 0 ? 0 : i - 1], b = p[i], c = p[i + 1],
             d = p[std::min(i + 2, p.size() - 1)];
    for (int k = 0; k < 8; ++k) {
      const double t = k / 8.0, t2 = t * t, t3 = t2 * t;
      const auto f = [&](double A, double B, double C, double D) {
        return 0.5 * (2 * B + (C - A) * t + (2 * A - 5 * B + 4 * C - D) * t2 +
                      (3 * B - A - 3 * C + D) * t3);
      };
      out.push_back({f(a.x, b.x, c.x, d.x), f(a.y, b.y, c.y, d.y)});
    }
  }
  out.push_back(p.back());
  return out;
}

// Draws one character of size px with its top-left at (x, y); characters
// without strokes leave a gap.
inline void DrawGlyph(Surface& s, std::string_view utf8, double x, double y, double px,
                      double weight, Rgb color) {
  for (const Glyph& g : Glyphs()) {
    if (g.utf8 != utf8) continue;
    for (const auto& stroke : g.strokes) {
      std::vector<Pt> pts;
      for (const Pt& p : SmoothStroke(stroke))
        pts.push_back({x + p.x * px / 10, y + p.y * px / 10});
      Soft(s, Stroke(pts, weight), color);
    }
  }
}

// A line of characters centred in the box.
inline void DrawLabel(Surface& s, std::string_view utf8, double cx, double cy, double px,
                      Rgb color) {
  std::vector<std::string_view> chars;
  for (std::size_t i = 0; i < utf8.size();) {
    std::size_t n = 1;
    const auto lead = static_cast<unsigned char>(utf8[i]);
    if (lead >= 0xF0)
      n = 4;
    else if (lead >= 0xE0)
      n = 3;
    else if (lead >= 0xC0)
      n = 2;
    chars.push_back(utf8.substr(i, n));
    i += n;
  }
  const double pitch = px * 1.12;
  double x = cx - pitch * chars.size() / 2 + (pitch - px) / 2;
  for (std::string_view c : chars) {
    DrawGlyph(s, c, x, cy - px / 2, px, px * 0.06, color);
    x += pitch;
  }
}

}  // namespace kovan::demo
