#include "platform/stage.h"

#include <algorithm>

#include "platform/form.h"

namespace kovan {

void Stage::Add(Surface* s) {
  if (s == nullptr || std::find(surfaces_.begin(), surfaces_.end(), s) != surfaces_.end()) {
    return;
  }
  surfaces_.push_back(s);
  dirty_ = true;
}

Stage::~Stage() {
  for (Form* form : forms_) form->stage_ = nullptr;
}

void Stage::AddForm(Form* form) {
  if (form == nullptr || std::find(forms_.begin(), forms_.end(), form) != forms_.end()) return;
  forms_.push_back(form);
  form->stage_ = this;
  dirty_ = true;
}

void Stage::RemoveForm(const Form* form) {
  auto it = std::find(forms_.begin(), forms_.end(), form);
  if (it == forms_.end()) return;
  (*it)->stage_ = nullptr;
  forms_.erase(it);
  dirty_ = true;
}

Form* Stage::FindForm(const std::string& name) const {
  for (auto it = forms_.rbegin(); it != forms_.rend(); ++it) {
    if ((*it)->Name() == name) return *it;
  }
  return nullptr;
}

void Stage::Remove(const Surface* s) {
  auto it = std::find(surfaces_.begin(), surfaces_.end(), s);
  if (it == surfaces_.end()) return;
  surfaces_.erase(it);
  dirty_ = true;
}

namespace {

bool EffectivelyShown(const Surface* s) {
  for (int depth = 0; s != nullptr && depth < 8; ++depth, s = s->container) {
    if (!s->shown || s->Empty()) return false;
  }
  return s == nullptr;
}

// Where a surface lands on the picture, clipped to its containers.
struct Placement {
  long long x = 0, y = 0;                    // absolute top-left of the surface
  long long clipX0 = 0, clipY0 = 0, clipX1 = 0, clipY1 = 0;  // visible part, absolute
};

Placement Place(const Surface* s) {
  Placement p;
  p.x = s->left;
  p.y = s->top;
  long long ox = 0, oy = 0;
  std::vector<const Surface*> chain;
  for (const Surface* c = s->container; c != nullptr && chain.size() < 8; c = c->container) {
    chain.push_back(c);
  }
  p.clipX0 = -(1LL << 40);
  p.clipY0 = -(1LL << 40);
  p.clipX1 = 1LL << 40;
  p.clipY1 = 1LL << 40;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    ox += (*it)->left;
    oy += (*it)->top;
    p.clipX0 = std::max(p.clipX0, ox);
    p.clipY0 = std::max(p.clipY0, oy);
    p.clipX1 = std::min(p.clipX1, ox + (*it)->Width());
    p.clipY1 = std::min(p.clipY1, oy + (*it)->Height());
  }
  p.x += ox;
  p.y += oy;
  p.clipX0 = std::max(p.clipX0, p.x);
  p.clipY0 = std::max(p.clipY0, p.y);
  p.clipX1 = std::min(p.clipX1, p.x + s->Width());
  p.clipY1 = std::min(p.clipY1, p.y + s->Height());
  return p;
}

// The shown surfaces in drawing order: lower zOrder first, ties in
// registration order.
std::vector<Surface*> DrawingOrder(const std::vector<Surface*>& surfaces) {
  std::vector<Surface*> shown;
  for (Surface* s : surfaces) {
    if (EffectivelyShown(s)) shown.push_back(s);
  }
  std::stable_sort(shown.begin(), shown.end(),
                   [](const Surface* a, const Surface* b) { return a->zOrder < b->zOrder; });
  return shown;
}

}  // namespace

void Stage::Compose(Surface& out) const {
  if (out.Width() != kWidth || out.Height() != kHeight) out.Resize(kWidth, kHeight);
  ComposeBand(out, 0);
  for (const Form* form : forms_) form->Draw(out);
}

void Stage::ComposeBand(Surface& band, int top) const {
  band.FillBox(0, 0, band.Width(), band.Height(), kBlack);
  const long long bottom = std::min<long long>(static_cast<long long>(top) + band.Height(), kHeight);
  for (const Surface* s : DrawingOrder(surfaces_)) {
    const Placement p = Place(s);
    const long long x0 = std::max<long long>(p.clipX0, 0);
    const long long y0 = std::max<long long>(p.clipY0, std::max(top, 0));
    const long long x1 = std::min<long long>({p.clipX1, kWidth, band.Width()});
    const long long y1 = std::min<long long>(p.clipY1, bottom);
    if (x0 >= x1 || y0 >= y1) continue;
    const int sx = static_cast<int>(x0 - p.x);
    const int sy = static_cast<int>(y0 - p.y);
    const int w = static_cast<int>(x1 - x0);
    const int h = static_cast<int>(y1 - y0);
    const int by = static_cast<int>(y0 - top);
    if (s->keyBlack && s->Plain() && s->BackColor() == kBlack) continue;
    if (!s->keyBlack || s->Plain()) {
      BitBlt(band, static_cast<int>(x0), by, w, h, *s, sx, sy, RasterOp::kSrcCopy);
      continue;
    }
    for (int row = 0; row < h; ++row) {
      const Rgb* src = s->Row(sy + row) + sx;
      Rgb* dst = band.Row(by + row) + x0;
      for (int col = 0; col < w; ++col) {
        if (src[col] != kBlack) dst[col] = src[col];
      }
    }
  }
}

Surface* Stage::HitTest(int x, int y) const {
  if (x < 0 || y < 0 || x >= kWidth || y >= kHeight) return nullptr;
  const std::vector<Surface*> order = DrawingOrder(surfaces_);
  for (auto it = order.rbegin(); it != order.rend(); ++it) {
    // Wide arithmetic: a surface may be parked far off the picture.
    const Placement p = Place(*it);
    if (x >= p.clipX0 && y >= p.clipY0 && x < p.clipX1 && y < p.clipY1) return *it;
  }
  return nullptr;
}

}  // namespace kovan
