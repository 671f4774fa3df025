// The skin texture "61.dat": the message window's frame tile and fill
// colour, its date tab, a pattern tile and the title menu's buttons.
#pragma once

#include <algorithm>
#include <cmath>
#include <string_view>

#include "canvas.h"
#include "glyphs.h"

namespace kovan::demo {

constexpr int kSkinWidth = 352;
constexpr int kSkinHeight = 340;
constexpr Rgb kWindowFill = MakeRgb(16, 24, 64);
constexpr int kButtonWidth = 166;
constexpr int kButtonHeight = 38;

// The 48 x 48 frame: a four-pixel rim of light bands round the tile, gold
// in the rounded corners, the fill colour inside. Only the rim shows on
// screen; the window's backdrop covers the rest.
inline void DrawFrameTile(Surface& s) {
  const Rgb bands[] = {MakeRgb(22, 30, 74), MakeRgb(140, 160, 214), MakeRgb(226, 234, 255),
                       MakeRgb(96, 116, 186)};
  const Rgb gold[] = {MakeRgb(60, 44, 20), MakeRgb(200, 160, 80), MakeRgb(250, 226, 150),
                      MakeRgb(170, 130, 60)};
  for (int y = 0; y < 48; ++y) {
    for (int x = 0; x < 48; ++x) {
      const int cx = x < 8 ? 8 : (x > 39 ? 39 : x), cy = y < 8 ? 8 : (y > 39 ? 39 : y);
      double d = std::min({x, y, 47 - x, 47 - y});
      const bool corner = (x < 16 || x > 31) && (y < 16 || y > 31);
      if (cx != x && cy != y)
        d = 8 - std::hypot(x + 0.5 - (cx + (x < 8 ? 0 : 1)), y + 0.5 - (cy + (y < 8 ? 0 : 1)));
      if (d < 0) continue;  // outside the rounded corner stays black
      const int band = static_cast<int>(d);
      s.Row(y)[x] = band >= 4 ? kWindowFill : (corner ? gold[band] : bands[band]);
    }
  }
}

// A seamless 64 x 64 pattern: soft diamonds on deep blue.
inline void DrawPatternTile(Surface& s, int x0, int y0) {
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 64; ++x) {
      const double u = std::abs(((x + 0.5) / 32.0) - 1), v = std::abs(((y + 0.5) / 32.0) - 1);
      const double d = std::abs(u + v - 1);
      const double glow = std::max(0.0, 1 - d * 6);
      Put(s, x0 + x, y0 + y, Mix(MakeRgb(24, 36, 86), MakeRgb(70, 96, 170), glow));
    }
  }
}

// The date tab: a rounded-top tab on black, which the game keys out.
inline void DrawDateTab(Surface& s, int x0, int y0) {
  s.FillBox(x0, y0, x0 + 120, y0 + 22, kBlack);
  const Shape outer =
      Intersect(RoundRect(x0, y0, x0 + 120, y0 + 30, 8), Rect(x0, y0, x0 + 120, y0 + 22));
  const Shape inner =
      Intersect(RoundRect(x0 + 1, y0 + 1, x0 + 119, y0 + 30, 7), Rect(x0, y0, x0 + 120, y0 + 22));
  Fill(s, outer, MakeRgb(170, 190, 240));
  Fill(s, inner,
       [=](int, int y) { return Mix(MakeRgb(48, 66, 136), MakeRgb(20, 30, 80), (y - y0) / 22.0); });
  Fill(s, Circle(x0 + 13, y0 + 12, 3), MakeRgb(240, 210, 130));
}

inline void DrawButton(Surface& s, int x0, int y0, std::string_view label, bool lit) {
  const Rgb top = lit ? MakeRgb(255, 240, 206) : MakeRgb(236, 240, 250);
  const Rgb bottom = lit ? MakeRgb(240, 176, 110) : MakeRgb(180, 192, 222);
  Gradient(s, x0, y0, x0 + kButtonWidth, y0 + kButtonHeight,
           {{0, top}, {0.5, Mix(top, bottom, 0.4)}, {1, bottom}});
  s.FillBox(x0, y0, x0 + kButtonWidth, y0 + 1, MakeRgb(30, 40, 80));
  s.FillBox(x0, y0 + kButtonHeight - 1, x0 + kButtonWidth, y0 + kButtonHeight, MakeRgb(30, 40, 80));
  s.FillBox(x0, y0, x0 + 1, y0 + kButtonHeight, MakeRgb(30, 40, 80));
  s.FillBox(x0 + kButtonWidth - 1, y0, x0 + kButtonWidth, y0 + kButtonHeight, MakeRgb(30, 40, 80));
  s.FillBox(x0 + 1, y0 + 1, x0 + kButtonWidth - 1, y0 + 2, kWhite);
  if (lit) Glow(s, x0 + 22, y0 + 19, 14, MakeRgb(255, 255, 230), 0.8);
  Fill(s, Polygon({{x0 + 16.0, y0 + 13.0}, {x0 + 25.0, y0 + 19.0}, {x0 + 16.0, y0 + 25.0}}),
       lit ? MakeRgb(200, 80, 40) : MakeRgb(90, 110, 170));
  DrawLabel(s, label, x0 + kButtonWidth / 2.0 + 8, y0 + kButtonHeight / 2.0, 20,
            lit ? MakeRgb(110, 40, 20) : MakeRgb(30, 44, 100));
}

inline constexpr std::string_view kMenuLabels[] = {"はじめから", "つづきから", "おまけ", "終了"};

inline Surface DrawSkin() {
  Surface s(kSkinWidth, kSkinHeight, kBlack);
  DrawFrameTile(s);
  DrawPatternTile(s, 96, 0);
  DrawDateTab(s, 48, 26);
  for (int i = 0; i < 4; ++i) {
    DrawButton(s, 4, 148 + 50 * i, kMenuLabels[i], false);
    DrawButton(s, 179, 148 + 50 * i, kMenuLabels[i], true);
  }
  return s;
}

}  // namespace kovan::demo
