// Characters on the headless backend: the message window's harness with the
// face sheet, the mesh sheet and a scene over a data folder, helpers that
// play a line's sprite or face field, and the pictures the checks compare
// against.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "engine/data_files.h"
#include "message/message_harness.h"
#include "platform/pictures.h"
#include "scene/scene.h"

namespace kovan::testing {

class SpriteHarness : public MessageHarness {
 public:
  explicit SpriteHarness(const std::string& dataDir = DemoDataDir(), const std::string& script = "")
      : MessageHarness(script), data(dataDir, false) {
    state.DataPath = dataDir;
    const Status faces = messages->FaceInit(data);
    EXPECT_TRUE(faces.ok()) << (faces.ok() ? "" : faces.error());
    scene = std::make_unique<Scene>(*platform, state, *form, *messages);
    scene->SetDataFiles(&data);
    scene->MeshInit();
  }
  ~SpriteHarness() override {
    if (watch_ >= 0) platform->EnableTimer(watch_, false);
  }

  // A line whose sprite field is character and pose and whose text is text.
  int Doll(int character, int pose, const std::string& text) {
    state.DollNo = static_cast<std::uint8_t>(character);
    state.DollPose = static_cast<std::uint8_t>(pose);
    state.LineText = text;
    return scene->DollChange();
  }
  // A line with a face field; the character and pose are the last ones set.
  int Face(int character, int pose, int face) {
    state.DollNo = static_cast<std::uint8_t>(character);
    state.DollPose = static_cast<std::uint8_t>(pose);
    state.FaceNo = static_cast<std::uint8_t>(face);
    return scene->FaceChange();
  }

  // Calls look(now) whenever the game lets events run (at most once per
  // millisecond of game time), from now on.
  void Watch(std::function<void(std::uint32_t)> look) {
    watch_ = platform->AddTimer(1, [this, look = std::move(look)] { look(platform->Ticks()); });
  }

  Surface Picture(const std::string& name) const {
    Result<Surface> picture = data.LoadPicture(name);
    EXPECT_TRUE(picture.ok()) << (picture.ok() ? "" : picture.error());
    return picture.ok() ? std::move(picture.value()) : Surface();
  }

  DataFiles data;
  std::unique_ptr<Scene> scene;

 private:
  int watch_ = -1;
};

// A sprite over a scene as the player should see it: the picture, and the
// scene wherever the picture is pure black.
inline Surface OverScene(const Surface& picture, const Surface& scene, int left, int top) {
  Surface out(picture.Width(), picture.Height());
  for (int y = 0; y < picture.Height(); ++y) {
    for (int x = 0; x < picture.Width(); ++x) {
      const Rgb p = picture.Point(x, y);
      out.SetPoint(x, y, p == kBlack ? scene.Point(left + x, top + y) : p);
    }
  }
  return out;
}

// Whether the w x h areas of a at (ax, ay) and b at (bx, by) are equal.
inline ::testing::AssertionResult SameArea(const Surface& a, int ax, int ay, const Surface& b,
                                           int bx, int by, int w, int h) {
  int differ = 0;
  std::string first;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      if (a.Point(ax + x, ay + y) == b.Point(bx + x, by + y)) continue;
      if (differ++ == 0) first = "(" + std::to_string(x) + "," + std::to_string(y) + ")";
    }
  }
  if (differ == 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << differ << " pixels differ, the first at " << first;
}

inline ::testing::AssertionResult SameSurface(const Surface& a, const Surface& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) {
    return ::testing::AssertionFailure()
           << a.Width() << "x" << a.Height() << " against " << b.Width() << "x" << b.Height();
  }
  return SameArea(a, 0, 0, b, 0, 0, a.Width(), a.Height());
}

// What the window shows, saved as a PNG when KOVAN_SHOTS names a folder.
inline void MaybeShot(Platform& platform, const std::string& name) {
  const char* dir = std::getenv("KOVAN_SHOTS");
  if (dir == nullptr || *dir == '\0') return;
  Surface out;
  platform.stage().Compose(out);
  const Status saved = SavePng(out, std::string(dir) + "/" + name);
  EXPECT_TRUE(saved.ok()) << (saved.ok() ? "" : saved.error());
}

}  // namespace kovan::testing
