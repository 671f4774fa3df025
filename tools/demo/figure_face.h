// Faces of the demo characters: head units are pixels of a head drawn at
// scale 1, with the origin at the middle of the head and y growing down.
#pragma once

#include <algorithm>
#include <cmath>

#include "canvas.h"

namespace kovan::demo {

// Where a head sits on the canvas and how big it is.
struct Frame {
  double hx = 0;
  double hy = 0;
  double s = 1;
  Pt At(double dx, double dy) const { return {hx + dx * s, hy + dy * s}; }
  double Len(double v) const { return v * s; }
  int Line(double v) const { return std::max(1, static_cast<int>(std::lround(v * s))); }
};

// A character's colours.
struct Look {
  Rgb skin;
  Rgb skinShade;
  Rgb hair;
  Rgb hairShade;
  Rgb hairLight;
  Rgb iris;
  Rgb irisDeep;
  Rgb line;  // inner outlines
  Rgb lash;
  Rgb ribbon;  // hair ornament
};

enum class Eyes { kOpen, kHalf, kWide, kClosed, kSmiling };
enum class Brows { kCalm, kRaised, kWorried, kCross };
enum class Mouth { kSmile, kGrin, kOh, kFlat, kFrown, kWavy };

struct Expression {
  Eyes left = Eyes::kOpen;
  Eyes right = Eyes::kOpen;
  double gaze = 0;  // -1 looks to the picture's left, +1 to its right
  Brows brows = Brows::kCalm;
  Mouth mouth = Mouth::kSmile;
  bool blush = false;
};

// The expressions of the face sheet, in sheet order; the first is the one
// the sprites carry.
inline const Expression& SheetExpression(int index) {
  static const Expression kList[] = {
      {Eyes::kOpen, Eyes::kOpen, 0, Brows::kCalm, Mouth::kSmile, false},
      {Eyes::kSmiling, Eyes::kSmiling, 0, Brows::kRaised, Mouth::kGrin, false},
      {Eyes::kWide, Eyes::kWide, 0, Brows::kRaised, Mouth::kOh, false},
      {Eyes::kHalf, Eyes::kHalf, 0.2, Brows::kWorried, Mouth::kFrown, false},
      {Eyes::kOpen, Eyes::kOpen, 0, Brows::kCross, Mouth::kFlat, false},
      {Eyes::kOpen, Eyes::kOpen, -1, Brows::kWorried, Mouth::kWavy, true},
      {Eyes::kHalf, Eyes::kHalf, 1, Brows::kCalm, Mouth::kFlat, false},
      {Eyes::kClosed, Eyes::kClosed, 0, Brows::kCalm, Mouth::kSmile, true},
      {Eyes::kSmiling, Eyes::kOpen, 0.3, Brows::kRaised, Mouth::kGrin, true},
  };
  return kList[index % 9];
}

// Skull outline: round top, soft jaw down to a narrow chin.
inline Shape HeadShape(const Frame& f) {
  Path p(f.At(-46, -2));
  for (int i = 1; i <= 24; ++i) {
    const double a = kPi + kPi * i / 24.0;
    p.Line(f.At(46 * std::cos(a), -2 + 52 * std::sin(a)));
  }
  p.Cubic(f.At(46, 24), f.At(22, 50), f.At(0, 57))
      .Cubic(f.At(-22, 50), f.At(-46, 24), f.At(-46, -2));
  return Polygon(p.Points());
}

inline std::vector<Pt> Arc3(const Frame& f, Pt a, Pt c, Pt b) {
  return Path(f.At(a.x, a.y)).Quad(f.At(c.x, c.y), f.At(b.x, b.y)).Points();
}

// One eye; side is -1 for the eye on the picture's left, +1 for the other.
inline void DrawEye(Surface& s, const Frame& f, const Look& look, Eyes kind, double gaze,
                    int side) {
  const double ex = 20 * side, ey = 10;
  const double out = side;  // direction of the outer corner
  if (kind == Eyes::kClosed || kind == Eyes::kSmiling) {
    const double bend = kind == Eyes::kClosed ? 6 : -8;
    const double base = kind == Eyes::kClosed ? 3 : 6;
    Fill(s,
         Stroke(Arc3(f, {ex - 11, ey + base}, {ex, ey + base + bend}, {ex + 11, ey + base}),
                f.Len(1.9)),
         look.lash);
    Fill(s,
         Stroke({f.At(ex + 11 * out, ey + base), f.At(ex + 14 * out, ey + base - 3)}, f.Len(1.3)),
         look.lash);
    return;
  }
  const bool wide = kind == Eyes::kWide;
  const double ix = ex + gaze * 3;
  const Shape white =
      Ellipse(f.At(ex, ey).x, f.At(ex, ey + 2).y, f.Len(wide ? 12 : 10.5), f.Len(wide ? 13 : 11));
  Fill(s, white, MakeRgb(250, 250, 255));
  const double irx = wide ? 6.5 : 8.5, iry = wide ? 9 : 11.5;
  const Pt ic = f.At(ix, ey + 2);
  const double top = ic.y - f.Len(iry), span = f.Len(2 * iry);
  Fill(s, Intersect(Ellipse(ic.x, ic.y, f.Len(irx), f.Len(iry)), white),
       [&](int, int y) { return Mix(look.irisDeep, look.iris, Smooth((y - top) / span * 1.3)); });
  Fill(s,
       Intersect(Ellipse(ic.x, ic.y + f.Len(1), f.Len(wide ? 2.5 : 4), f.Len(wide ? 3.5 : 6)),
                 white),
       Shade(look.irisDeep, 0.6));
  Fill(s, Circle(f.At(ix - 3, ey - 2).x, f.At(ix - 3, ey - 2).y, f.Len(2.6)), kWhite);
  Fill(s, Circle(f.At(ix + 3, ey + 7).x, f.At(ix + 3, ey + 7).y, f.Len(1.4)), kWhite);
  double lid = wide ? -13 : -11;
  if (kind == Eyes::kHalf) {
    lid = -1;
    Fill(s,
         Intersect(Rect(f.At(ex - 14, ey - 16).x, f.At(0, ey - 16).y, f.At(ex + 14, 0).x,
                        f.At(0, ey + lid + 1).y),
                   Ellipse(f.At(ex, 0).x, f.At(0, ey + 1).y, f.Len(13), f.Len(14))),
         look.skin);
  }
  const double rise = kind == Eyes::kHalf ? 2 : 8;
  const double lidTop = ey + lid - (kind == Eyes::kHalf ? 2 : 4);
  Fill(s,
       Stroke(Arc3(f, {ex - 13, ey + lid + rise}, {ex, lidTop}, {ex + 13, ey + lid + rise}),
              f.Len(1.6)),
       look.lash);
  Fill(s,
       Stroke(Arc3(f, {ex + 4 * out, ey + lid + 1}, {ex + 10 * out, ey + lid + 2},
                   {ex + 14 * out, ey + lid + rise - 1}),
              f.Len(2.2)),
       look.lash);
  Fill(s, Stroke({f.At(ex - 5, ey + 14), f.At(ex + 5, ey + 14)}, f.Len(0.7)),
       Mix(look.skinShade, look.line, 0.4));
}

inline void DrawBrow(Surface& s, const Frame& f, const Look& look, Brows kind, int side) {
  const double ex = 20 * side;
  double inner = -13, mid = -16, outer = -12;
  switch (kind) {
    case Brows::kCalm:
      break;
    case Brows::kRaised:
      inner = -18, mid = -22, outer = -17;
      break;
    case Brows::kWorried:
      inner = -19, mid = -15, outer = -10;
      break;
    case Brows::kCross:
      inner = -8, mid = -12, outer = -16;
      break;
  }
  Fill(s, Stroke(Arc3(f, {ex - 9 * side, inner}, {ex, mid}, {ex + 11 * side, outer}), f.Len(1.2)),
       look.hairShade);
}

inline void DrawMouth(Surface& s, const Frame& f, const Look& look, Mouth kind) {
  const Rgb lip = Mix(look.line, MakeRgb(190, 60, 70), 0.5);
  const double r = f.Len(1.2);
  switch (kind) {
    case Mouth::kSmile:
      Fill(s, Stroke(Arc3(f, {-7, 35}, {0, 41}, {7, 35}), r), lip);
      break;
    case Mouth::kFrown:
      Fill(s, Stroke(Arc3(f, {-6, 40}, {0, 35}, {6, 40}), r), lip);
      break;
    case Mouth::kFlat:
      Fill(s, Stroke({f.At(-6, 38), f.At(6, 38)}, r), lip);
      break;
    case Mouth::kWavy:
      Fill(s, Stroke({f.At(-8, 38), f.At(-4, 36), f.At(0, 39), f.At(4, 36), f.At(8, 38)}, r), lip);
      break;
    case Mouth::kOh: {
      const Pt c = f.At(0, 39);
      Outlined(s, Ellipse(c.x, c.y, f.Len(4.5), f.Len(5.5)), MakeRgb(150, 50, 62), lip, 1);
      break;
    }
    case Mouth::kGrin: {
      Path p(f.At(-9, 33));
      p.Quad(f.At(0, 36), f.At(9, 33)).Cubic(f.At(8, 40), f.At(4, 45), f.At(0, 45));
      p.Cubic(f.At(-4, 45), f.At(-8, 40), f.At(-9, 33));
      const Shape mouth = Polygon(p.Points());
      Outlined(s, mouth, MakeRgb(150, 50, 62), lip, 1);
      const Pt t = f.At(0, 43);
      Fill(s, Intersect(Ellipse(t.x, t.y, f.Len(5), f.Len(2.6)), Polygon(p.Points())),
           MakeRgb(232, 120, 128));
      break;
    }
  }
}

// The face's features over an already drawn head.
inline void DrawFeatures(Surface& s, const Frame& f, const Look& look, const Expression& e) {
  if (e.blush) {
    for (int side : {-1, 1}) {
      const Pt c = f.At(27 * side, 25);
      Soft(s, Ellipse(c.x, c.y, f.Len(10), f.Len(4.5)), MakeRgb(245, 120, 130), 0.45);
      for (int k = -1; k <= 1; ++k) {
        Soft(s,
             Stroke({f.At(27 * side + 4 * k + 2, 22), f.At(27 * side + 4 * k - 2, 28)}, f.Len(0.6)),
             MakeRgb(225, 90, 105), 0.7);
      }
    }
  }
  DrawEye(s, f, look, e.left, e.gaze, -1);
  DrawEye(s, f, look, e.right, e.gaze, 1);
  Fill(s, Stroke({f.At(1.5, 24), f.At(-0.5, 26.5)}, f.Len(0.8)),
       Mix(look.skinShade, look.line, 0.3));
  DrawMouth(s, f, look, e.mouth);
}

}  // namespace kovan::demo
