// The place pictures (backgrounds and the tall opening picture) and the
// two logos shown before the opening.
#pragma once

#include <functional>
#include <vector>

#include "scene_parts.h"

namespace kovan::demo {

constexpr int kPlaceWidth = 640;
constexpr int kPlaceHeight = 480;

inline const Stops& DaySky() {
  static const Stops kSky = {
      {0, MakeRgb(58, 120, 214)}, {0.6, MakeRgb(128, 184, 238)}, {1, MakeRgb(206, 230, 248)}};
  return kSky;
}

// 1: the school on a clear morning.
inline void SchoolMorning(Surface& s, Rng& rng) {
  Sky(s, 0, 300, DaySky());
  Cloud(s, rng, 150, 90, 200, kWhite, 0.85);
  Cloud(s, rng, 480, 60, 150, kWhite, 0.75);
  Hills(s, 250, 18, 0.5, 480, MakeRgb(120, 170, 120), MakeRgb(90, 140, 96));
  Soft(s, Rect(110, 150, 540, 300), [](int, int y) {
    return Mix(MakeRgb(246, 240, 226), MakeRgb(214, 204, 190), (y - 150) / 150.0);
  });
  Soft(s, Rect(290, 110, 360, 152), MakeRgb(238, 232, 220));
  Soft(s, Circle(325, 130, 14), kWhite);
  Soft(s, Stroke({{325, 130}, {325, 121}}, 1.2), MakeRgb(60, 60, 70));
  Soft(s, Stroke({{325, 130}, {332, 133}}, 1.2), MakeRgb(60, 60, 70));
  for (int row = 0; row < 3; ++row) {
    for (int i = 0; i < 12; ++i) {
      Soft(s, Rect(124 + i * 35, 166 + row * 44, 150 + i * 35, 194 + row * 44),
           MakeRgb(150, 196, 226));
    }
  }
  Soft(s, Polygon({{250, 480}, {390, 480}, {344, 300}, {306, 300}}), MakeRgb(196, 188, 176));
  for (double x : {230.0, 410.0}) Soft(s, Rect(x - 12, 250, x + 12, 400), MakeRgb(170, 164, 156));
  Tree(s, rng, 70, 420, 220, MakeRgb(76, 150, 80));
  Tree(s, rng, 580, 430, 240, MakeRgb(70, 140, 76));
}

// 2: a classroom in daylight.
inline void Classroom(Surface& s, Rng&) {
  DrawRoom(s, {150, 90, 490, 300, MakeRgb(236, 226, 204), MakeRgb(170, 124, 84),
               MakeRgb(240, 238, 232)});
  Soft(s, Rect(200, 130, 440, 230), MakeRgb(40, 84, 64));
  Soft(s, Rect(196, 230, 444, 238), MakeRgb(150, 110, 70));
  Soft(s, Stroke({{230, 160}, {300, 150}, {320, 170}}, 1.5), MakeRgb(230, 236, 230), 0.8);
  for (int i = 0; i < 3; ++i) {
    Window(s, 20 + i * 44, 60 + i * 18, 56 + i * 44, 330 - i * 10, MakeRgb(220, 214, 200),
           DaySky());
  }
  for (int row = 0; row < 3; ++row) {
    const double y = 330 + row * 50, k = 1 + row * 0.35;
    for (int i = -2; i <= 2; ++i) {
      const double x = 320 + i * 110 * k;
      Soft(s,
           Polygon({{x - 36 * k, y},
                    {x + 36 * k, y},
                    {x + 40 * k, y + 14 * k},
                    {x - 40 * k, y + 14 * k}}),
           MakeRgb(214, 176, 126));
      Soft(s, Rect(x - 34 * k, y + 14 * k, x + 34 * k, y + 18 * k), MakeRgb(120, 110, 110));
    }
  }
}

// 3: the corridor, looking down its length.
inline void Corridor(Surface& s, Rng&) {
  DrawRoom(s, {270, 170, 370, 260, MakeRgb(226, 224, 214), MakeRgb(178, 176, 168),
               MakeRgb(236, 236, 230)});
  for (int i = 0; i < 5; ++i) {
    const double t0 = i / 5.0, t1 = t0 + 0.13;
    const auto at = [](double t, double far, double nearV) { return nearV + (far - nearV) * t; };
    Soft(s,
         Polygon({{at(t0, 270, 0), at(t0, 185, 70)},
                  {at(t1, 270, 0), at(t1, 185, 70)},
                  {at(t1, 270, 0), at(t1, 230, 330)},
                  {at(t0, 270, 0), at(t0, 230, 330)}}),
         MakeRgb(176, 212, 236));
    Soft(s,
         Polygon({{at(t0, 370, 640), at(t0, 190, 110)},
                  {at(t1, 370, 640), at(t1, 190, 110)},
                  {at(t1, 370, 640), at(t1, 260, 480)},
                  {at(t0, 370, 640), at(t0, 260, 480)}}),
         MakeRgb(150, 120, 92));
  }
  Soft(s, Polygon({{300, 480}, {340, 480}, {326, 260}, {314, 260}}), kWhite, 0.25);
  Soft(s, Rect(290, 190, 350, 240), MakeRgb(250, 250, 240));
}

// 4: the river bank at sunset.
inline void RiverSunset(Surface& s, Rng& rng) {
  Sky(s, 0, 280,
      {{0, MakeRgb(70, 60, 130)}, {0.45, MakeRgb(220, 110, 110)}, {1, MakeRgb(255, 190, 110)}});
  Sun(s, 400, 258, 26, MakeRgb(255, 170, 80));
  Cloud(s, rng, 170, 120, 220, MakeRgb(250, 170, 150), 0.6);
  Cloud(s, rng, 520, 80, 160, MakeRgb(230, 140, 150), 0.5);
  Hills(s, 270, 10, 2.0, 290, MakeRgb(90, 60, 90), MakeRgb(90, 60, 90));
  Water(s, rng, 280, 400, MakeRgb(110, 70, 90), MakeRgb(230, 140, 110), 400,
        MakeRgb(255, 220, 150));
  Soft(s, Polygon({{0, 380}, {640, 420}, {640, 480}, {0, 480}}), MakeRgb(92, 110, 70));
  Soft(s, Rect(0, 206, 640, 214), MakeRgb(70, 50, 80));
  for (int i = 0; i < 6; ++i)
    Soft(s, Rect(40 + i * 120, 214, 50 + i * 120, 290), MakeRgb(70, 50, 80));
}

// 5: the town at night.
inline void NightTown(Surface& s, Rng& rng) {
  Sky(s, 0, 480, {{0, MakeRgb(8, 12, 40)}, {1, MakeRgb(44, 50, 110)}});
  Stars(s, rng, 220, 300);
  Moon(s, 520, 90, 30, MakeRgb(14, 20, 56));
  Skyline(s, rng, 400, 120, 260, MakeRgb(40, 44, 78), MakeRgb(30, 34, 60), 0.35);
  Soft(s, Rect(0, 400, 640, 480), MakeRgb(34, 34, 50));
  for (double x : {120.0, 360.0, 600.0}) {
    Soft(s, Rect(x - 2, 300, x + 2, 420), MakeRgb(60, 60, 80));
    Glow(s, x, 300, 60, MakeRgb(255, 220, 150), 0.5);
    Soft(s, Circle(x, 300, 5), MakeRgb(255, 240, 200));
    Soft(s, Ellipse(x, 440, 60, 10), MakeRgb(255, 220, 150), 0.18);
  }
}

// 6: a bedroom at dusk.
inline void Bedroom(Surface& s, Rng&) {
  DrawRoom(s, {120, 70, 520, 320, MakeRgb(232, 214, 196), MakeRgb(180, 140, 110),
               MakeRgb(240, 230, 220)});
  Window(s, 300, 110, 470, 240, MakeRgb(246, 240, 230),
         {{0, MakeRgb(70, 70, 140)}, {1, MakeRgb(250, 170, 120)}});
  Soft(s, Rect(290, 104, 310, 260), MakeRgb(160, 190, 220));
  Soft(s, Rect(462, 104, 482, 260), MakeRgb(160, 190, 220));
  Soft(s, Polygon({{60, 300}, {330, 300}, {380, 440}, {20, 440}}), MakeRgb(250, 246, 240));
  Soft(s, Polygon({{20, 440}, {380, 440}, {380, 470}, {20, 470}}), MakeRgb(200, 190, 210));
  Soft(s, RoundRect(70, 290, 170, 330, 14), MakeRgb(236, 200, 210));
  Soft(s, Polygon({{150, 340}, {330, 340}, {370, 440}, {130, 440}}), MakeRgb(170, 200, 230));
  Soft(s, Rect(500, 260, 600, 400), MakeRgb(150, 110, 80));
  Glow(s, 560, 230, 90, MakeRgb(255, 210, 140), 0.45);
  Soft(s, Polygon({{540, 210}, {580, 210}, {590, 238}, {530, 238}}), MakeRgb(255, 236, 200));
}

// 7: the park on a fine afternoon.
inline void Park(Surface& s, Rng& rng) {
  Sky(s, 0, 320, DaySky());
  Cloud(s, rng, 320, 70, 260, kWhite, 0.8);
  Hills(s, 290, 14, 1.2, 480, MakeRgb(130, 190, 110), MakeRgb(80, 150, 80));
  for (int i = 0; i < 5; ++i)
    Tree(s, rng, 40 + i * 140 + (i % 2) * 30, 310 + (i % 2) * 10, 170 + (i % 3) * 30,
         MakeRgb(70, 146, 74));
  Soft(s, Polygon({{200, 480}, {440, 480}, {350, 300}, {300, 300}}), MakeRgb(220, 200, 160));
  Soft(s, Rect(460, 380, 600, 392), MakeRgb(150, 100, 70));
  Soft(s, Rect(460, 362, 600, 370), MakeRgb(150, 100, 70));
  for (double x : {470.0, 590.0}) Soft(s, Rect(x - 3, 390, x + 3, 420), MakeRgb(90, 80, 80));
}

// 8: the seaside.
inline void Seaside(Surface& s, Rng& rng) {
  Sky(s, 0, 240, {{0, MakeRgb(70, 140, 220)}, {1, MakeRgb(200, 232, 250)}});
  Sun(s, 200, 70, 20, MakeRgb(255, 240, 200));
  Cloud(s, rng, 460, 120, 220, kWhite, 0.8);
  Water(s, rng, 240, 380, MakeRgb(40, 140, 170), MakeRgb(70, 120, 190), 200, kWhite);
  Soft(s, Polygon({{0, 360}, {640, 390}, {640, 480}, {0, 480}}), [](int, int y) {
    return Mix(MakeRgb(236, 220, 180), MakeRgb(220, 196, 150), (y - 360) / 120.0);
  });
  for (int i = 0; i < 3; ++i) {
    std::vector<Pt> foam;
    for (int x = -10; x <= 650; x += 10)
      foam.push_back({double(x), 362 + i * 12 + x * 0.047 + 3 * std::sin(x * 0.05 + i)});
    Soft(s, Stroke(foam, 1.6), kWhite, 0.7 - i * 0.2);
  }
}

// 9: the school roof under a wide sky.
inline void Rooftop(Surface& s, Rng& rng) {
  Sky(s, 0, 480, DaySky());
  Cloud(s, rng, 180, 140, 300, kWhite, 0.9);
  Cloud(s, rng, 520, 200, 220, MakeRgb(250, 250, 255), 0.8);
  Soft(s, Rect(0, 360, 640, 480), MakeRgb(170, 176, 170));
  for (int i = 0; i < 9; ++i)
    Soft(s, Stroke({{i * 80.0, 360}, {i * 90.0 - 40, 480}}, 0.7), MakeRgb(140, 146, 140));
  for (int x = 0; x <= 640; x += 16) {
    Soft(s, Stroke({{double(x), 250}, {x + 16.0, 350}}, 0.6), MakeRgb(120, 140, 130));
    Soft(s, Stroke({{x + 16.0, 250}, {double(x), 350}}, 0.6), MakeRgb(120, 140, 130));
  }
  for (int x = 0; x <= 640; x += 80) Soft(s, Rect(x - 3, 240, x + 3, 362), MakeRgb(100, 120, 110));
  Soft(s, Rect(0, 240, 640, 246), MakeRgb(100, 120, 110));
}

// 10: the shopping street late in the afternoon.
inline void Street(Surface& s, Rng& rng) {
  Sky(s, 0, 300, {{0, MakeRgb(110, 150, 210)}, {1, MakeRgb(250, 220, 180)}});
  Soft(s, Polygon({{0, 480}, {640, 480}, {360, 250}, {280, 250}}), MakeRgb(120, 116, 120));
  // Shop fronts along both sides, far ones first so near ones cover them.
  const auto depth = [](double d) { return 1 - 1 / (1 + d); };
  for (int side : {-1, 1}) {
    for (int i = 5; i >= 0; --i) {
      const double t0 = depth(i * 0.9), t1 = depth(i * 0.9 + 0.8);
      const auto x = [&](double t) { return side < 0 ? 280 * t : 640 - 280 * t; };
      const auto top = [](double t) { return 40 + 200 * t; };
      const auto bottom = [](double t) { return 480 - 222 * t; };
      const auto band = [&](double t, double k) { return top(t) + (bottom(t) - top(t)) * k; };
      Soft(s,
           Polygon({{x(t0), top(t0)}, {x(t1), top(t1)}, {x(t1), bottom(t1)}, {x(t0), bottom(t0)}}),
           Mix(MakeRgb(236, 214, 186), MakeRgb(196, 160, 150), rng.Uniform(0, 1)));
      Soft(s,
           Polygon({{x(t0), band(t0, 0.42)},
                    {x(t1), band(t1, 0.42)},
                    {x(t1), band(t1, 0.5)},
                    {x(t0), band(t0, 0.5)}}),
           Mix(MakeRgb(214, 80, 80), MakeRgb(70, 130, 200), rng.Uniform(0, 1)));
      Soft(s,
           Polygon({{x(t0), band(t0, 0.55)},
                    {x(t1), band(t1, 0.55)},
                    {x(t1), band(t1, 0.9)},
                    {x(t0), band(t0, 0.9)}}),
           MakeRgb(250, 232, 190), 0.8);
      Soft(s, Stroke({{x(t0), top(t0)}, {x(t0), bottom(t0)}}, 1), MakeRgb(120, 100, 100), 0.6);
    }
  }
  for (double x : {60.0, 580.0}) Soft(s, Rect(x - 4, 60, x + 4, 480), MakeRgb(90, 84, 84));
  Soft(s, Stroke({{60, 80}, {320, 120}, {580, 80}}, 0.8), MakeRgb(60, 60, 60));
}

// 11 (tall): from the morning sky down to the town.
inline void Opening(Surface& s, Rng& rng) {
  Sky(s, 0, 760,
      {{0, MakeRgb(30, 60, 150)},
       {0.5, MakeRgb(110, 170, 230)},
       {0.85, MakeRgb(230, 220, 220)},
       {1, MakeRgb(255, 214, 170)}});
  Stars(s, rng, 60, 140);
  Sun(s, 470, 690, 30, MakeRgb(255, 210, 150));
  for (int i = 0; i < 6; ++i)
    Cloud(s, rng, rng.Uniform(60, 580), 220 + i * 80, rng.Uniform(160, 260), kWhite,
          0.55 + i * 0.05);
  for (int i = 0; i < 5; ++i) {
    const double x = 120 + i * 34, y = 360 + (i % 2) * 14;
    Soft(
        s,
        Stroke(
            Path({x - 8, y}).Quad({x - 4, y - 5}, {x, y}).Quad({x + 4, y - 5}, {x + 8, y}).Points(),
            1.2),
        MakeRgb(60, 60, 90));
  }
  Hills(s, 760, 40, 0.3, 960, MakeRgb(120, 140, 170), MakeRgb(100, 120, 150));
  Hills(s, 800, 26, 2.2, 960, MakeRgb(100, 150, 110), MakeRgb(70, 120, 90));
  Skyline(s, rng, 960, 40, 130, MakeRgb(200, 186, 176), MakeRgb(150, 170, 196), 0.05);
  for (int i = 0; i < 12; ++i) {
    const double x = i * 60 + rng.Uniform(-10, 10), y = 900 + rng.Uniform(-10, 30);
    Soft(s, Polygon({{x - 30, y}, {x, y - 22}, {x + 30, y}}),
         Mix(MakeRgb(170, 70, 60), MakeRgb(70, 90, 140), rng.Uniform(0, 1)));
    Soft(s, Rect(x - 24, y, x + 24, y + 40), MakeRgb(240, 232, 220));
  }
}

// 12: the library.
inline void Library(Surface& s, Rng& rng) {
  DrawRoom(s, {100, 60, 540, 330, MakeRgb(200, 180, 150), MakeRgb(140, 100, 70),
               MakeRgb(230, 224, 210)});
  for (int shelf = 0; shelf < 2; ++shelf) {
    const double x0 = 120 + shelf * 230, x1 = x0 + 190;
    Soft(s, Rect(x0, 80, x1, 330), MakeRgb(110, 76, 50));
    for (int row = 0; row < 5; ++row) {
      const double y1 = 126 + row * 48;
      for (double x = x0 + 6; x < x1 - 10;) {
        const double w = rng.Uniform(6, 13), h = rng.Uniform(28, 40);
        Soft(s, Rect(x, y1 - h, x + w, y1),
             Mix(MakeRgb(170, 60, 60),
                 Mix(MakeRgb(60, 100, 160), MakeRgb(220, 190, 110), rng.Uniform(0, 1)),
                 rng.Uniform(0, 1)));
        x += w + 1;
      }
      Soft(s, Rect(x0, y1, x1, y1 + 5), MakeRgb(90, 60, 40));
    }
  }
  Soft(s, Polygon({{160, 400}, {480, 400}, {520, 450}, {120, 450}}), MakeRgb(170, 120, 80));
  Soft(s, Polygon({{0, 0}, {90, 40}, {90, 300}, {0, 380}}), MakeRgb(255, 250, 220), 0.35);
}

// 13: a snowy winter night.
inline void WinterNight(Surface& s, Rng& rng) {
  Sky(s, 0, 320, {{0, MakeRgb(20, 30, 70)}, {1, MakeRgb(80, 90, 140)}});
  Stars(s, rng, 100, 200);
  Hills(s, 320, 20, 0.8, 480, MakeRgb(230, 236, 250), MakeRgb(180, 190, 220));
  for (int i = 0; i < 4; ++i) {
    const double x = 60 + i * 170, b = 330 + (i % 2) * 20, h = 120 + (i % 3) * 30;
    Soft(s, Polygon({{x, b - h}, {x + h * 0.3, b}, {x - h * 0.3, b}}), MakeRgb(40, 80, 80));
    Soft(s, Polygon({{x, b - h}, {x + h * 0.15, b - h * 0.5}, {x - h * 0.15, b - h * 0.5}}), kWhite,
         0.85);
  }
  Soft(s, Rect(430, 250, 560, 340), MakeRgb(120, 90, 80));
  Soft(s, Polygon({{414, 254}, {495, 200}, {576, 254}}), MakeRgb(245, 248, 255));
  Soft(s, Rect(460, 280, 490, 310), MakeRgb(255, 210, 120));
  Glow(s, 475, 295, 70, MakeRgb(255, 200, 110), 0.4);
  Snow(s, rng, 260);
}

// 14: a path under cherry trees in bloom.
inline void BlossomPath(Surface& s, Rng& rng) {
  Sky(s, 0, 300, {{0, MakeRgb(150, 190, 240)}, {1, MakeRgb(240, 236, 246)}});
  Hills(s, 300, 10, 2.8, 480, MakeRgb(170, 200, 140), MakeRgb(120, 170, 110));
  Soft(s, Polygon({{220, 480}, {420, 480}, {340, 290}, {300, 290}}), MakeRgb(226, 210, 190));
  for (int i = 0; i < 6; ++i) {
    const double x = i < 3 ? 40 + i * 90 : 600 - (i - 3) * 90;
    Tree(s, rng, x, 330 + (i % 3) * 30, 220 - (i % 3) * 30, MakeRgb(244, 178, 200), true);
  }
  for (int i = 0; i < 120; ++i) {
    Soft(s, Ellipse(rng.Uniform(0, 640), rng.Uniform(0, 480), 2.6, 1.6), MakeRgb(255, 210, 224),
         0.85);
  }
}

// Place n (1 to 14); place 11 is the tall opening picture.
inline Surface DrawPlace(int n) {
  using Painter = void (*)(Surface&, Rng&);
  static const Painter kPainters[] = {SchoolMorning, Classroom, Corridor,    RiverSunset, NightTown,
                                      Bedroom,       Park,      Seaside,     Rooftop,     Street,
                                      Opening,       Library,   WinterNight, BlossomPath};
  Surface s(kPlaceWidth, n == 11 ? 2 * kPlaceHeight : kPlaceHeight, kWhite);
  Rng rng(0x5EED0000u + static_cast<unsigned>(n));
  kPainters[(n - 1) % 14](s, rng);
  return s;
}

// The two logos: an emblem on a white ground with a coloured bar under it.
inline Surface DrawLogo(int width, int height, Rgb accent, int petals) {
  Surface s(width, height, MakeRgb(252, 252, 250));
  const double cx = width / 2.0, cy = height * 0.42, r = height * 0.26;
  for (int i = 0; i < petals; ++i) {
    const double a = 2 * kPi * i / petals;
    Soft(s, Ellipse(cx + std::cos(a) * r * 0.55, cy + std::sin(a) * r * 0.55, r * 0.5, r * 0.5),
         Mix(accent, kWhite, 0.35), 0.8);
  }
  Soft(s, Circle(cx, cy, r * 0.42), accent);
  Soft(s, Circle(cx, cy, r * 0.18), kWhite);
  Soft(s, RoundRect(width * 0.2, height * 0.8, width * 0.8, height * 0.86, 3), accent);
  return s;
}

}  // namespace kovan::demo
