// The 3-D edges, focus marks and text of the dialog controls, shared by the
// kinds of control in form.cpp, form_controls.cpp and text_box.cpp.
#pragma once

#include <string>

#include "platform/font.h"
#include "platform/surface.h"

namespace kovan::paint {

enum class EdgeStyle {
  kRaised,   // a button, a panel
  kPressed,  // a button held down
  kWell,     // a text box or check box: sunken, white inside
};

// A two-pixel edge around the box at (x, y).
void Edge(Surface& s, int x, int y, int w, int h, EdgeStyle style);
// The dotted rectangle of the control with the keyboard focus.
void Focus(Surface& s, int x, int y, int w, int h);
// A caption in the control's colour, or embossed grey when disabled.
void Caption(Surface& s, Font& font, int x, int y, const std::string& text, Rgb colour,
             bool enabled);

}  // namespace kovan::paint
