// The choosing controls of the dialogs: option buttons grouped in a frame,
// check boxes and a horizontal scroll bar. See platform/form.h for how
// controls sit in a form.
#pragma once

#include <functional>
#include <string>

#include "platform/form.h"

namespace kovan {

// A group box: an etched border with its caption at the top left, holding
// its own controls (option buttons form one group per frame).
class Frame : public Panel {
 public:
  Frame(std::string name, ControlRect rect, std::string caption);
  void Draw(const DrawContext& dc) const override;
  std::string caption;
};

// One of a group of choices: selecting it clears the other option buttons
// of the same frame or panel. `set` takes 1 (select) or 0 (clear).
class OptionButton : public Control {
 public:
  OptionButton(std::string name, ControlRect rect, std::string caption);
  bool Focusable() const override { return true; }
  void Draw(const DrawContext& dc) const override;
  // Space selects; Enter is left to the form's default button.
  bool KeyDown(const Key& key) override;
  bool Act(const std::string& verb, const std::string& value) override;
  // Selects this one and clears its siblings.
  void Select();
  std::string caption;
  bool value = false;

 protected:
  void Clicked() override { Select(); }
};

// A box that is ticked or not; a click toggles it. `set` takes 0 or 1.
class CheckBox : public Control {
 public:
  CheckBox(std::string name, ControlRect rect, std::string caption);
  bool Focusable() const override { return true; }
  void Draw(const DrawContext& dc) const override;
  // Space toggles; Enter is left to the form's default button.
  bool KeyDown(const Key& key) override;
  bool Act(const std::string& verb, const std::string& value) override;
  std::string caption;
  bool value = false;

 protected:
  void Clicked() override { value = !value; }
};

// A horizontal scroll bar from min to max: the arrows move it by
// smallChange, a click on the track beside the thumb by largeChange, the
// thumb follows the pointer. Left and Right step it, Page Up and Page Down
// page it, Home and End go to its ends. `set` takes a whole number in the
// range.
class HScrollBar : public Control {
 public:
  HScrollBar(std::string name, ControlRect rect);
  bool Focusable() const override { return true; }
  void Draw(const DrawContext& dc) const override;
  void MouseDown(int x, int y) override;
  void MouseMove(int x, int y) override;
  void MouseUp(int x, int y, bool inside) override;
  bool KeyDown(const Key& key) override;
  bool Act(const std::string& verb, const std::string& value) override;

  int Value() const { return value_; }
  // Sets the value, kept in the range; onChange runs when it changed.
  void SetValue(int value);
  // The thumb's left edge and width, in the bar's coordinates.
  int ThumbLeft() const;
  int ThumbWidth() const { return ArrowWidth(); }

  int min = 0;
  int max = 100;
  int smallChange = 1;
  int largeChange = 10;
  std::function<void()> onChange;

 private:
  int ArrowWidth() const;
  int TrackLength() const;  // the room the thumb's left edge moves in

  enum class Part { kNone, kLeftArrow, kRightArrow, kTrack, kThumb };
  int value_ = 0;
  Part held_ = Part::kNone;
  int grab_ = 0;  // where on the thumb the pointer holds it
};

}  // namespace kovan
