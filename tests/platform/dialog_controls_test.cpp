// Dialog forms inside the main window and their choosing and typing
// controls, driven as the input script drives them (clicks, keys, `press`,
// `type`, `set`): which control the input reaches, what the window
// underneath still gets, and the input method's composition.
#include <gtest/gtest.h>

#include <sstream>

#include "platform/form.h"
#include "platform/form_controls.h"
#include "platform/headless/headless_platform.h"
#include "platform/text_box.h"

namespace kovan {
namespace {

// A form at (100, 50), its client area at (103, 71), played through the
// headless backend with an input script; what reached the window is logged.
struct ScriptedForm : InputSink {
  ScriptedForm(int w, int h) : form("Test_Form", "テスト", w, h) {
    form.left = 100;
    form.top = 50;
    form.onCancel = [this] { log += "cancel "; };
  }
  void Play(const std::string& script) {
    HeadlessOptions options;
    options.inputScript = script;
    platform = std::move(CreateHeadlessPlatform(options).value());
    platform->trace().SetStream(&trace);
    platform->SetInputSink(this);
    platform->SetMenu({MenuItem{"prog_end", "終了"}});
    platform->SetClipboardText("line1\nline2");
    platform->OpenForm(&form);
    for (int i = 0; i < 60; ++i) platform->DoEvents();
  }
  void OnMouseDown(MouseButton, int, int) override { log += "window-click "; }
  void OnKeyDown(const Key&) override { log += "window-key "; }
  void OnMenu(const std::string&) override { log += "menu "; }

  Form form;
  std::ostringstream trace;
  std::unique_ptr<Platform> platform;
  std::string log;
};

struct ControlsFixture : ScriptedForm {
  ControlsFixture() : ScriptedForm(300, 120) {
    auto& frame = form.Add(std::make_unique<Frame>("Frame", ControlRect{0, 0, 120, 60}, ""));
    a = &frame.Add(std::make_unique<OptionButton>("A", ControlRect{8, 16, 100, 18}, "a"));
    b = &frame.Add(std::make_unique<OptionButton>("B", ControlRect{8, 36, 100, 18}, "b"));
    a->value = true;
    check = &form.Add(std::make_unique<CheckBox>("Check", ControlRect{130, 10, 100, 18}, "c"));
    bar = &form.Add(std::make_unique<HScrollBar>("Bar", ControlRect{130, 40, 100, 17}));
    bar->SetValue(50);
    text = &form.Add(std::make_unique<TextBox>("Text", ControlRect{0, 70, 150, 22}));
    text->maxLength = 5;
    auto& ok = form.Add(std::make_unique<CommandButton>("OK", ControlRect{160, 70, 60, 22}, "OK"));
    ok.onClick = [this] { log += "ok "; };
    form.SetDefault(&ok);
  }
  std::string Option() const { return a->value && !b->value ? "a" : b->value && !a->value ? "b" : "?"; }

