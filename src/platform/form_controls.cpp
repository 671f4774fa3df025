#include "platform/form_controls.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>

#include "platform/control_paint.h"

namespace kovan {

namespace {

constexpr int kOptionSide = 12;
constexpr int kCheckSide = 13;
constexpr int kCaptionGap = 4;

// A whole number written out exactly ("35", "-1"); nothing else.
std::optional<int> WholeNumber(const std::string& text) {
  int value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc() || ptr != end) return std::nullopt;
  return value;
}

std::optional<bool> Flag(const std::string& text) {
  if (text == "1") return true;
  if (text == "0") return false;
  return std::nullopt;
}

// The caption right of a box or circle, with the focus mark around it.
void DrawSideCaption(const DrawContext& dc, const Control& c, const std::string& caption,
                     int textX) {
  if (dc.font == nullptr) return;
  const int height = dc.font->TextHeight();
  const int y = dc.y + (c.rect.h - height) / 2;
  paint::Caption(dc.out, *dc.font, textX, y, caption, c.foreColor, c.enabled);
  if (dc.focused) paint::Focus(dc.out, textX - 1, y - 1, dc.font->TextWidth(caption) + 2, height + 2);
}

// A black triangle of four columns, tip left or right, centred in the box.
void DrawArrow(Surface& s, int x, int y, int w, int h, bool right, Rgb colour) {
  const int cx = x + w / 2 - 2, cy = y + h / 2;
  for (int k = 0; k < 4; ++k) {
    const int col = right ? cx + 3 - k : cx + k;
    s.FillBox(col, cy - k, col + 1, cy + k + 1, colour);
  }
}

}  // namespace

Frame::Frame(std::string name, ControlRect r, std::string text)
    : Panel(std::move(name), r), caption(std::move(text)) {
  raised = false;
}

void Frame::Draw(const DrawContext& dc) const {
  Surface& out = dc.out;
  out.FillBox(dc.x, dc.y, dc.x + rect.w, dc.y + rect.h, backColor);
  const int half = dc.font != nullptr ? dc.font->TextHeight() / 2 : 0;
  // An etched line: shadow with light just inside and below it.
  const int x0 = dc.x, y0 = dc.y + half, x1 = dc.x + rect.w - 1, y1 = dc.y + rect.h - 1;
  out.FillBox(x0, y0, x1, y0 + 1, ui::kShadow);
  out.FillBox(x0, y0, x0 + 1, y1, ui::kShadow);
  out.FillBox(x0, y1 - 1, x1, y1, ui::kShadow);
  out.FillBox(x1 - 1, y0, x1, y1, ui::kShadow);
  out.FillBox(x0 + 1, y0 + 1, x1 - 1, y0 + 2, ui::kLight);
  out.FillBox(x0 + 1, y0 + 1, x0 + 2, y1 - 1, ui::kLight);
  out.FillBox(x0, y1, x1 + 1, y1 + 1, ui::kLight);
  out.FillBox(x1, y0, x1 + 1, y1 + 1, ui::kLight);
  if (dc.font == nullptr || caption.empty()) return;
  const int textX = dc.x + 8;
  out.FillBox(textX - 2, dc.y, textX + dc.font->TextWidth(caption) + 2, y0 + 2, backColor);
  paint::Caption(out, *dc.font, textX, dc.y, caption, foreColor, enabled);
}

OptionButton::OptionButton(std::string name, ControlRect r, std::string text)
    : Control(std::move(name), r), caption(std::move(text)) {}

void OptionButton::Select() {
  value = true;
  if (Parent() == nullptr) return;
  for (Control* sibling : Parent()->Children()) {
    auto* option = dynamic_cast<OptionButton*>(sibling);
    if (option != nullptr && option != this) option->value = false;
  }
}

bool OptionButton::KeyDown(const Key& key) {
  if (key.code != KeyCode::kSpace) return false;
  Click();
  return true;
}

