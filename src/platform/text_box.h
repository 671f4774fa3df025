// A one-line text box: the text, a caret and a selection, editing keys, the
// clipboard's text, and the input method's composition drawn in place.
// Text is UTF-8 outside and counted in characters (code points) inside.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "platform/form.h"

namespace kovan {

// The box measures its text with its own font (Control::font), which the
// dialog sets to the font it is drawn with.
class TextBox : public Control {
 public:
  TextBox(std::string name, ControlRect rect);

  bool Focusable() const override { return true; }
  // Gaining the focus selects the whole text, so typing replaces it.
  void GotFocus() override { SelectAll(); }
  void Draw(const DrawContext& dc) const override;
  // The pointer puts the caret between characters; dragging selects.
  void MouseDown(int x, int y) override;
  void MouseMove(int x, int y) override;
  void MouseUp(int x, int y, bool inside) override;
  // Left and Right (with Shift to select), Home, End, Backspace, Delete,
  // Ctrl+A, Space and characters. While the input method composes, every
  // key is its. Enter, Escape, Tab, Up and Down are left to the form.
  bool KeyDown(const Key& key) override;
  // "type" sets the text.
  bool Act(const std::string& verb, const std::string& value) override;

  std::string Text() const;
  // Sets the text as a program would: its first line, control characters
  // left out, no length limit; the caret goes to the end.
  void SetText(const std::string& utf8);
  // Typed, committed or pasted text at the caret in place of the selection:
  // its first line, control characters left out, cut to what maxLength
  // leaves room for. Ends any composition.
  void Insert(const std::string& utf8);
  // The input method's composition, shown at the caret until it is
  // committed (Insert) or cleared (an empty text); cursor in characters.
  void Compose(const std::string& utf8, int cursor);
  bool Composing() const { return !composition_.empty(); }

  void SelectAll();
  std::string SelectedText() const;
  void DeleteSelection();
  // The caret as a character index; the selection runs between it and the
  // anchor.
  std::size_t Caret() const { return caret_; }
  std::size_t SelectionStart() const { return std::min(caret_, anchor_); }
  std::size_t SelectionLength() const { return caret_ > anchor_ ? caret_ - anchor_ : anchor_ - caret_; }
  // The caret (or the composition's cursor) in the box's coordinates.
  TextCaret CaretAt() const;

  // The most characters typing can bring the text to; 0 for no limit.
  std::size_t maxLength = 0;
  // Runs after every change of the text.
  std::function<void()> onChange;

 private:
  static constexpr int kInset = 3;  // edge and margin before the text

  // Width in pixels of the first n characters of the shown text (the text
  // with any composition in place).
  int WidthOf(const std::u32string& shown, std::size_t n) const;
  int TextTop() const;
  std::u32string Shown() const;
  std::size_t ShownCaret() const { return caret_ + (Composing() ? compCursor_ : 0); }
  std::size_t IndexAt(int x) const;
  void ReplaceSelection(const std::u32string& with);
  void MoveCaret(std::size_t to, bool select);
  void Changed();
  void ScrollToCaret();

  std::u32string text_;
  std::u32string composition_;
  std::size_t compCursor_ = 0;
  std::size_t caret_ = 0;
  std::size_t anchor_ = 0;
  int scroll_ = 0;  // pixels of text hidden off the left edge
  bool dragging_ = false;
};

}  // namespace kovan
