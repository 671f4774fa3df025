#include "platform/menu_bar.h"

#include <algorithm>

#include "platform/ui_colours.h"

namespace kovan {

namespace {

using ui::kFace;
using ui::kLight;
using ui::kShadow;
using ui::kText;

// No caption is measured wider, and no item starts further right: bad input
// can't overflow the arithmetic.
constexpr int kMaxCaptionWidth = 1 << 16;
constexpr int kMaxLeft = 1 << 24;
// Without a font: half-width (ASCII) and full-width character widths of the
// 12-pixel Gothic.
constexpr int kHalfWidth = 6;
constexpr int kFullWidth = 12;

int FallbackWidth(const std::string& utf8) {
  int w = 0;
  for (unsigned char c : utf8) {
    if (c < 0x80) {
      w += kHalfWidth;
    } else if (c >= 0xC0) {
      w += kFullWidth;  // a lead byte starts one character
    }
    if (w >= kMaxCaptionWidth) return kMaxCaptionWidth;
  }
  return w;
}

// A one-pixel edge around r: raised (light above and left) or sunken.
void DrawEdge(Surface& s, const MenuRect& r, bool sunken) {
  const Rgb lit = sunken ? kShadow : kLight;
  const Rgb dark = sunken ? kLight : kShadow;
  const int x2 = r.x + r.w, y2 = r.y + r.h;
  s.FillBox(r.x, r.y, x2, r.y + 1, lit);
  s.FillBox(r.x, r.y, r.x + 1, y2, lit);
  s.FillBox(r.x, y2 - 1, x2, y2, dark);
  s.FillBox(x2 - 1, r.y, x2, y2, dark);
}

}  // namespace

std::vector<MenuRect> LayoutMenuBar(const std::vector<MenuItem>& items,
                                    const TextMeasure& measure) {
  std::vector<MenuRect> rects;
  rects.reserve(items.size());
  int x = 0;
  for (const MenuItem& item : items) {
    if (!item.visible) {
      rects.push_back(MenuRect{x, 0, 0, 0});
      continue;
    }
    const int text = std::clamp(measure(item.caption), 0, kMaxCaptionWidth);
    const int w = text + 2 * kMenuItemPadding;
    rects.push_back(MenuRect{x, 0, w, kMenuBarHeight});
    x = std::min(x + w, kMaxLeft);
  }
  return rects;
}

int MenuItemAt(const std::vector<MenuItem>& items, const std::vector<MenuRect>& rects, int x,
               int y) {
  const std::size_t n = std::min(items.size(), rects.size());
  for (std::size_t i = 0; i < n; ++i) {
    if (items[i].visible && rects[i].Contains(x, y)) return static_cast<int>(i);
  }
  return -1;
}

const MenuItem* LiveMenuItem(const std::vector<MenuItem>& items, std::string_view name) {
  for (const MenuItem& item : items) {
    if (item.name == name) return item.enabled && item.visible ? &item : nullptr;
  }
  return nullptr;
}

bool SameMenu(const std::vector<MenuItem>& a, const std::vector<MenuItem>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](const MenuItem& x, const MenuItem& y) {
                      return x.name == y.name && x.caption == y.caption && x.enabled == y.enabled &&
                             x.visible == y.visible;
                    });
}

void MenuBar::SetFont(Font* font) {
  if (font == font_) return;
  font_ = font;
  Relayout();
  dirty_ = true;
}

bool MenuBar::SetItems(const std::vector<MenuItem>& items) {
  if (SameMenu(items, items_)) return false;
  // A press survives a change that leaves its item in place.
  if (pressed_ >= 0 && (static_cast<std::size_t>(pressed_) >= items.size() ||
                        items[pressed_].name != items_[pressed_].name)) {
    pressed_ = -1;
  }
  items_ = items;
  Relayout();
  dirty_ = true;
  return true;
}

void MenuBar::Relayout() {
  if (font_ != nullptr) {
    rects_ = LayoutMenuBar(items_, [this](const std::string& s) { return font_->TextWidth(s); });
  } else {
    rects_ = LayoutMenuBar(items_, FallbackWidth);
  }
  hot_ = MenuItemAt(items_, rects_, pointerX_, pointerY_);
}

int MenuBar::Highlighted() const {
  if (pressed_ >= 0 || hot_ < 0) return -1;
  return items_[hot_].enabled ? hot_ : -1;
}

void MenuBar::PointAt(int x, int y) {
  pointerX_ = x;
  pointerY_ = y;
  const int hot = MenuItemAt(items_, rects_, x, y);
  if (hot == hot_) return;
  const int raised = Highlighted(), sunken = Sunken();
  hot_ = hot;
  if (raised != Highlighted() || sunken != Sunken()) dirty_ = true;
}

void MenuBar::Hover(int x, int y) { PointAt(x, y); }

void MenuBar::Leave() { PointAt(-1, -1); }

void MenuBar::Press(int x, int y) {
  PointAt(x, y);
  const int pressed = hot_ >= 0 && items_[hot_].enabled ? hot_ : -1;
  if (pressed == pressed_) return;
  pressed_ = pressed;
  dirty_ = true;
}

std::optional<std::string> MenuBar::Release(int x, int y) {
  PointAt(x, y);
  const int pressed = pressed_;
  if (pressed < 0) return std::nullopt;
  pressed_ = -1;
  dirty_ = true;
  const MenuItem& item = items_[pressed];
  if (hot_ != pressed || !item.enabled || !item.visible) return std::nullopt;
  return item.name;
}

void MenuBar::Draw(Surface& out, int width) const {
  if (out.Width() != width || out.Height() != kMenuBarHeight) out.Resize(width, kMenuBarHeight);
  out.FillBox(0, 0, out.Width(), out.Height(), kFace);
  const int textTop = font_ != nullptr ? (kMenuBarHeight - font_->TextHeight()) / 2 : 0;
  for (std::size_t i = 0; i < items_.size() && i < rects_.size(); ++i) {
    const MenuItem& item = items_[i];
    const MenuRect& r = rects_[i];
    if (!item.visible) continue;
    if (r.x >= out.Width()) break;
    const bool sunken = static_cast<int>(i) == Sunken();
    if (sunken || static_cast<int>(i) == Highlighted()) {
      DrawEdge(out, MenuRect{r.x, r.y + 1, r.w, r.h - 2}, sunken);
    }
    if (font_ == nullptr) continue;
    const int shift = sunken ? 1 : 0;
    const int x = r.x + kMenuItemPadding + shift, y = textTop + shift;
    if (item.enabled) {
      font_->TextOut(out, x, y, item.caption, kText);
    } else {
      // Greyed: etched into the face.
      font_->TextOut(out, x + 1, y + 1, item.caption, kLight);
      font_->TextOut(out, x, y, item.caption, kShadow);
    }
  }
}

}  // namespace kovan
