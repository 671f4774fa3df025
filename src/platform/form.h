// Dialog windows drawn inside the main window: a form with a caption bar
// and named controls (picture boxes, labels, command buttons, panels; and
// in platform/form_controls.h and platform/text_box.h option buttons,
// frames, check boxes, a scroll bar and a text box), with hit testing, the
// pointer, keyboard focus, typed text and drawing. Free of any window
// system: both backends show a form by composing it over the picture and
// hand it their pointer and keys while it is open.
//
// New kinds of control derive from Control and override what they need:
// Draw, the pointer (MouseDown/MouseMove/MouseUp in the control's own
// coordinates), KeyDown while focused, Focusable, and Act for the input
// script's `press`, `type` and `set`.
//
// Keys go to the focused control first; what it doesn't take, the form
// uses: Tab and the arrows move the focus, Enter presses the default
// button, Escape cancels.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/font.h"
#include "platform/platform.h"
#include "platform/surface.h"
#include "platform/ui_colours.h"

namespace kovan {

class Stage;

struct ControlRect {
  int x = 0, y = 0, w = 0, h = 0;
  bool Contains(int px, int py) const { return px >= x && py >= y && px < x + w && py < y + h; }
};

// What a control's drawing gets from its form.
struct DrawContext {
  Surface& out;
  int x = 0, y = 0;  // the control's top-left in out
  Font* font = nullptr;
  bool focused = false;
  bool pressed = false;  // the pointer holds it down and is over it
};

class Control {
 public:
  Control(std::string name, ControlRect rect) : rect(rect), name_(std::move(name)) {}
  virtual ~Control() = default;
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  // The control's name as the input script names it ("fBtn(3)").
  const std::string& Name() const { return name_; }

  ControlRect rect;  // in the coordinates of the parent (form client area or panel)
  bool visible = true;
  bool enabled = true;
  Rgb backColor = ui::kFace;
  Rgb foreColor = ui::kText;
  // Draws (and measures) with this font instead of the form's; may be null.
  Font* font = nullptr;
  // Runs when the control is clicked (pointer released over it, Enter or
  // Space while focused, a scripted press); never while it is disabled.
  std::function<void()> onClick;

  // Tab stops at controls that take the focus.
  virtual bool Focusable() const { return false; }
  // The control has just been given the focus.
  virtual void GotFocus() {}
  virtual void Draw(const DrawContext& dc) const = 0;
  // Children drawn over this control, positioned relative to it.
  virtual std::vector<Control*> Children() const { return {}; }

  // The pointer, in the control's coordinates. Up comes to the control the
  // press went to; inside says whether it is still over it.
  virtual void MouseDown(int /*x*/, int /*y*/) {}
  virtual void MouseMove(int /*x*/, int /*y*/) {}
  virtual void MouseUp(int /*x*/, int /*y*/, bool inside) {
    if (inside) Click();
  }
  // A key while the control has the focus; true when it took the key.
  virtual bool KeyDown(const Key& key);
  // A scripted action: "press" clicks; other verbs belong to the kinds that
  // take them. False when the control does not take the verb.
  virtual bool Act(const std::string& verb, const std::string& value);

  void Click() {
    if (!enabled) return;
    Clicked();
    if (onClick) onClick();
  }

  // The panel or frame the control lies on; null on the form itself.
  Control* Parent() const { return parent_; }

 protected:
  // The kind's own answer to a click (a check box toggles), before onClick.
  virtual void Clicked() {}

 private:
  friend class Panel;
  std::string name_;
  Control* parent_ = nullptr;
};

// A picture with a persistent image the game draws into; the control shows
// image at its top-left over its background colour.
class PictureBox : public Control {
 public:
  PictureBox(std::string name, ControlRect rect);
  bool Focusable() const override { return tabStop; }
  void Draw(const DrawContext& dc) const override;
  Surface image;
  bool tabStop = false;
};

// A caption of one or more lines ("\r\n" or "\n" between them).
class Label : public Control {
 public:
  enum class Align { kLeft, kCentre, kRight };
  Label(std::string name, ControlRect rect, std::string caption = "");
  void Draw(const DrawContext& dc) const override;
  std::string caption;
  Align align = Align::kLeft;
  bool transparent = false;  // the parent shows through instead of backColor
  bool underline = false;    // each line underlined (a link)
};

// A push button with a caption and/or a 16 x 16 picture.
class CommandButton : public Control {
 public:
  CommandButton(std::string name, ControlRect rect, std::string caption = "");
  bool Focusable() const override { return true; }
  void Draw(const DrawContext& dc) const override;
  std::string caption;
  Surface picture;  // empty = none; black pixels are transparent
  bool isDefault = false;  // Enter presses it (drawn with a dark frame); see Form::SetDefault
};

// A flat area holding its own controls (a group, a pop-up panel).
class Panel : public Control {
 public:
  Panel(std::string name, ControlRect rect);
  void Draw(const DrawContext& dc) const override;
  std::vector<Control*> Children() const override;
  // Adds a control positioned relative to the panel; gives it back.
  template <typename T>
  T& Add(std::unique_ptr<T> control) {
    T& ref = *control;
    ref.parent_ = this;
    children_.push_back(std::move(control));
    return ref;
  }
  bool raised = true;  // a 3-D edge, or none

