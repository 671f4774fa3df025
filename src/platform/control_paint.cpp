#include "platform/control_paint.h"

#include "platform/ui_colours.h"

namespace kovan::paint {

void Edge(Surface& s, int x, int y, int w, int h, EdgeStyle style) {
  struct Colours {
    Rgb outerLit, outerDark, innerLit, innerDark;
  };
  const Colours c = style == EdgeStyle::kRaised
                        ? Colours{ui::kLight, ui::kDarkShadow, ui::kFace, ui::kShadow}
                    : style == EdgeStyle::kPressed
                        ? Colours{ui::kDarkShadow, ui::kLight, ui::kFace, ui::kFace}
                        : Colours{ui::kShadow, ui::kLight, ui::kDarkShadow, ui::kFace};
  const int x2 = x + w, y2 = y + h;
  s.FillBox(x, y, x2, y + 1, c.outerLit);
  s.FillBox(x, y, x + 1, y2, c.outerLit);
  s.FillBox(x, y2 - 1, x2, y2, c.outerDark);
  s.FillBox(x2 - 1, y, x2, y2, c.outerDark);
  if (style == EdgeStyle::kWell) {
    s.FillBox(x + 1, y + 1, x2 - 1, y + 2, c.innerLit);
    s.FillBox(x + 1, y + 1, x + 2, y2 - 1, c.innerLit);
  }
  s.FillBox(x + 1, y2 - 2, x2 - 1, y2 - 1, c.innerDark);
  s.FillBox(x2 - 2, y + 1, x2 - 1, y2 - 1, c.innerDark);
}

void Focus(Surface& s, int x, int y, int w, int h) {
  for (int px = x; px < x + w; px += 2) {
    s.SetPoint(px, y, ui::kText);
    s.SetPoint(px, y + h - 1, ui::kText);
  }
  for (int py = y; py < y + h; py += 2) {
    s.SetPoint(x, py, ui::kText);
    s.SetPoint(x + w - 1, py, ui::kText);
  }
}

void Caption(Surface& s, Font& font, int x, int y, const std::string& text, Rgb colour,
             bool enabled) {
  if (!enabled) font.TextOut(s, x + 1, y + 1, text, ui::kLight);
  font.TextOut(s, x, y, text, enabled ? colour : ui::kShadow);
}

}  // namespace kovan::paint
