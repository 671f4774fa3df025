#include "platform/form.h"

#include <algorithm>

#include "platform/control_paint.h"
#include "platform/stage.h"
#include "platform/text_box.h"

namespace kovan {

namespace {

using ui::kFace;
using ui::kLight;
using ui::kShadow;

// The lines of a caption: "\r\n" or "\n" between them.
std::vector<std::string> CaptionLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (;;) {
    const std::size_t eol = text.find('\n', start);
    std::string line = text.substr(start, eol == std::string::npos ? eol : eol - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    if (eol == std::string::npos) return lines;
    start = eol + 1;
  }
}

// Copies src into out at (x, y), black pixels left out, inside the clip.
void DrawKeyed(Surface& out, int x, int y, const Surface& src, int clipW, int clipH) {
  const int w = std::min(src.Width(), clipW), h = std::min(src.Height(), clipH);
  for (int row = 0; row < h; ++row) {
    for (int col = 0; col < w; ++col) {
      const Rgb c = src.Point(col, row);
      if (c != kBlack) out.SetPoint(x + col, y + row, c);
    }
  }
}

}  // namespace

bool Control::KeyDown(const Key& key) {
  if (key.code != KeyCode::kEnter && key.code != KeyCode::kSpace) return false;
  Click();
  return true;
}

bool Control::Act(const std::string& verb, const std::string& /*value*/) {
  if (verb != "press") return false;
  Click();
  return true;
}

PictureBox::PictureBox(std::string name, ControlRect r) : Control(std::move(name), r) {
  image.Resize(r.w, r.h);
}

void PictureBox::Draw(const DrawContext& dc) const {
  dc.out.FillBox(dc.x, dc.y, dc.x + rect.w, dc.y + rect.h, backColor);
  BitBlt(dc.out, dc.x, dc.y, std::min(rect.w, image.Width()), std::min(rect.h, image.Height()),
         image, 0, 0, RasterOp::kSrcCopy);
  if (dc.focused) paint::Focus(dc.out, dc.x + 1, dc.y + 1, rect.w - 2, rect.h - 2);
}

Label::Label(std::string name, ControlRect r, std::string text)
    : Control(std::move(name), r), caption(std::move(text)) {}

void Label::Draw(const DrawContext& dc) const {
  if (!transparent) dc.out.FillBox(dc.x, dc.y, dc.x + rect.w, dc.y + rect.h, backColor);
  if (dc.font == nullptr) return;
  const int lineHeight = dc.font->TextHeight();
  int y = dc.y;
  for (const std::string& line : CaptionLines(caption)) {
    const int width = dc.font->TextWidth(line);
    const int indent = align == Align::kCentre  ? (rect.w - width) / 2
                       : align == Align::kRight ? rect.w - width
                                                : 0;
    const int x = dc.x + std::max(0, indent);
    const Rgb colour = enabled ? foreColor : kShadow;
    dc.font->TextOut(dc.out, x, y, line, colour);
    if (underline) dc.out.FillBox(x, y + lineHeight - 1, x + width, y + lineHeight, colour);
    y += lineHeight;
  }
}

CommandButton::CommandButton(std::string name, ControlRect r, std::string text)
    : Control(std::move(name), r), caption(std::move(text)) {}

void CommandButton::Draw(const DrawContext& dc) const {
  Surface& out = dc.out;
  out.FillBox(dc.x, dc.y, dc.x + rect.w, dc.y + rect.h, backColor);
  // The default button wears a dark frame around its edge.
  const int frame = isDefault ? 1 : 0;
  if (isDefault) {
    out.FillBox(dc.x, dc.y, dc.x + rect.w, dc.y + rect.h, ui::kText);
    out.FillBox(dc.x + 1, dc.y + 1, dc.x + rect.w - 1, dc.y + rect.h - 1, backColor);
  }
  paint::Edge(out, dc.x + frame, dc.y + frame, rect.w - 2 * frame, rect.h - 2 * frame,
              dc.pressed ? paint::EdgeStyle::kPressed : paint::EdgeStyle::kRaised);
  const int shift = dc.pressed ? 1 : 0;
  const int textW = dc.font != nullptr && !caption.empty() ? dc.font->TextWidth(caption) : 0;
  const int picW = picture.Empty() ? 0 : picture.Width();
  const int gap = picW > 0 && textW > 0 ? 4 : 0;
  int x = dc.x + (rect.w - picW - gap - textW) / 2 + shift;
  if (picW > 0) {
    const int py = dc.y + (rect.h - picture.Height()) / 2 + shift;
    if (enabled) {
      DrawKeyed(out, x, py, picture, rect.w - 4, rect.h - 4);
    } else {
      // A disabled picture shows as its shape in the shadow colour.
      for (int row = 0; row < picture.Height(); ++row) {
        for (int col = 0; col < picture.Width(); ++col) {
          if (picture.Point(col, row) != kBlack) out.SetPoint(x + col, py + row, kShadow);
        }
      }
    }
    x += picW + gap;
  }
  if (textW > 0) {
    const int y = dc.y + (rect.h - dc.font->TextHeight()) / 2 + shift;
    paint::Caption(out, *dc.font, x, y, caption, foreColor, enabled);
  }
  if (dc.focused) paint::Focus(out, dc.x + 4, dc.y + 4, rect.w - 8, rect.h - 8);
}

Panel::Panel(std::string name, ControlRect r) : Control(std::move(name), r) {}

void Panel::Draw(const DrawContext& dc) const {
  dc.out.FillBox(dc.x, dc.y, dc.x + rect.w, dc.y + rect.h, backColor);
  if (raised) paint::Edge(dc.out, dc.x, dc.y, rect.w, rect.h, paint::EdgeStyle::kRaised);
}

std::vector<Control*> Panel::Children() const {
  std::vector<Control*> out;
  for (const auto& c : children_) out.push_back(c.get());
  return out;
}

Form::Form(std::string name, std::string caption, int clientW, int clientH)
    : name_(std::move(name)),
      caption_(std::move(caption)),
      clientW_(std::max(clientW, 1)),
      clientH_(std::max(clientH, 1)) {
  background.Resize(clientW_, clientH_);
  background.SetBackColor(kFace);
}

Form::~Form() {
  if (stage_ != nullptr) stage_->RemoveForm(this);
}

void Form::Centre(int w, int h) {
  left = (w - Width()) / 2;
  top = (h - Height()) / 2;
}

std::vector<Form::Hit> Form::Layout() const {
  std::vector<Hit> out;
  // Depth first: a panel, then what lies on it.
  std::function<void(Control*, int, int)> visit = [&](Control* c, int ox, int oy) {
    if (!c->visible) return;
    const Hit hit{c, ox + c->rect.x, oy + c->rect.y};
    out.push_back(hit);
    for (Control* child : c->Children()) visit(child, hit.x, hit.y);
  };
  for (const auto& c : controls_) visit(c.get(), ClientLeft(), ClientTop());
  return out;
}

Form::Hit Form::HitAt(int x, int y) const {
  const std::vector<Hit> layout = Layout();
  for (auto it = layout.rbegin(); it != layout.rend(); ++it) {
    const ControlRect r{it->x, it->y, it->control->rect.w, it->control->rect.h};
    if (r.Contains(x, y)) return *it;
  }
  return Hit{};
}

Control* Form::Find(const std::string& name) const {
  std::function<Control*(Control*)> find = [&](Control* c) -> Control* {
    if (c->Name() == name) return c;
    for (Control* child : c->Children()) {
      if (Control* hit = find(child)) return hit;
    }
    return nullptr;
  };
  for (const auto& c : controls_) {
    if (Control* hit = find(c.get())) return hit;
  }
  return nullptr;
}

void Form::MouseDown(int x, int y) {
  const Hit hit = HitAt(x, y);
  pressed_ = nullptr;
  if (hit.control == nullptr || !hit.control->enabled) return;
  pressed_ = hit.control;
  pressedX_ = hit.x;
  pressedY_ = hit.y;
  pressedInside_ = true;
  if (hit.control->Focusable()) GiveFocus(hit.control);
  hit.control->MouseDown(x - hit.x, y - hit.y);
  Refresh();
}

void Form::MouseMove(int x, int y) {
  if (pressed_ == nullptr) return;
  const ControlRect r{pressedX_, pressedY_, pressed_->rect.w, pressed_->rect.h};
  if (r.Contains(x, y) != pressedInside_) {
    pressedInside_ = !pressedInside_;
    Refresh();
  }
  pressed_->MouseMove(x - pressedX_, y - pressedY_);
  Refresh();  // a dragged thumb or selection moves with the pointer
}

void Form::MouseUp(int x, int y) {
  Control* pressed = pressed_;
  pressed_ = nullptr;
  if (pressed == nullptr) return;
  Refresh();
  const ControlRect r{pressedX_, pressedY_, pressed->rect.w, pressed->rect.h};
  // The control may have been hidden or disabled meanwhile.
  if (!pressed->enabled || !pressed->visible) return;
  pressed->MouseUp(x - pressedX_, y - pressedY_, r.Contains(x, y) && HitAt(x, y).control == pressed);
}

std::vector<Control*> Form::TabStops() const {
  std::vector<Control*> stops;
  for (const Hit& h : Layout()) {
    if (h.control->Focusable() && h.control->enabled) stops.push_back(h.control);
  }
  return stops;
}

Control* Form::Focused() const {
  for (Control* c : TabStops()) {
    if (c == focus_) return c;
  }
  return nullptr;
}

void Form::SetFocus(const Control* control) {
  GiveFocus(const_cast<Control*>(control));
  Refresh();
}

void Form::GiveFocus(Control* control) {
  if (control == focus_) return;
  focus_ = control;
  if (control != nullptr) control->GotFocus();
}

void Form::SetDefault(CommandButton* button) {
  if (default_ != nullptr) default_->isDefault = false;
  default_ = button;
  if (button != nullptr) button->isDefault = true;
  Refresh();
}

void Form::MoveFocus(int step) {
  const std::vector<Control*> stops = TabStops();
  if (stops.empty()) return;
  const auto at = std::find(stops.begin(), stops.end(), focus_);
  const int n = static_cast<int>(stops.size());
  int index = at == stops.end() ? (step > 0 ? -1 : 0) : static_cast<int>(at - stops.begin());
  index = ((index + step) % n + n) % n;
  GiveFocus(stops[static_cast<std::size_t>(index)]);
  Refresh();
}

void Form::KeyDown(const Key& key) {
  Control* focused = Focused();
  if (focused != nullptr && focused->KeyDown(key)) {
    Refresh();
    return;
  }
  switch (key.code) {
    case KeyCode::kEscape:
      if (onCancel) onCancel();
      return;
    case KeyCode::kTab:
      MoveFocus(key.shift ? -1 : 1);
      return;
    case KeyCode::kDown:
    case KeyCode::kRight:
      MoveFocus(1);
      return;
    case KeyCode::kUp:
    case KeyCode::kLeft:
      MoveFocus(-1);
      return;
    case KeyCode::kEnter:
      if (default_ != nullptr && default_->visible) default_->Click();
      return;
    default:
      return;
  }
}

bool Form::TextInput(const std::string& utf8) {
  auto* box = dynamic_cast<TextBox*>(Focused());
  if (box == nullptr) return false;
  box->Insert(utf8);
  Refresh();
  return true;
}

bool Form::TextEditing(const std::string& utf8, int cursor) {
  auto* box = dynamic_cast<TextBox*>(Focused());
  if (box == nullptr) return false;
  box->Compose(utf8, cursor);
  Refresh();
  return true;
}

std::string Form::TakeSelection(bool cut) {
  auto* box = dynamic_cast<TextBox*>(Focused());
  if (box == nullptr) return "";
  std::string text = box->SelectedText();
  if (cut && !text.empty()) {
    box->DeleteSelection();
    Refresh();
  }
  return text;
}

std::optional<TextCaret> Form::Caret() const {
  const Control* focused = Focused();
  if (dynamic_cast<const TextBox*>(focused) == nullptr) return std::nullopt;
  for (const Hit& h : Layout()) {
    if (h.control != focused) continue;
    TextCaret caret = static_cast<const TextBox*>(focused)->CaretAt();
    caret.x += h.x;
    caret.y += h.y;
    return caret;
  }
  return std::nullopt;
}

bool Form::Contains(int x, int y) const {
  return ControlRect{left, top, Width(), Height()}.Contains(x, y);
}

void Form::LoseFocus() {
  if (onLostFocus) onLostFocus();
}

bool Form::Act(const std::string& verb, const std::string& control, const std::string& value) {
  Control* c = Find(control);
  if (c == nullptr || !c->enabled) return false;
  // Only a control the player could reach: it and every panel under it shown.
  const std::vector<Hit> layout = Layout();
  const bool reachable = std::any_of(layout.begin(), layout.end(),
                                     [c](const Hit& h) { return h.control == c; });
  return reachable && c->Act(verb, value);
}

void Form::Refresh() {
  if (stage_ != nullptr) stage_->Invalidate();
}

void Form::Draw(Surface& out) const {
  paint::Edge(out, left, top, Width(), Height(), paint::EdgeStyle::kRaised);
  out.FillBox(left + 1, top + 1, left + Width() - 2, top + kBorder, kFace);
  out.FillBox(left + kBorder, top + kBorder, left + Width() - kBorder,
              top + kBorder + kCaptionHeight, ui::kCaptionBar);
  if (font_ != nullptr) {
    const int lineHeight = font_->TextHeight();
    font_->TextOut(out, left + kBorder + 4, top + kBorder + (kCaptionHeight - lineHeight) / 2,
                   caption_, kLight);
  }
  BitBlt(out, ClientLeft(), ClientTop(), clientW_, clientH_, background, 0, 0, RasterOp::kSrcCopy);
  const Control* focused = Focused();
  for (const Hit& h : Layout()) {
    const bool pressed = h.control == pressed_ && pressedInside_;
    Font* font = h.control->font != nullptr ? h.control->font : font_;
    h.control->Draw(DrawContext{out, h.x, h.y, font, h.control == focused, pressed});
  }
}

}  // namespace kovan
