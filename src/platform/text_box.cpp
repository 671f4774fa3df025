#include "platform/text_box.h"

#include <algorithm>

#include "platform/control_paint.h"
#include "platform/text_codec.h"

namespace kovan {

namespace {

constexpr Rgb kSelection = 0x000080;

// The first line of a text as characters, control characters left out: a
// name or a title never holds a line break or a tab.
std::u32string SingleLine(std::string_view utf8) {
  std::u32string out;
  for (std::size_t i = 0; i < utf8.size();) {
    const char32_t cp = Utf8Next(utf8, i);
    if (cp == U'\r' || cp == U'\n') break;
    if (cp < 0x20 || cp == 0x7F) continue;
    out += cp;
  }
  return out;
}

std::string ToUtf8(std::u32string_view text) {
  std::string out;
  for (const char32_t cp : text) AppendUtf8(out, cp);
  return out;
}

}  // namespace

TextBox::TextBox(std::string name, ControlRect r) : Control(std::move(name), r) {
  backColor = kWhite;
}

std::string TextBox::Text() const { return ToUtf8(text_); }

void TextBox::SetText(const std::string& utf8) {
  text_ = SingleLine(utf8);
  composition_.clear();
  caret_ = anchor_ = text_.size();
  Changed();
}

void TextBox::Insert(const std::string& utf8) {
  std::u32string add = SingleLine(utf8);
  composition_.clear();
  compCursor_ = 0;
  if (maxLength > 0) {
    const std::size_t kept = text_.size() - SelectionLength();
    add.resize(std::min(add.size(), maxLength > kept ? maxLength - kept : 0));
  }
  if (add.empty()) {
    ScrollToCaret();
    return;
  }
  ReplaceSelection(add);
}

void TextBox::Compose(const std::string& utf8, int cursor) {
  const std::u32string next = SingleLine(utf8);
  // A composition that starts replaces the selection, as typing would.
  if (composition_.empty() && !next.empty() && SelectionLength() > 0) DeleteSelection();
  composition_ = next;
  compCursor_ = std::clamp<std::size_t>(static_cast<std::size_t>(std::max(cursor, 0)), 0,
                                        composition_.size());
  ScrollToCaret();
}

void TextBox::SelectAll() {
  anchor_ = 0;
  caret_ = text_.size();
  ScrollToCaret();
}

std::string TextBox::SelectedText() const {
  return ToUtf8(std::u32string_view(text_).substr(SelectionStart(), SelectionLength()));
}

void TextBox::DeleteSelection() { ReplaceSelection(U""); }

void TextBox::ReplaceSelection(const std::u32string& with) {
  const std::size_t start = SelectionStart();
  const std::size_t length = SelectionLength();
  if (length == 0 && with.empty()) return;
  text_.replace(start, length, with);
  caret_ = anchor_ = start + with.size();
  Changed();
}

void TextBox::MoveCaret(std::size_t to, bool select) {
  caret_ = std::min(to, text_.size());
  if (!select) anchor_ = caret_;
  ScrollToCaret();
}

void TextBox::Changed() {
  ScrollToCaret();
  if (onChange) onChange();
}

bool TextBox::KeyDown(const Key& key) {
  if (Composing()) return true;
  const bool select = key.shift;
  const bool collapse = !select && SelectionLength() > 0;
  switch (key.code) {
    case KeyCode::kLeft:
      MoveCaret(collapse ? SelectionStart() : caret_ > 0 ? caret_ - 1 : 0, select);
      return true;
    case KeyCode::kRight:
      MoveCaret(collapse ? SelectionStart() + SelectionLength() : caret_ + 1, select);
      return true;
    case KeyCode::kHome:
      MoveCaret(0, select);
      return true;
    case KeyCode::kEnd:
      MoveCaret(text_.size(), select);
      return true;
    case KeyCode::kBackspace:
      if (SelectionLength() == 0 && caret_ > 0) anchor_ = caret_ - 1;
      DeleteSelection();
      return true;
    case KeyCode::kDelete:
      if (SelectionLength() == 0 && caret_ < text_.size()) anchor_ = caret_ + 1;
      DeleteSelection();
      return true;
    case KeyCode::kSpace:
      Insert(" ");
      return true;
    case KeyCode::kChar:
      if (key.ctrl) {
        if (key.ch != U'a') return false;
        SelectAll();
        return true;
      }
      Insert(ToUtf8(std::u32string(1, key.ch)));
      return true;
    default:
      return false;
  }
}

bool TextBox::Act(const std::string& verb, const std::string& value) {
  if (verb != "type") return Control::Act(verb, value);
  SetText(value);
  return true;
}

std::u32string TextBox::Shown() const {
  if (!Composing()) return text_;
  std::u32string shown = text_;
  shown.insert(caret_, composition_);
  return shown;
}

int TextBox::WidthOf(const std::u32string& shown, std::size_t n) const {
  n = std::min(n, shown.size());
  if (font == nullptr) return static_cast<int>(n) * std::max(1, rect.h / 2);
  return font->TextWidth(ToUtf8(std::u32string_view(shown).substr(0, n)));
}

int TextBox::TextTop() const {
  const int height = font != nullptr ? font->TextHeight() : rect.h - 2 * kInset;
  return (rect.h - height) / 2;
}

std::size_t TextBox::IndexAt(int x) const {
  const std::u32string shown = text_;
  const int at = x - kInset + scroll_;
  for (std::size_t n = 0; n < shown.size(); ++n) {
    // Past the middle of a character the caret goes behind it.
    if (at < (WidthOf(shown, n) + WidthOf(shown, n + 1)) / 2) return n;
  }
  return shown.size();
}

void TextBox::ScrollToCaret() {
  const int view = std::max(1, rect.w - 2 * kInset);
  const std::u32string shown = Shown();
  const int caretX = WidthOf(shown, ShownCaret());
  const int whole = WidthOf(shown, shown.size());
  if (caretX - scroll_ > view - 1) scroll_ = caretX - view + 1;
  if (caretX < scroll_) scroll_ = caretX;
  // No empty room at the right while text is hidden at the left.
  scroll_ = std::max(0, std::min(scroll_, whole - view + 1));
}

TextCaret TextBox::CaretAt() const {
  const int height = font != nullptr ? font->TextHeight() : rect.h - 2 * kInset;
  return TextCaret{kInset - scroll_ + WidthOf(Shown(), ShownCaret()), TextTop(), height};
}

void TextBox::MouseDown(int x, int /*y*/) {
  if (Composing()) return;
  MoveCaret(IndexAt(x), false);
  dragging_ = true;
}

void TextBox::MouseMove(int x, int /*y*/) {
  if (dragging_) MoveCaret(IndexAt(x), true);
}

void TextBox::MouseUp(int /*x*/, int /*y*/, bool /*inside*/) { dragging_ = false; }

void TextBox::Draw(const DrawContext& dc) const {
  const Rgb back = enabled ? backColor : ui::kFace;
  dc.out.FillBox(dc.x, dc.y, dc.x + rect.w, dc.y + rect.h, back);
  paint::Edge(dc.out, dc.x, dc.y, rect.w, rect.h, paint::EdgeStyle::kWell);
  if (dc.font == nullptr || rect.w <= 4 || rect.h <= 4) return;
  // The text is drawn inside the edge only: a long text is cut there.
  Surface inner(rect.w - 4, rect.h - 4, back);
  const std::u32string shown = Shown();
  const int x0 = kInset - 2 - scroll_;
  const int top = TextTop() - 2;
  const int height = dc.font->TextHeight();
  dc.font->TextOut(inner, x0, top, ToUtf8(shown), enabled ? foreColor : ui::kShadow);
  if (dc.focused && !Composing() && SelectionLength() > 0) {
    const int from = x0 + WidthOf(shown, SelectionStart());
    const int to = x0 + WidthOf(shown, SelectionStart() + SelectionLength());
    inner.FillBox(from, top, to, top + height, kSelection);
    dc.font->TextOut(inner, from, top, SelectedText(), kWhite);
  }
  if (Composing()) {
    // The composition is underlined where it will go in.
    const int from = x0 + WidthOf(shown, caret_);
    const int to = x0 + WidthOf(shown, caret_ + composition_.size());
    const int y = std::min(top + height, inner.Height() - 1);  // just under the letters
    inner.FillBox(from, y, to, y + 1, foreColor);
  }
  if (dc.focused) {
    const int x = x0 + WidthOf(shown, ShownCaret());
    inner.FillBox(x, top, x + 1, top + height, foreColor);
  }
  BitBlt(dc.out, dc.x + 2, dc.y + 2, inner.Width(), inner.Height(), inner, 0, 0,
         RasterOp::kSrcCopy);
}

}  // namespace kovan