 private:
  std::vector<std::unique_ptr<Control>> children_;
};

class Form {
 public:
  static constexpr int kBorder = 3;
  static constexpr int kCaptionHeight = 18;

  // A form whose client area is clientW x clientH under its caption bar.
  Form(std::string name, std::string caption, int clientW, int clientH);
  ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  const std::string& Name() const { return name_; }
  int Width() const { return clientW_ + 2 * kBorder; }
  int Height() const { return clientH_ + 2 * kBorder + kCaptionHeight; }
  int ClientWidth() const { return clientW_; }
  int ClientHeight() const { return clientH_; }
  // The client area's top-left on the picture.
  int ClientLeft() const { return left + kBorder; }
  int ClientTop() const { return top + kBorder + kCaptionHeight; }
  // Places the form in the middle of a w x h picture.
  void Centre(int w, int h);
  void SetFont(Font* font) { font_ = font; }

  // Adds a control to the client area; gives it back.
  template <typename T>
  T& Add(std::unique_ptr<T> control) {
    T& ref = *control;
    controls_.push_back(std::move(control));
    return ref;
  }
  // The control of that name anywhere in the form, or null.
  Control* Find(const std::string& name) const;

  // The client area's own picture, drawn under the controls.
  Surface background;
  // Escape runs this (typically the form's close button).
  std::function<void()> onCancel;
  // A modal form disables the main window while it is open; a modeless one
  // leaves it usable and runs onLostFocus when the player turns to it.
  bool modal = true;
  std::function<void()> onLostFocus;
  // The button Enter presses when the focused control doesn't take Enter
  // itself; null for none.
  void SetDefault(CommandButton* button);

  // The pointer and keys, in picture coordinates. A press outside the form
  // does nothing (the main window is disabled while a form is open).
  void MouseDown(int x, int y);
  void MouseMove(int x, int y);
  void MouseUp(int x, int y);
  // Keys go to the focused control first. Then Tab, Down and Right move
  // the focus on, Up and Left back; Enter presses the default button;
  // Escape cancels.
  void KeyDown(const Key& key);
  // Text for the focused text box: typed or committed (TextInput), the
  // input method's composition with its cursor in characters (an empty
  // text ends it). False when the focused control takes no text.
  bool TextInput(const std::string& utf8);
  bool TextEditing(const std::string& utf8, int cursor);
  // The focused text box's selected text, removed from the box when cut;
  // "" when nothing is selected.
  std::string TakeSelection(bool cut);
  // The focused text box's caret in picture coordinates, when a text box
  // has the focus.
  std::optional<TextCaret> Caret() const;
  // Whether a point of the picture lies on the form.
  bool Contains(int x, int y) const;
  // Whether the pointer holds a control down.
  bool Pressing() const { return pressed_ != nullptr; }
  // The player turned elsewhere: runs onLostFocus (a modeless form).
  void LoseFocus();
  // A scripted action on a named control; false when there is no such
  // control, or it is hidden or disabled, or it does not take the verb.
  bool Act(const std::string& verb, const std::string& control, const std::string& value);
  // The control with the focus, or null.
  Control* Focused() const;
  void SetFocus(const Control* control);

  // Marks the picture as changed; the next present shows the form anew.
  void Refresh();
  // Draws the form at (left, top) into the picture.
  void Draw(Surface& out) const;

  int left = 0;
  int top = 0;

 private:
  friend class Stage;
  struct Hit {
    Control* control = nullptr;
    int x = 0, y = 0;  // the control's top-left in picture coordinates
  };
  // Shown, enabled-or-not controls in drawing order with their places.
  std::vector<Hit> Layout() const;
  Hit HitAt(int x, int y) const;
  std::vector<Control*> TabStops() const;
  void MoveFocus(int step);
  void GiveFocus(Control* control);

  std::string name_;
  std::string caption_;
  int clientW_;
  int clientH_;
  Font* font_ = nullptr;
  CommandButton* default_ = nullptr;
  std::vector<std::unique_ptr<Control>> controls_;
  Stage* stage_ = nullptr;  // set while the form is open
  Control* pressed_ = nullptr;
  int pressedX_ = 0, pressedY_ = 0;
  bool pressedInside_ = false;
  const Control* focus_ = nullptr;
};

}  // namespace kovan
