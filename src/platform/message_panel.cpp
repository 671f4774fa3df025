#include "platform/message_panel.h"

#include <algorithm>

#include "platform/ui_colours.h"

namespace kovan {

namespace {

using ui::kFace;
using ui::kLight;
using ui::kShadow;
using ui::kText;
using ui::kDarkShadow;
using ui::kCaptionBar;

constexpr int kMargin = 12;
constexpr int kButtonGap = 6;
constexpr int kMinInnerWidth = 120;
constexpr int kFallbackLineHeight = 12;

// Bytes in the UTF-8 character starting with lead; 1 for a stray byte.
std::size_t CharLength(unsigned char lead) {
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  if (lead >= 0xE0) return lead <= 0xEF ? 3 : 1;
  if (lead >= 0xC2) return 2;
  return 1;
}

void WrapLine(const std::string& line, int maxWidth,
              const std::function<int(const std::string&)>& width, std::vector<std::string>& out) {
  if (width(line) <= maxWidth) {
    out.push_back(line);
    return;
  }
  std::string current;
  for (std::size_t i = 0; i < line.size();) {
    const std::size_t n =
        std::min(CharLength(static_cast<unsigned char>(line[i])), line.size() - i);
    const std::string next = current + line.substr(i, n);
    if (!current.empty() && width(next) > maxWidth) {
      out.push_back(current);
      current = line.substr(i, n);
    } else {
      current = next;
    }
    i += n;
  }
  out.push_back(current);
}

// A raised (or, pressed, sunken) 3-D edge around r.
void DrawEdge(Surface& s, const MessagePanel::Rect& r, bool sunken) {
  const Rgb outerLit = sunken ? kDarkShadow : kLight;
  const Rgb outerDark = sunken ? kLight : kDarkShadow;
  const Rgb innerDark = sunken ? kFace : kShadow;
  const int x2 = r.x + r.w, y2 = r.y + r.h;
  s.FillBox(r.x, r.y, x2, r.y + 1, outerLit);
  s.FillBox(r.x, r.y, r.x + 1, y2, outerLit);
  s.FillBox(r.x, y2 - 1, x2, y2, outerDark);
  s.FillBox(x2 - 1, r.y, x2, y2, outerDark);
  s.FillBox(r.x + 1, y2 - 2, x2 - 1, y2 - 1, innerDark);
  s.FillBox(x2 - 2, r.y + 1, x2 - 1, y2 - 1, innerDark);
}

// The dotted focus rectangle.
void DrawFocus(Surface& s, const MessagePanel::Rect& r) {
  for (int x = r.x; x < r.x + r.w; x += 2) {
    s.SetPoint(x, r.y, kText);
    s.SetPoint(x, r.y + r.h - 1, kText);
  }
  for (int y = r.y; y < r.y + r.h; y += 2) {
    s.SetPoint(r.x, y, kText);
    s.SetPoint(r.x + r.w - 1, y, kText);
  }
}

}  // namespace

std::vector<std::string> WrapText(const std::string& utf8, int maxWidth,
                                  const std::function<int(const std::string&)>& width) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (;;) {
    const std::size_t eol = utf8.find('\n', start);
    std::string line =
        utf8.substr(start, eol == std::string::npos ? std::string::npos : eol - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    WrapLine(line, maxWidth, width, lines);
    if (eol == std::string::npos) break;
    start = eol + 1;
  }
  return lines;
}

MessagePanel::MessagePanel(Font* font, std::string caption, const std::string& utf8Text,
                           MsgBoxButtons buttons, bool withCaptionBar)
    : font_(font),
      caption_(std::move(caption)),
      buttons_(buttons),
      withCaptionBar_(withCaptionBar) {
  if (buttons_ == MsgBoxButtons::kOk) {
    labels_ = {"OK"};
  } else {
    labels_ = {"はい", "いいえ"};
  }
  const auto measure = [this](const std::string& s) {
    return font_ != nullptr ? font_->TextWidth(s) : static_cast<int>(s.size()) * 6;
  };
  lines_ = WrapText(utf8Text, kMaxTextWidth, measure);
  Layout();
}

void MessagePanel::Layout() {
  const int border = withCaptionBar_ ? 3 : 0;
  const int captionHeight = withCaptionBar_ ? kCaptionHeight : 0;
  lineHeight_ = font_ != nullptr ? font_->TextHeight() : kFallbackLineHeight;
  int textWidth = 0;
  for (const std::string& line : lines_) {
    textWidth = std::max(textWidth, font_ != nullptr ? font_->TextWidth(line) : 0);
  }
  const int count = static_cast<int>(labels_.size());
  const int buttonsWidth = count * kButtonWidth + (count - 1) * kButtonGap;
  int inner = std::max({textWidth, buttonsWidth, kMinInnerWidth});
  if (withCaptionBar_ && font_ != nullptr) inner = std::max(inner, font_->TextWidth(caption_) + 16);
  width_ = inner + 2 * kMargin + 2 * border;
  textTop_ = border + captionHeight + kMargin;
  const int buttonTop = textTop_ + static_cast<int>(lines_.size()) * lineHeight_ + kMargin + 4;
  height_ = buttonTop + kButtonHeight + kMargin + border;
  buttonRects_.clear();
  const int left = (width_ - buttonsWidth) / 2;
  for (int i = 0; i < count; ++i) {
    buttonRects_.push_back(
        Rect{left + i * (kButtonWidth + kButtonGap), buttonTop, kButtonWidth, kButtonHeight});
  }
}

int MessagePanel::ButtonAt(int x, int y) const {
  for (std::size_t i = 0; i < buttonRects_.size(); ++i) {
    if (buttonRects_[i].Contains(x, y)) return static_cast<int>(i);
  }
  return -1;
}

MsgBoxAnswer MessagePanel::AnswerOf(int button) const {
  if (buttons_ == MsgBoxButtons::kOk) return MsgBoxAnswer::kOk;
  return button == 0 ? MsgBoxAnswer::kYes : MsgBoxAnswer::kNo;
}

MsgBoxAnswer MessagePanel::DefaultAnswer() const {
  return buttons_ == MsgBoxButtons::kOk ? MsgBoxAnswer::kOk : MsgBoxAnswer::kNo;
}

void MessagePanel::MouseDown(int x, int y) {
  pressed_ = ButtonAt(x, y);
  if (pressed_ >= 0) focus_ = pressed_;
}

std::optional<MsgBoxAnswer> MessagePanel::MouseUp(int x, int y) {
  const int pressed = pressed_;
  pressed_ = -1;
  if (pressed >= 0 && ButtonAt(x, y) == pressed) return AnswerOf(pressed);
  return std::nullopt;
}

std::optional<MsgBoxAnswer> MessagePanel::KeyDown(PanelKey key) {
  const int count = static_cast<int>(labels_.size());
  switch (key) {
    case PanelKey::kEnter:
    case PanelKey::kSpace:
      return AnswerOf(focus_);
    case PanelKey::kEscape:
      return DefaultAnswer();
    case PanelKey::kYes:
    case PanelKey::kNo:
      if (buttons_ == MsgBoxButtons::kOk) return std::nullopt;
      return key == PanelKey::kYes ? MsgBoxAnswer::kYes : MsgBoxAnswer::kNo;
    case PanelKey::kTab:
    case PanelKey::kRight:
      focus_ = (focus_ + 1) % count;
      return std::nullopt;
    case PanelKey::kLeft:
      focus_ = (focus_ + count - 1) % count;
      return std::nullopt;
  }
  return std::nullopt;
}

void MessagePanel::Draw(Surface& out) const {
  out.Resize(width_, height_);
  out.FillBox(0, 0, width_, height_, kFace);
  if (withCaptionBar_) {
    DrawEdge(out, Rect{0, 0, width_, height_}, false);
    out.FillBox(3, 3, width_ - 3, 3 + kCaptionHeight, kCaptionBar);
    if (font_ != nullptr) {
      font_->TextOut(out, 3 + 4, 3 + (kCaptionHeight - lineHeight_) / 2, caption_, kLight);
    }
  }
  const int textLeft = (withCaptionBar_ ? 3 : 0) + kMargin;
  for (std::size_t i = 0; i < lines_.size() && font_ != nullptr; ++i) {
    font_->TextOut(out, textLeft, textTop_ + static_cast<int>(i) * lineHeight_, lines_[i], kText);
  }
  for (std::size_t i = 0; i < buttonRects_.size(); ++i) {
    const Rect& r = buttonRects_[i];
    const bool pressed = static_cast<int>(i) == pressed_;
    DrawEdge(out, r, pressed);
    if (font_ != nullptr) {
      const int shift = pressed ? 1 : 0;
      font_->TextOut(out, r.x + (r.w - font_->TextWidth(labels_[i])) / 2 + shift,
                     r.y + (r.h - lineHeight_) / 2 + shift, labels_[i], kText);
    }
    if (static_cast<int>(i) == focus_) DrawFocus(out, Rect{r.x + 4, r.y + 4, r.w - 8, r.h - 8});
  }
}

}  // namespace kovan