bool OptionButton::Act(const std::string& verb, const std::string& text) {
  if (verb != "set") return Control::Act(verb, text);
  const std::optional<bool> on = Flag(text);
  if (!on) return false;
  if (*on) {
    Select();
  } else {
    value = false;
  }
  return true;
}

void OptionButton::Draw(const DrawContext& dc) const {
  dc.out.FillBox(dc.x, dc.y, dc.x + rect.w, dc.y + rect.h, backColor);
  const int top = dc.y + (rect.h - kOptionSide) / 2;
  const double centre = (kOptionSide - 1) / 2.0;
  for (int py = 0; py < kOptionSide; ++py) {
    for (int px = 0; px < kOptionSide; ++px) {
      const double dx = px - centre, dy = py - centre;
      const double d = std::sqrt(dx * dx + dy * dy);
      const bool upperLeft = dx + dy < 0;
      Rgb c;
      if (value && d <= 1.9) {
        c = enabled ? ui::kText : ui::kShadow;
      } else if (d <= 4.3) {
        c = enabled ? kWhite : ui::kFace;
      } else if (d <= 5.1) {
        c = upperLeft ? ui::kDarkShadow : ui::kFace;
      } else if (d <= 6.1) {
        c = upperLeft ? ui::kShadow : ui::kLight;
      } else {
        continue;
      }
      dc.out.SetPoint(dc.x + px, top + py, c);
    }
  }
  DrawSideCaption(dc, *this, caption, dc.x + kOptionSide + kCaptionGap);
}

CheckBox::CheckBox(std::string name, ControlRect r, std::string text)
    : Control(std::move(name), r), caption(std::move(text)) {}

bool CheckBox::KeyDown(const Key& key) {
  if (key.code != KeyCode::kSpace) return false;
  Click();
  return true;
}

bool CheckBox::Act(const std::string& verb, const std::string& text) {
  if (verb != "set") return Control::Act(verb, text);
  const std::optional<bool> on = Flag(text);
  if (!on) return false;
  value = *on;
  return true;
}

void CheckBox::Draw(const DrawContext& dc) const {
  Surface& out = dc.out;
  out.FillBox(dc.x, dc.y, dc.x + rect.w, dc.y + rect.h, backColor);
  const int x = dc.x, y = dc.y + (rect.h - kCheckSide) / 2;
  out.FillBox(x, y, x + kCheckSide, y + kCheckSide, enabled ? kWhite : ui::kFace);
  paint::Edge(out, x, y, kCheckSide, kCheckSide, paint::EdgeStyle::kWell);
  if (value) {
    // The tick: seven columns three pixels tall, down then up.
    constexpr int kTickTop[7] = {5, 6, 7, 6, 5, 4, 3};
    const Rgb colour = enabled ? ui::kText : ui::kShadow;
    for (int i = 0; i < 7; ++i) out.FillBox(x + 3 + i, y + kTickTop[i], x + 4 + i, y + kTickTop[i] + 3, colour);
  }
  DrawSideCaption(dc, *this, caption, x + kCheckSide + kCaptionGap);
}

HScrollBar::HScrollBar(std::string name, ControlRect r) : Control(std::move(name), r) {}

int HScrollBar::ArrowWidth() const { return std::max(1, std::min(rect.h, rect.w / 3)); }

int HScrollBar::TrackLength() const { return std::max(0, rect.w - 3 * ArrowWidth()); }

int HScrollBar::ThumbLeft() const {
  if (max <= min) return ArrowWidth();
  const long long offset =
      static_cast<long long>(value_ - min) * TrackLength() * 2 / (max - min);
  return ArrowWidth() + static_cast<int>((offset + 1) / 2);  // rounded to the nearest pixel
}

void HScrollBar::SetValue(int value) {
  const int kept = std::clamp(value, std::min(min, max), std::max(min, max));
  if (kept == value_) return;
  value_ = kept;
  if (onChange) onChange();
}

