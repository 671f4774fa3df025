// Standing figures of the demo characters: hair, body, clothes and arms in
// head units around the head's middle (see figure_face.h).
#pragma once

#include <cmath>
#include <vector>

#include "canvas.h"
#include "figure_face.h"

namespace kovan::demo {

enum class HairStyle { kLong, kTwinTails, kBob };
enum class Outfit { kSailor, kCardigan, kCoat, kDress, kSuit };
enum class Arms { kDown, kHandToChest, kHandsFront };

struct Figure {
  Look look;
  HairStyle hairStyle;
  Outfit outfit;
  Arms arms;
  bool glasses = false;
};

// Clothes colours: main cloth, its trim, an accent, the lower garment.
struct Cloth {
  Rgb main;
  Rgb trim;
  Rgb accent;
  Rgb lower;
};

inline Cloth ClothOf(Outfit o) {
  switch (o) {
    case Outfit::kSailor:
      return {MakeRgb(240, 242, 248), MakeRgb(46, 58, 112), MakeRgb(206, 52, 64),
              MakeRgb(50, 60, 110)};
    case Outfit::kCardigan:
      return {MakeRgb(238, 204, 150), MakeRgb(250, 248, 240), MakeRgb(120, 160, 110),
              MakeRgb(140, 110, 90)};
    case Outfit::kCoat:
      return {MakeRgb(176, 62, 72), MakeRgb(242, 236, 222), MakeRgb(214, 180, 96),
              MakeRgb(70, 60, 80)};
    case Outfit::kDress:
      return {MakeRgb(156, 196, 238), MakeRgb(252, 252, 255), MakeRgb(70, 110, 190),
              MakeRgb(140, 182, 230)};
    case Outfit::kSuit:
      return {MakeRgb(116, 84, 124), MakeRgb(246, 244, 250), MakeRgb(200, 190, 120),
              MakeRgb(90, 66, 100)};
  }
  return {};
}

// A colour function with light from the upper left: lighter towards -x.
inline ColorFn Lit(Rgb c, const Frame& f, double centre, double halfWidth) {
  return [=](int x, int) {
    const double t = (x + 0.5 - f.At(centre, 0).x) / f.Len(halfWidth);
    return Mix(Shade(c, 1.04), Shade(c, 0.84), Smooth(t * 0.5 + 0.5));
  };
}

inline Shape Poly(const Frame& f, std::initializer_list<Pt> units) {
  std::vector<Pt> pts;
  for (const Pt& u : units) pts.push_back(f.At(u.x, u.y));
  return Polygon(std::move(pts));
}

inline void DrawBackHair(Surface& s, const Frame& f, const Figure& fig) {
  const Look& l = fig.look;
  const ColorFn shade = [&](int, int y) {
    return Mix(l.hair, l.hairShade, Smooth((y - f.At(0, -40).y) / f.Len(260)));
  };
  if (fig.hairStyle == HairStyle::kLong) {
    Path p(f.At(-50, -10));
    p.Cubic(f.At(-62, 60), f.At(-70, 160), f.At(-74, 250));
    for (int i = 0; i <= 6; ++i) p.Line(f.At(-74 + 24.0 * i, i % 2 ? 262 : 246));
    p.Cubic(f.At(70, 160), f.At(62, 60), f.At(50, -10)).Quad(f.At(0, -80), f.At(-50, -10));
    Outlined(s, Polygon(p.Points()), shade, l.line, f.Line(2));
  } else if (fig.hairStyle == HairStyle::kTwinTails) {
    for (int side : {-1, 1}) {
      Path p(f.At(44 * side, -44));
      p.Cubic(f.At(96 * side, -40), f.At(100 * side, 60), f.At(82 * side, 150));
      p.Quad(f.At(76 * side, 200), f.At(92 * side, 236));
      p.Quad(f.At(60 * side, 200), f.At(62 * side, 140));
      p.Cubic(f.At(70 * side, 60), f.At(56 * side, -10), f.At(40 * side, -28));
      Outlined(s, Polygon(p.Points()), shade, l.line, f.Line(2));
    }
    const Pt c = f.At(0, 10);
    Outlined(s, Ellipse(c.x, c.y, f.Len(52), f.Len(64)), shade, l.line, f.Line(2));
  } else {
    const Pt c = f.At(0, 8);
    Outlined(s, Ellipse(c.x, c.y, f.Len(56), f.Len(62)), shade, l.line, f.Line(2));
  }
}

inline void DrawFrontHair(Surface& s, const Frame& f, const Figure& fig) {
  const Look& l = fig.look;
  const double lock = fig.hairStyle == HairStyle::kBob ? 46 : 52;
  Path p(f.At(-52, 4));
  p.Cubic(f.At(-56, -46), f.At(-30, -68), f.At(0, -66));
  p.Cubic(f.At(30, -68), f.At(56, -46), f.At(52, 4));
  p.Quad(f.At(54, 30), f.At(49, lock)).Quad(f.At(42, 20), f.At(38, -14));
  // The fringe: strands from the right lock to the left one, each ending in
  // a point above the eyes.
  const double tips[][2] = {{30, -8},   {25, -26}, {16, -7},   {8, -28},  {-2, -10},
                            {-10, -27}, {-20, -6}, {-27, -25}, {-33, -9}, {-38, -14}};
  Pt prev{38, -14};
  for (const auto& t : tips) {
    p.Quad(f.At((prev.x + t[0]) / 2 + 2, (prev.y + t[1]) / 2 - 3), f.At(t[0], t[1]), 5);
    prev = {t[0], t[1]};
  }
  p.Quad(f.At(-42, 20), f.At(-49, lock)).Quad(f.At(-54, 30), f.At(-52, 4));
  const Shape bangs = Polygon(p.Points());
  const double top = f.At(0, -66).y;
  Outlined(
      s, bangs, [&](int, int y) { return Mix(l.hairLight, l.hair, Smooth((y - top) / f.Len(50))); },
      l.line, f.Line(2));
  const Pt hc = f.At(0, -38);
  Soft(s,
       Intersect(Subtract(Ellipse(hc.x, hc.y, f.Len(40), f.Len(12)),
                          Ellipse(hc.x, hc.y + f.Len(5), f.Len(38), f.Len(11))),
                 Polygon(p.Points())),
       MakeRgb(255, 250, 245), 0.55);
  if (fig.hairStyle == HairStyle::kTwinTails) {
    for (int side : {-1, 1}) {
      const Pt a = f.At(46 * side, -42);
      Outlined(s, Poly(f, {{46.0 * side, -42}, {66.0 * side, -58}, {70.0 * side, -30}}), l.ribbon,
               l.line, 1);
      Outlined(s, Poly(f, {{46.0 * side, -42}, {30.0 * side, -60}, {28.0 * side, -32}}), l.ribbon,
               l.line, 1);
      Outlined(s, Circle(a.x, a.y, f.Len(6)), Shade(l.ribbon, 0.85), l.line, 1);
    }
  } else if (fig.hairStyle == HairStyle::kLong) {
    const Pt a = f.At(34, -50);
    Outlined(s, Poly(f, {{34, -50}, {52, -66}, {54, -40}}), l.ribbon, l.line, 1);
    Outlined(s, Poly(f, {{34, -50}, {20, -68}, {14, -46}}), l.ribbon, l.line, 1);
    Outlined(s, Circle(a.x, a.y, f.Len(5)), Shade(l.ribbon, 0.85), l.line, 1);
  }
}

// Upper arm from the shoulder to the elbow, forearm to the hand; the cuff
// covers the wrist.
inline void DrawArm(Surface& s, const Frame& f, const Figure& fig, const Cloth& c, Pt shoulder,
                    Pt elbow, Pt hand) {
  const Look& l = fig.look;
  const int lw = f.Line(2);
  const auto along = [&](double t) {
    return f.At(elbow.x + (hand.x - elbow.x) * t, elbow.y + (hand.y - elbow.y) * t);
  };
  Outlined(s, Stroke({f.At(shoulder.x, shoulder.y), f.At(elbow.x, elbow.y)}, f.Len(13)), c.main,
           l.line, lw);
  Outlined(s, Stroke({f.At(elbow.x, elbow.y), along(0.66)}, f.Len(11.5)), c.main, l.line, lw);
  const Pt h = f.At(hand.x, hand.y);
  Outlined(s, Ellipse(h.x, h.y, f.Len(8.5), f.Len(10)), l.skin, l.line, lw);
  const Rgb cuff = fig.outfit == Outfit::kCardigan ? Shade(c.main, 0.88) : c.trim;
  Outlined(s, Stroke({along(0.6), along(0.68)}, f.Len(12.5)), cuff, l.line, lw);
}

inline void DrawTorso(Surface& s, const Frame& f, const Figure& fig, const Cloth& c, double bx) {
  const Look& l = fig.look;
  const int lw = f.Line(2);
  const Pt n = f.At(0, 40);
  Outlined(
      s, Rect(n.x - f.Len(11), n.y, n.x + f.Len(11), f.At(0, 92).y),
      [&](int, int y) { return Mix(l.skinShade, l.skin, Smooth((y - n.y) / f.Len(36))); }, l.line,
      lw);
  Outlined(s, Poly(f, {{bx - 54, 226}, {bx + 54, 226}, {bx + 92, 330}, {bx - 92, 330}}),
           Lit(c.lower, f, bx, 92), l.line, lw);
  for (int i = -3; i <= 3; ++i) {
    Fill(s, Stroke({f.At(bx + 15 * i, 234), f.At(bx + 26 * i, 330)}, f.Len(0.9)),
         Shade(c.lower, 0.72));
  }
  Outlined(s,
           Poly(f, {{bx - 11, 78},
                    {bx - 44, 88},
                    {bx - 64, 100},
                    {bx - 72, 124},
                    {bx - 64, 170},
                    {bx - 56, 236},
                    {bx + 56, 236},
                    {bx + 64, 170},
                    {bx + 72, 124},
                    {bx + 64, 100},
                    {bx + 44, 88},
                    {bx + 11, 78},
                    {bx, 96}}),
           Lit(c.main, f, bx, 72), l.line, lw);
  switch (fig.outfit) {
    case Outfit::kSailor:
      Outlined(s,
               Poly(f, {{bx - 11, 78},
                        {bx - 60, 94},
                        {bx - 58, 128},
                        {bx, 166},
                        {bx + 58, 128},
                        {bx + 60, 94},
                        {bx + 11, 78},
                        {bx, 132}}),
               c.trim, l.line, lw);
      Fill(s,
           Stroke({f.At(bx - 52, 100), f.At(bx - 50, 122), f.At(bx, 156), f.At(bx + 50, 122),
                   f.At(bx + 52, 100)},
                  f.Len(1.4)),
           c.main);
      for (int side : {-1, 1}) {
        Outlined(s, Poly(f, {{bx, 144}, {bx + 24.0 * side, 132}, {bx + 21.0 * side, 160}}),
                 c.accent, l.line, 1);
        Outlined(s,
                 Poly(f, {{bx + 4.0 * side, 144}, {bx + 13.0 * side, 188}, {bx + 2.0 * side, 182}}),
                 Shade(c.accent, 0.9), l.line, 1);
      }
      Outlined(s, Circle(f.At(bx, 144).x, f.At(bx, 144).y, f.Len(5.5)), Shade(c.accent, 0.8),
               l.line, 1);
      break;
    case Outfit::kCardigan:
      Outlined(s, Poly(f, {{bx - 14, 78}, {bx + 14, 78}, {bx + 6, 236}, {bx - 6, 236}}), c.trim,
               l.line, lw);
      for (int side : {-1, 1}) {
        Outlined(s,
                 Poly(f, {{bx + 14.0 * side, 78}, {bx + 1.0 * side, 80}, {bx + 9.0 * side, 100}}),
                 kWhite, l.line, 1);
      }
      for (int i = 0; i < 4; ++i) {
        const Pt b = f.At(bx - 10, 124 + 28 * i);
        Outlined(s, Circle(b.x, b.y, f.Len(3.5)), c.accent, l.line, 1);
      }
      break;
    case Outfit::kCoat:
      for (int i = 0; i < 3; ++i) {
        for (int side : {-1, 1}) {
          const Pt b = f.At(bx + 18 * side, 136 + 34 * i);
          Outlined(s, Circle(b.x, b.y, f.Len(4)), c.accent, l.line, 1);
        }
      }
      Outlined(s, Poly(f, {{bx + 8, 92}, {bx + 30, 92}, {bx + 34, 180}, {bx + 16, 176}}), c.trim,
               l.line, lw);
      Outlined(s, Stroke({f.At(bx - 30, 84), f.At(bx, 96), f.At(bx + 30, 84)}, f.Len(12)), c.trim,
               l.line, lw);
      for (int i = 0; i < 4; ++i) {
        Fill(s, Stroke({f.At(bx + 17, 158 + 5 * i), f.At(bx + 33, 160 + 5 * i)}, f.Len(0.8)),
             Shade(c.trim, 0.8));
      }
      break;
    case Outfit::kDress:
      Outlined(s,
               Poly(f, {{bx - 16, 78},
                        {bx - 38, 86},
                        {bx - 28, 110},
                        {bx, 102},
                        {bx + 28, 110},
                        {bx + 38, 86},
                        {bx + 16, 78},
                        {bx, 94}}),
               c.trim, l.line, lw);
      Outlined(s, Poly(f, {{bx - 60, 200}, {bx + 60, 200}, {bx + 58, 220}, {bx - 58, 220}}),
               c.accent, l.line, 1);
      Outlined(s, Poly(f, {{bx + 28, 210}, {bx + 48, 194}, {bx + 48, 226}}), c.accent, l.line, 1);
      break;
    case Outfit::kSuit:
      Outlined(s, Poly(f, {{bx - 14, 78}, {bx + 14, 78}, {bx + 8, 166}, {bx - 8, 166}}), c.trim,
               l.line, lw);
      for (int side : {-1, 1}) {
        Outlined(s,
                 Poly(f, {{bx + 14.0 * side, 78},
                          {bx + 34.0 * side, 94},
                          {bx + 20.0 * side, 144},
                          {bx + 5.0 * side, 168}}),
                 Shade(c.main, 0.85), l.line, lw);
      }
      Outlined(s, Circle(f.At(bx, 112).x, f.At(bx, 112).y, f.Len(5)), c.accent, l.line, 1);
      break;
  }
}

inline void DrawArms(Surface& s, const Frame& f, const Figure& fig, const Cloth& c, double bx) {
  const Pt leftShoulder{bx - 62, 108}, rightShoulder{bx + 62, 108};
  switch (fig.arms) {
    case Arms::kDown:
      DrawArm(s, f, fig, c, leftShoulder, {bx - 72, 186}, {bx - 64, 248});
      DrawArm(s, f, fig, c, rightShoulder, {bx + 72, 186}, {bx + 64, 248});
      break;
    case Arms::kHandToChest:
      DrawArm(s, f, fig, c, rightShoulder, {bx + 72, 186}, {bx + 64, 248});
      DrawArm(s, f, fig, c, leftShoulder, {bx - 70, 196}, {bx - 16, 160});
      break;
    case Arms::kHandsFront:
      DrawArm(s, f, fig, c, leftShoulder, {bx - 70, 190}, {bx - 6, 238});
      DrawArm(s, f, fig, c, rightShoulder, {bx + 70, 190}, {bx + 8, 244});
      break;
  }
}

inline void DrawGlasses(Surface& s, const Frame& f) {
  const Rgb rim = MakeRgb(90, 60, 80);
  for (int side : {-1, 1}) {
    const Pt c = f.At(20 * side, 11);
    const Shape lens =
        RoundRect(c.x - f.Len(15), c.y - f.Len(11), c.x + f.Len(15), c.y + f.Len(11), f.Len(6));
    Soft(s, lens, MakeRgb(220, 235, 255), 0.18);
    Fill(s,
         Subtract(lens, RoundRect(c.x - f.Len(13.5), c.y - f.Len(9.5), c.x + f.Len(13.5),
                                  c.y + f.Len(9.5), f.Len(5))),
         rim);
  }
  Fill(s, Stroke({f.At(-5, 8), f.At(5, 8)}, f.Len(1)), rim);
}

// The whole figure; black stays where nothing was drawn, and a one-pixel
// rim of (0, 0, 1) closes the silhouette so that the game's black-keyed
// mask keeps the outline.
inline void DrawFigure(Surface& s, const Frame& f, const Figure& fig, const Expression& e) {
  const Cloth c = ClothOf(fig.outfit);
  const double bx = -12;
  DrawBackHair(s, f, fig);
  DrawTorso(s, f, fig, c, bx);
  DrawArms(s, f, fig, c, bx);
  Outlined(
      s, HeadShape(f),
      [&](int, int y) {
        return Mix(fig.look.skin, fig.look.skinShade, Smooth((y - f.At(0, 30).y) / f.Len(30)));
      },
      fig.look.line, f.Line(2));
  DrawFeatures(s, f, fig.look, e);
  DrawFrontHair(s, f, fig);
  DrawBrow(s, f, fig.look, e.brows, -1);
  DrawBrow(s, f, fig.look, e.brows, 1);
  if (fig.glasses) DrawGlasses(s, f);
  const Rgb kInk = MakeRgb(0, 0, 1);
  const std::vector<Rgb> before = s.Pixels();
  for (int y = 0; y < s.Height(); ++y) {
    for (int x = 0; x < s.Width(); ++x) {
      Rgb& p = s.Row(y)[x];
      if (p != kBlack) continue;
      const auto lit = [&](int xx, int yy) {
        return xx >= 0 && yy >= 0 && xx < s.Width() && yy < s.Height() &&
               before[static_cast<std::size_t>(yy) * s.Width() + xx] != kBlack;
      };
      if (lit(x - 1, y) || lit(x + 1, y) || lit(x, y - 1) || lit(x, y + 1)) p = kInk;
    }
  }
}

}  // namespace kovan::demo
