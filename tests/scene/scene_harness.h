// A scene on a recording platform: a virtual clock whose refreshes may be
// given a drawing time, counters of refreshes, sleeps and yields, hooks that
// look at the picture while a transition runs, and message boxes kept for
// the checks. The surfaces are laid out as at start-up, from the demo data.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "engine/data_files.h"
#include "engine/engine_state.h"
#include "message/main_form.h"
#include "message/messages.h"
#include "platform/platform.h"
#include "scene/scene.h"
#include "test_support.h"

namespace kovan::testing {

class RecordingPlatform : public Platform {
 public:
  std::uint32_t Ticks() override { return clock; }
  void Sleep(std::uint32_t ms) override {
    clock += ms;
    ++sleeps;
  }
  void DoEvents() override {
    ++yields;
    FireTimers();
    if (onYield) onYield();
  }
  // A refresh; it takes drawMs of the clock, as drawing a frame would.
  void Present() override {
    clock += drawMs;
    ++presents;
    if (onPresent) onPresent();
  }
  MsgBoxAnswer MessageBox(const std::string& text, MsgBoxButtons) override {
    boxes.push_back(text);
    return MsgBoxAnswer::kOk;
  }

  void SetClientSize(int, int) override {}
  void CentreWindow() override {}
  void ShowWindow(bool) override {}
  void SetCaption(const std::string&) override {}
  void SetWaitCursor(bool) override {}
  void ToggleCaption() override {}
  DisplayInfo Display() override { return {1280, 1024, 24}; }
  SystemFacts Facts() override { return {}; }
  void SetImeOpen(bool) override {}

  void ResetCounters() { presents = sleeps = yields = 0; }

  std::uint32_t clock = 0;
  std::uint32_t drawMs = 0;
  int presents = 0;
  int sleeps = 0;
  int yields = 0;
  std::vector<std::string> boxes;
  std::function<void()> onPresent;
  std::function<void()> onYield;
};

// Two pictures that differ in every pixel, and from black, so a pixel left
// out or copied from the wrong place shows.
inline Rgb OldPixel(int x, int y) { return MakeRgb(x, y, x + y) | 0x010000; }
inline Rgb NewPixel(int x, int y) { return MakeRgb(255 - (x & 255), 3 * y + x, 200 - y) | 0x1; }

inline void Paint(Surface& s, Rgb (*pixel)(int, int)) {
  for (int y = 0; y < s.Height(); ++y) {
    for (int x = 0; x < s.Width(); ++x) s.SetPoint(x, y, pixel(x, y));
  }
}

inline int CountPixels(const Surface& s, Rgb c) {
  int n = 0;
  for (Rgb p : s.Pixels()) n += p == c ? 1 : 0;
  return n;
}

class SceneHarness {
 public:
  explicit SceneHarness(const std::string& dataDir = DemoDataDir()) : data(dataDir, false) {
    platform.trace().SetStream(&trace);
    SetStartValues(state);
    form = std::make_unique<MainForm>(platform);
    messages = std::make_unique<Messages>(platform, state, *form);
    const Status laid = messages->LayoutInit(data);
    EXPECT_TRUE(laid.ok()) << (laid.ok() ? "" : laid.error());
    form->Pic_Main.shown = true;
    scene = std::make_unique<Scene>(platform, state, *form, *messages);
    scene->SetDataFiles(&data);
    scene->MeshInit();
    platform.ResetCounters();
  }

  // Runs a transition from the old picture to the new one; returns the game
  // time it took.
  std::uint32_t Transition(const std::string& code) {
    scene->EffectCode = code;
    const std::uint32_t start = platform.clock;
    scene->PlaceEffect();
    return platform.clock - start;
  }

  // The trace lines of one kind of event, and a whole-number field of one.
  std::vector<std::string> Events(const std::string& ev) const {
    return TraceEvents(trace.str(), ev);
  }
  static long long Field(const std::string& line, const std::string& key) {
    const std::size_t at = line.find("\"" + key + "\":");
    return at == std::string::npos ? -1 : std::stoll(line.substr(at + key.size() + 3));
  }

  RecordingPlatform platform;
  std::ostringstream trace;
  DataFiles data;
  EngineState state;
  std::unique_ptr<MainForm> form;
  std::unique_ptr<Messages> messages;
  std::unique_ptr<Scene> scene;
};

}  // namespace kovan::testing
