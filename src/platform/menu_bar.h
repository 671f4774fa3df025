// The menu bar strip above the picture: where its items sit, which item a
// point falls on, the pointer's highlight and press, and the strip's pixels.
// Free of any window system, so both backends and the tests share it.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/font.h"
#include "platform/platform.h"
#include "platform/surface.h"

namespace kovan {

// Width of a text in pixels.
using TextMeasure = std::function<int(const std::string&)>;

struct MenuRect {
  int x = 0, y = 0, w = 0, h = 0;
  bool Contains(int px, int py) const { return px >= x && py >= y && px < x + w && py < y + h; }
  bool operator==(const MenuRect&) const = default;
};

inline constexpr int kMenuBarHeight = 20;
inline constexpr int kMenuItemPadding = 6;

// One rectangle per item, in bar coordinates: the visible items side by
// side from the left edge, each its caption's width plus kMenuItemPadding on
// either side, the bar's full height; a hidden item gets an empty rectangle
// and takes no room.
std::vector<MenuRect> LayoutMenuBar(const std::vector<MenuItem>& items, const TextMeasure& measure);

// The index of the visible item whose rectangle holds the point, or -1.
int MenuItemAt(const std::vector<MenuItem>& items, const std::vector<MenuRect>& rects, int x,
               int y);

// The item of that name when it is enabled and visible, else null: only
// such an item answers a click.
const MenuItem* LiveMenuItem(const std::vector<MenuItem>& items, std::string_view name);

// Same items, field by field, in the same order.
bool SameMenu(const std::vector<MenuItem>& a, const std::vector<MenuItem>& b);

// The bar's state between redraws. Dirty() says the strip's look changed
// since the last ClearDirty().
class MenuBar {
 public:
  // The font draws and measures the captions; it may be null (no font
  // installed): items then keep a width and the bar works without letters.
  // Setting a different font lays the items out again.
  void SetFont(Font* font);
  // Takes the items; returns false (and changes nothing) when they are the
  // same as before.
  bool SetItems(const std::vector<MenuItem>& items);
  const std::vector<MenuItem>& Items() const { return items_; }
  const std::vector<MenuRect>& Rects() const { return rects_; }

  // The pointer is over the bar at (x, y), in bar coordinates.
  void Hover(int x, int y);
  // The pointer left the bar.
  void Leave();
  // Left button down and up on the bar. Up gives the item's name when it
  // comes over the enabled, visible item the press went to.
  void Press(int x, int y);
  std::optional<std::string> Release(int x, int y);

  // The item drawn raised (the pointer over an enabled item while no button
  // is held) and the one drawn sunken (the pointer over the item the button
  // went down on), or -1.
  int Highlighted() const;
  int Sunken() const { return pressed_ >= 0 && hot_ == pressed_ ? pressed_ : -1; }

  bool Dirty() const { return dirty_; }
  void ClearDirty() { dirty_ = false; }

  // Draws the strip, width x kMenuBarHeight; out is resized to it.
  void Draw(Surface& out, int width) const;

 private:
  void Relayout();
  // Moves the pointer; notes a change of look.
  void PointAt(int x, int y);

  Font* font_ = nullptr;
  std::vector<MenuItem> items_;
  std::vector<MenuRect> rects_;
  int hot_ = -1;      // the visible item under the pointer
  int pressed_ = -1;  // the item the button went down on
  int pointerX_ = -1, pointerY_ = -1;
  bool dirty_ = true;
};

}  // namespace kovan
