#include "platform/stage.h"

#include <algorithm>

namespace kovan {

void Stage::Add(Surface* s) {
  if (s == nullptr || std::find(surfaces_.begin(), surfaces_.end(), s) != surfaces_.end()) {
    return;
  }
  surfaces_.push_back(s);
  dirty_ = true;
}

void Stage::Remove(const Surface* s) {
  auto it = std::find(surfaces_.begin(), surfaces_.end(), s);
  if (it == surfaces_.end()) return;
  surfaces_.erase(it);
  dirty_ = true;
}

namespace {

// The shown surfaces in drawing order: lower zOrder first, ties in
// registration order.
std::vector<Surface*> DrawingOrder(const std::vector<Surface*>& surfaces) {
  std::vector<Surface*> shown;
  for (Surface* s : surfaces) {
    if (s->shown && !s->Empty()) shown.push_back(s);
  }
  std::stable_sort(shown.begin(), shown.end(),
                   [](const Surface* a, const Surface* b) { return a->zOrder < b->zOrder; });
  return shown;
}

}  // namespace

void Stage::Compose(Surface& out) const {
  if (out.Width() != kWidth || out.Height() != kHeight) out.Resize(kWidth, kHeight);
  out.FillBox(0, 0, kWidth, kHeight, kBlack);
  for (const Surface* s : DrawingOrder(surfaces_)) {
    BitBlt(out, s->left, s->top, s->Width(), s->Height(), *s, 0, 0, RasterOp::kSrcCopy);
  }
}

Surface* Stage::HitTest(int x, int y) const {
  if (x < 0 || y < 0 || x >= kWidth || y >= kHeight) return nullptr;
  const std::vector<Surface*> order = DrawingOrder(surfaces_);
  for (auto it = order.rbegin(); it != order.rend(); ++it) {
    const Surface* s = *it;
    // Wide arithmetic: a surface may be parked far off the picture.
    const long long dx = static_cast<long long>(x) - s->left;
    const long long dy = static_cast<long long>(y) - s->top;
    if (dx >= 0 && dy >= 0 && dx < s->Width() && dy < s->Height()) return *it;
  }
  return nullptr;
}

}  // namespace kovan
