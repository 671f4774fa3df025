// The surfaces the window shows, composed in stacking order.
#pragma once

#include <string>
#include <vector>

#include "platform/surface.h"

namespace kovan {

class Form;

class Stage {
 public:
  Stage() = default;
  ~Stage();
  Stage(const Stage&) = delete;
  Stage& operator=(const Stage&) = delete;

  static constexpr int kWidth = 640;
  static constexpr int kHeight = 480;

  // Registers a surface the window may show (when its shown flag is set).
  // The surface must outlive its registration.
  void Add(Surface* s);
  void Remove(const Surface* s);
  // Marks the picture as changed so the next present redraws it.
  void Invalidate() { dirty_ = true; }
  bool Dirty() const { return dirty_; }
  void ClearDirty() { dirty_ = false; }

  // Draws every shown surface at its position, lower zOrder first (equal
  // orders in registration order), over black, into a 640 x 480 picture;
  // then the forms.
  void Compose(Surface& out) const;
  // The surfaces' part of the picture's rows top .. top + band's height - 1
  // (no forms) into band, kWidth wide.
  void ComposeBand(Surface& band, int top) const;
  // Dialog forms, drawn over every surface, the last added on top. A form
  // must stay alive while added; destroying it removes it.
  void AddForm(Form* form);
  void RemoveForm(const Form* form);
  // The topmost form, or null.
  Form* TopForm() const { return forms_.empty() ? nullptr : forms_.back(); }
  // The open form of that name, or null.
  Form* FindForm(const std::string& name) const;
  // The open forms, bottom to top.
  const std::vector<Form*>& Forms() const { return forms_; }

  // The topmost shown surface under a client point, or null.
  // (Contained surfaces count where they lie inside their container.)
  Surface* HitTest(int x, int y) const;

 private:
  std::vector<Surface*> surfaces_;
  std::vector<Form*> forms_;
  bool dirty_ = true;
};

}  // namespace kovan
