// Dialog forms inside the main window: which control a point, a key or a
// scripted press reaches, and what the window underneath still gets.
#include "platform/form.h"

#include <gtest/gtest.h>

#include <sstream>

#include "platform/headless/headless_platform.h"
#include "test_support.h"

namespace kovan {
namespace {

struct FormFixture : InputSink {
  FormFixture() : form("Test_Form", "テスト", 200, 100) {
    form.left = 100;
    form.top = 50;  // client area at (103, 71)
    auto& a = form.Add(std::make_unique<CommandButton>("Button(0)", ControlRect{10, 10, 60, 20}));
    a.onClick = [this] { log += "a "; };
    auto& off = form.Add(std::make_unique<CommandButton>("Button(1)", ControlRect{80, 10, 60, 20}));
    off.enabled = false;
    off.onClick = [this] { log += "off "; };
    auto& row = form.Add(std::make_unique<PictureBox>("Row", ControlRect{10, 40, 100, 20}));
    row.tabStop = true;
    row.onClick = [this] { log += "row "; };
    panel = &form.Add(std::make_unique<Panel>("Panel", ControlRect{0, 0, 200, 100}));
    auto& yes = panel->Add(std::make_unique<CommandButton>("Yes", ControlRect{10, 70, 50, 20}));
    yes.onClick = [this] { log += "yes "; };
    panel->visible = false;
    form.onCancel = [this] { log += "cancel "; };
  }
  void Play(const std::string& script) {
    HeadlessOptions options;
    options.inputScript = script;
    platform = std::move(CreateHeadlessPlatform(options).value());
    platform->trace().SetStream(&trace);
    platform->SetInputSink(this);
    platform->SetMenu({MenuItem{"prog_end", "終了"}});
    platform->OpenForm(&form);
    for (int i = 0; i < 40; ++i) platform->DoEvents();
  }
  void OnMouseDown(MouseButton, int, int) override { log += "window-click "; }
  void OnKeyDown(const Key&) override { log += "window-key "; }
  void OnMenu(const std::string&) override { log += "menu "; }

  Form form;
  Panel* panel = nullptr;
  std::ostringstream trace;
  std::unique_ptr<Platform> platform;
  std::string log;
};

// The fault: input leaking past a modal form, or reaching a control the
// player can't see or use.
TEST(Form, InputReachesOnlyLiveControlsOfTheOpenForm) {
  struct Case {
    const char* what;
    std::string script;
    std::string log;
  };
  const Case cases[] = {
      {"clicks by position; outside the form nothing", "click 120 85\nclick 200 85\nclick 5 5\n"
                                                       "click 150 115\nmenu prog_end\n",
       "a row "},
      {"tab skips the disabled button, enter presses", "key Tab\nkey Enter\nkey Tab\nkey Space\n"
                                                       "key Tab\nkey Enter\nkey Escape\n",
       "a row a cancel "},
      {"the full-screen keys press nothing", "key Tab\nkey Alt+Enter\nkey F11\nkey Enter\n", "a "},
      {"a press reaches a shown, enabled control only",
       "press Test_Form Button(0)\npress Test_Form Button(1)\npress Test_Form Yes\n"
       "press Test_Form Nothing\npress Test_Form Row\n",
       "a row "},
  };
  for (const Case& c : cases) {
    FormFixture f;
    f.Play(c.script);
    EXPECT_EQ(f.log, c.log) << c.what;
  }
  FormFixture f;
  f.Play("press Test_Form Button(1)\n");
  EXPECT_NE(f.trace.str().find("\"control\":\"Button(1)\",\"op\":\"ignored\""), std::string::npos);
}

TEST(Form, APanelShownOverTheFormTakesItsClicksAndDraws) {
  FormFixture f;
  f.panel->visible = true;
  f.Play("click 120 85\nclick 120 145\n");
  EXPECT_EQ(f.log, "yes ") << "the panel lies over Button(0)";
  Surface picture;
  f.platform->stage().Compose(picture);
  EXPECT_EQ(picture.Point(110, 60), ui::kCaptionBar);
  EXPECT_EQ(picture.Point(99, 60), kBlack);  // left of the form: the empty stage
  f.platform->CloseForm(&f.form);
  f.platform->stage().Compose(picture);
  EXPECT_EQ(picture.Point(110, 60), kBlack);
}

}  // namespace
}  // namespace kovan