void HScrollBar::MouseDown(int x, int /*y*/) {
  const int arrow = ArrowWidth();
  if (x < arrow) {
    held_ = Part::kLeftArrow;
    SetValue(value_ - smallChange);
  } else if (x >= rect.w - arrow) {
    held_ = Part::kRightArrow;
    SetValue(value_ + smallChange);
  } else if (x < ThumbLeft()) {
    held_ = Part::kTrack;
    SetValue(value_ - largeChange);
  } else if (x >= ThumbLeft() + ThumbWidth()) {
    held_ = Part::kTrack;
    SetValue(value_ + largeChange);
  } else {
    held_ = Part::kThumb;
    grab_ = x - ThumbLeft();
  }
}

void HScrollBar::MouseMove(int x, int /*y*/) {
  // A thumb that stays where it is drawn keeps its value.
  if (held_ != Part::kThumb || TrackLength() <= 0 || x - grab_ == ThumbLeft()) return;
  const long long along = static_cast<long long>(x - grab_ - ArrowWidth()) * (max - min);
  // Rounded to the nearest value, the way the thumb is drawn.
  const long long twice = along * 2 / TrackLength();
  SetValue(min + static_cast<int>(twice >= 0 ? (twice + 1) / 2 : (twice - 1) / 2));
}

void HScrollBar::MouseUp(int /*x*/, int /*y*/, bool /*inside*/) { held_ = Part::kNone; }

bool HScrollBar::KeyDown(const Key& key) {
  switch (key.code) {
    case KeyCode::kLeft:
      SetValue(value_ - smallChange);
      return true;
    case KeyCode::kRight:
      SetValue(value_ + smallChange);
      return true;
    case KeyCode::kPageUp:
      SetValue(value_ - largeChange);
      return true;
    case KeyCode::kPageDown:
      SetValue(value_ + largeChange);
      return true;
    case KeyCode::kHome:
      SetValue(min);
      return true;
    case KeyCode::kEnd:
      SetValue(max);
      return true;
    default:
      return false;
  }
}

bool HScrollBar::Act(const std::string& verb, const std::string& text) {
  if (verb != "set") return Control::Act(verb, text);
  const std::optional<int> value = WholeNumber(text);
  if (!value || *value < std::min(min, max) || *value > std::max(min, max)) return false;
  SetValue(*value);
  return true;
}

void HScrollBar::Draw(const DrawContext& dc) const {
  Surface& out = dc.out;
  // The track: a checker of the light and face colours.
  for (int py = 0; py < rect.h; ++py) {
    for (int px = 0; px < rect.w; ++px) {
      out.SetPoint(dc.x + px, dc.y + py, ((px + py) & 1) != 0 ? ui::kLight : ui::kFace);
    }
  }
  const int arrow = ArrowWidth();
  const Rgb mark = enabled ? ui::kText : ui::kShadow;
  const auto button = [&](int x, int w, bool pressed) {
    out.FillBox(dc.x + x, dc.y, dc.x + x + w, dc.y + rect.h, ui::kFace);
    paint::Edge(out, dc.x + x, dc.y, w, rect.h,
                pressed ? paint::EdgeStyle::kPressed : paint::EdgeStyle::kRaised);
  };
  button(0, arrow, dc.pressed && held_ == Part::kLeftArrow);
  DrawArrow(out, dc.x, dc.y, arrow, rect.h, false, mark);
  button(rect.w - arrow, arrow, dc.pressed && held_ == Part::kRightArrow);
  DrawArrow(out, dc.x + rect.w - arrow, dc.y, arrow, rect.h, true, mark);
  if (!enabled) return;
  button(ThumbLeft(), ThumbWidth(), false);
  if (dc.focused) paint::Focus(out, dc.x + ThumbLeft() + 3, dc.y + 3, ThumbWidth() - 6, rect.h - 6);
}

}  // namespace kovan
