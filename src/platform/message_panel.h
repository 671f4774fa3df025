// The message box as the window shows it: caption bar, the text, and the
// OK or はい/いいえ buttons, laid out and drawn into a surface. Input is fed
// in panel coordinates; the panel says when it has an answer.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/font.h"
#include "platform/platform.h"
#include "platform/surface.h"

namespace kovan {

class MessagePanel {
 public:
  static constexpr int kCaptionHeight = 18;
  static constexpr int kButtonWidth = 75;
  static constexpr int kButtonHeight = 23;
  static constexpr int kMaxTextWidth = 560;

  struct Rect {
    int x = 0, y = 0, w = 0, h = 0;
    bool Contains(int px, int py) const { return px >= x && py >= y && px < x + w && py < y + h; }
  };

  // font may be null (no font installed): the box still works, without
  // letters. Without a caption bar the box's own window carries the title.
  MessagePanel(Font* font, std::string caption, const std::string& utf8Text, MsgBoxButtons buttons,
               bool withCaptionBar);

  int Width() const { return width_; }
  int Height() const { return height_; }
  // The text as laid out: '\n' breaks, long lines wrapped.
  const std::vector<std::string>& Lines() const { return lines_; }
  const std::vector<Rect>& ButtonRects() const { return buttonRects_; }

  // Mouse, in panel coordinates. A button answers when released over the
  // button it was pressed on.
  void MouseDown(int x, int y);
  std::optional<MsgBoxAnswer> MouseUp(int x, int y);
  // Keyboard: Enter and Space press the focused button, Escape answers OK or
  // No, Y and N answer a Yes/No box, Tab and the arrows move the focus.
  enum class PanelKey { kEnter, kSpace, kEscape, kTab, kLeft, kRight, kYes, kNo };
  std::optional<MsgBoxAnswer> KeyDown(PanelKey key);
  // The answer when the box is closed some other way.
  MsgBoxAnswer DefaultAnswer() const;

  // Draws the whole panel; out is resized to it.
  void Draw(Surface& out) const;

 private:
  int ButtonAt(int x, int y) const;
  MsgBoxAnswer AnswerOf(int button) const;
  void Layout();

  Font* font_;
  std::string caption_;
  MsgBoxButtons buttons_;
  bool withCaptionBar_;
  std::vector<std::string> lines_;
  std::vector<std::string> labels_;
  std::vector<Rect> buttonRects_;
  int width_ = 0;
  int height_ = 0;
  int lineHeight_ = 0;
  int textTop_ = 0;
  int focus_ = 0;
  int pressed_ = -1;
};

// Splits text into lines at '\n' (a "\r\n" counts as one break) and wraps
// each line between characters so that no line is wider than maxWidth by
// the measure (a single character wider than that gets a line of its own).
std::vector<std::string> WrapText(const std::string& utf8, int maxWidth,
                                  const std::function<int(const std::string&)>& width);

}  // namespace kovan