  OptionButton* a = nullptr;
  OptionButton* b = nullptr;
  CheckBox* check = nullptr;
  HScrollBar* bar = nullptr;
  TextBox* text = nullptr;
};

// The tab stops in order: A, B, Check, Bar, Text, OK.
std::string Tabs(int n) { return n > 0 ? "key Tab\n" + Tabs(n - 1) : ""; }

// The fault: a control that takes the wrong input, or input that lands on
// the wrong control (a second option staying on, an Enter lost in a text
// box, typing past the limit, a scripted value out of range accepted).
TEST(DialogControls, ClicksKeysAndScriptedValuesChangeTheRightControl) {
  const std::string t5 = Tabs(5);
  const std::pair<std::string, std::string> cases[] = {  // script, "option|text|check|bar|log"
      {"click 120 116\n", "b||0|50|"},  // a click selects B and clears A
      {"set Test_Form B 1\n" + Tabs(1) + "key Space\nset Test_Form C 1\n", "a||0|50|"},
      // The check box toggles; set takes 0 or 1 only.
      {"click 240 90\nclick 240 90\nclick 240 90\nset Test_Form Check 2\n", "a||1|50|"},
      // Arrows step by one, the track by ten, on either side of the thumb.
      {"click 240 119\nclick 320 119\nclick 320 119\nclick 300 119\n", "a||0|61|"},
      {"click 260 119\n", "a||0|40|"},
      {"set Test_Form Bar 35\nset Test_Form Bar 101\nset Test_Form Bar 3x\n", "a||0|35|"},
      {Tabs(4) + "key Right\nkey PageDown\nkey Left\n", "a||0|60|"},
      // Typing counts characters, not bytes, and replaces the selection.
      {t5 + "key あ\nkey い\nkey う\nkey x\nkey y\nkey z\n", "a|あいうxy|0|50|"},
      {"type Test_Form Text abc\n" + t5 + "key z\n", "a|z|0|50|"},
      {"type Test_Form Text abcd\n" + t5 +
           "key Home\nkey Delete\nkey End\nkey Backspace\nkey shift+left\nkey Space\n",
       "a|b |0|50|"},
      {t5 + "key ctrl+v\n", "a|line1|0|50|"},  // the first line, to the limit
      {"type Test_Form Text ab\n" + t5 + "key ctrl+x\nkey ctrl+v\nkey ctrl+v\n", "a|abab|0|50|"},
      {"type Test_Form Text 1234567\n", "a|1234567|0|50|"},  // a program's text is not cut
      // Enter presses the default button, Escape cancels.
      {Tabs(3) + "key Enter\n" + Tabs(2) + "key Enter\nkey Escape\n", "a||0|50|ok ok cancel "},
      {"click 5 5\nkey z\nmenu prog_end\n", "a||0|50|"},  // nothing gets past the modal form
  };
  for (const auto& [script, want] : cases) {
    ControlsFixture f;
    f.Play(script);
    EXPECT_EQ(f.Option() + "|" + f.text->Text() + "|" + (f.check->value ? "1" : "0") + "|" +
                  std::to_string(f.bar->Value()) + "|" + f.log,
              want)
        << script;
  }
}

TEST(DialogControls, TheScrollBarsThumbFollowsThePointerToTheEnds) {
  ControlsFixture f;
  HScrollBar& bar = *f.bar;
  const int y = f.form.ClientTop() + 48;
  const int thumb = f.form.ClientLeft() + 130 + bar.ThumbLeft() + 3;
  const int pickedUp = bar.ThumbLeft();
  int changes = 0;
  bar.onChange = [&] { ++changes; };
  f.form.MouseDown(thumb, y);
  f.form.MouseMove(thumb, y);
  EXPECT_EQ(changes, 0) << "holding the thumb still changes nothing";
  f.form.MouseMove(thumb - 500, y);
  EXPECT_EQ(bar.Value(), 0);
  f.form.MouseMove(thumb + 500, y);
  EXPECT_EQ(bar.Value(), 100);
  f.form.MouseMove(thumb - 12, y);  // 13 of 49 pixels along: 26.5 of 100, taken up
  EXPECT_EQ(bar.Value(), 27);
  f.form.MouseMove(thumb, y);
  f.form.MouseUp(thumb, y);
  EXPECT_EQ(bar.ThumbLeft(), pickedUp) << "back where it was picked up";
  EXPECT_NEAR(bar.Value(), 50, 1);
  EXPECT_EQ(changes, 4);
}

// The fault: a composition that leaks into the text before it is
// committed, or keys that edit the text while the input method owns them.
TEST(DialogControls, TheCompositionStaysApartUntilCommitted) {
  TextBox box("Text", ControlRect{0, 0, 150, 22});  // without a font: 11 px a character
  box.maxLength = 5;
  box.SetText("abc");
  box.SelectAll();
  box.Compose("かな", 1);
  EXPECT_EQ(box.Text(), "") << "a composition replaces the selection as it starts";
  EXPECT_EQ(box.CaretAt().x, 3 + 11) << "the caret at the composition's cursor";
  EXPECT_TRUE(box.KeyDown(Key{KeyCode::kBackspace}));
  EXPECT_TRUE(box.KeyDown(Key{KeyCode::kEnter}));
  box.Compose("かなカナ漢字です", 8);
  box.Insert("仮名カナ漢字です");
  EXPECT_EQ(box.Text(), "仮名カナ漢") << "a commit is cut to the limit";
  EXPECT_FALSE(box.Composing());
  EXPECT_EQ(box.CaretAt().x, 3 + 5 * 11);
  EXPECT_FALSE(box.KeyDown(Key{KeyCode::kEnter})) << "Enter belongs to the form again";
  box.Compose("x", 1);
  box.Compose("", 0);
  EXPECT_EQ(box.Text(), "仮名カナ漢") << "a dropped composition leaves nothing";
}

// --- which control a point, a key or a scripted press reaches -------------------------

struct FormFixture : ScriptedForm {
  FormFixture() : ScriptedForm(200, 100) {
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
  }
  Panel* panel = nullptr;
};

// The fault: input leaking past a modal form, or reaching a control the
// player can't see or use.
TEST(Form, InputReachesOnlyLiveControlsOfTheOpenForm) {
  const std::pair<const char*, const char*> cases[] = {  // script, what it reached
      // Clicks by position; outside the form nothing.
      {"click 120 85\nclick 200 85\nclick 5 5\nclick 150 115\nmenu prog_end\n", "a row "},
      // Tab skips the disabled button; Enter and Space press; the full-screen keys don't.
      {"key Tab\nkey Enter\nkey Tab\nkey Space\nkey Tab\nkey Enter\nkey Escape\n",
       "a row a cancel "},
      {"key Tab\nkey Alt+Enter\nkey F11\nkey Enter\n", "a "},
      // A press reaches a shown, enabled control only.
      {"press Test_Form Button(0)\npress Test_Form Button(1)\npress Test_Form Yes\n"
       "press Test_Form Nothing\npress Test_Form Row\n", "a row "},
  };
  for (const auto& [script, log] : cases) {
    FormFixture f;
    f.Play(script);
    EXPECT_EQ(f.log, log) << script;
  }
  FormFixture f;  // an ignored press is traced
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
