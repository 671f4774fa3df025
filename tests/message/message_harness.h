// A message window on the headless backend: the demo data's skin over a
// patterned scene, input from a script routed to the window's handlers,
// and the trace kept for the checks.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/data_files.h"
#include "engine/engine_state.h"
#include "message/main_form.h"
#include "message/messages.h"
#include "platform/headless/headless_platform.h"
#include "test_support.h"

namespace kovan::testing {

constexpr Rgb kSpeakerInk = MakeRgb(255, 255, 255);
constexpr Rgb kNarrationInk = MakeRgb(192, 192, 255);

// A scene where neighbouring pixels differ, so misplaced copies show.
inline void PaintScene(Surface& scene) {
  for (int y = 0; y < scene.Height(); ++y) {
    for (int x = 0; x < scene.Width(); ++x) scene.SetPoint(x, y, MakeRgb(x, y, x + y));
  }
}

// n full-width characters.
inline std::string Chars(int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s += "あ";
  return s;
}

class MessageHarness : public InputSink {
 public:
  explicit MessageHarness(const std::string& script = "") {
    HeadlessOptions options;
    options.inputScript = script;
    auto created = CreateHeadlessPlatform(options);
    if (!created) throw std::runtime_error(created.error());
    platform = std::move(created.value());
    platform->trace().SetStream(&trace);
    SetStartValues(state);
    form = std::make_unique<MainForm>(*platform);
    messages = std::make_unique<Messages>(*platform, state, *form);
    platform->SetInputSink(this);
    DataFiles data(DemoDataDir(), false);
    const Status laid = messages->LayoutInit(data);
    EXPECT_TRUE(laid.ok()) << (laid.ok() ? "" : laid.error());
    PaintScene(form->Pic_Main);
    form->Pic_Main.shown = true;
    messages->WakuBuild();
  }
  ~MessageHarness() override { platform->SetInputSink(nullptr); }

  // Play has begun: the skip item takes clicks.
  void EnableSkipItem() {
    form->FindMenu(menu::kSpeedup)->enabled = true;
    form->UpdateMenu();
  }

  void Say(const std::string& text, std::int16_t speaker = 0, const std::string& tag = "") {
    state.SpeakerNo = speaker;
    messages->MessageOut(tag, text, speaker == 0 ? kNarrationInk : kSpeakerInk);
  }

  // The trace lines of one kind of event.
  std::vector<std::string> Events(const std::string& ev) const {
    return TraceEvents(trace.str(), ev);
  }
  // A whole-number field ("t", "lineNo", "x") of each event of a kind.
  std::vector<long long> Fields(const std::string& ev, const std::string& key) const {
    std::vector<long long> out;
    for (const std::string& line : Events(ev)) {
      const std::size_t at = line.find("\"" + key + "\":");
      out.push_back(at == std::string::npos ? -1 : std::stoll(line.substr(at + key.size() + 3)));
    }
    return out;
  }

  void OnMouseDown(MouseButton button, int x, int y) override {
    messages->OnMouseDown(button, x, y);
  }
  void OnKeyDown(const Key& key) override {
    if (onKey) {
      onKey(key);
    } else {
      messages->OnKeyDown(key);
    }
  }
  void OnMenu(const std::string& item) override {
    if (item == menu::kSpeedup) messages->speedup_Click();
  }
  // The script ran out while the window still waited.
  void OnClose() override { throw std::runtime_error("the input script ended during a wait"); }

  std::unique_ptr<Platform> platform;
  std::ostringstream trace;
  EngineState state;
  std::unique_ptr<MainForm> form;
  std::unique_ptr<Messages> messages;
  std::function<void(const Key&)> onKey;  // replaces the window's key handler
};

}  // namespace kovan::testing
