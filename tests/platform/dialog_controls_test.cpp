// The choosing and typing controls of the dialogs, driven as the input
// script drives them (clicks, keys, `press`, `type`, `set`), and a form that
// leaves the main window usable.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "platform/form_controls.h"
#include "platform/headless/headless_platform.h"
#include "platform/pictures.h"
#include "platform/text_box.h"

namespace kovan {
namespace {

// A form at (100, 50): its client area starts at (103, 71).
struct ControlsFixture : InputSink {
  explicit ControlsFixture(bool modal = true) : form("Test_Form", "テスト", 300, 120) {
    form.left = 100;
    form.top = 50;
    form.modal = modal;
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
    form.onCancel = [this] { log += "cancel "; };
    form.onLostFocus = [this] {
      log += "lost ";
      platform->CloseForm(&form);
    };
  }
  void Play(const std::string& script) {
    HeadlessOptions options;
    options.inputScript = script;
    platform = std::move(CreateHeadlessPlatform(options).value());
    platform->SetInputSink(this);
    platform->SetMenu({MenuItem{"prog_end", "終了"}});
    platform->SetClipboardText("line1\nline2");
    platform->OpenForm(&form);
    for (int i = 0; i < 60; ++i) platform->DoEvents();
  }
  void OnMouseDown(MouseButton, int, int) override { log += "window-click "; }
  void OnKeyDown(const Key&) override { log += "window-key "; }
  void OnMenu(const std::string&) override { log += "menu "; }
  std::string Option() const { return a->value && !b->value ? "a" : b->value && !a->value ? "b" : "?"; }

  Form form;
  OptionButton* a = nullptr;
  OptionButton* b = nullptr;
  CheckBox* check = nullptr;
  HScrollBar* bar = nullptr;
  TextBox* text = nullptr;
  std::unique_ptr<Platform> platform;
  std::string log;
};

// The tab stops in order: A, B, Check, Bar, Text, OK.
std::string Tabs(int n) {
  std::string keys;
  for (int i = 0; i < n; ++i) keys += "key Tab\n";
  return keys;
}

// The fault: a control that takes the wrong input, or input that lands on
// the wrong control (a second option staying on, an Enter lost in a text
// box, typing past the limit, a scripted value out of range accepted).
TEST(DialogControls, ClicksKeysAndScriptedValuesChangeTheRightControl) {
  struct Case {
    const char* what;
    std::string script;
    std::string option, text;
    bool check;
    int bar;
    std::string log;
  };
  const Case cases[] = {
      {"a click selects B and clears A", "click 120 116\n", "b", "", false, 50, ""},
      {"set and Space select", "set Test_Form B 1\n" + Tabs(1) + "key Space\nset Test_Form C 1\n",
       "a", "", false, 50, ""},
      {"the check box toggles; set takes 0 or 1 only", "click 240 90\nclick 240 90\nclick 240 90\n"
       "set Test_Form Check 2\n", "a", "", true, 50, ""},
      {"arrows step by one, the track by ten", "click 240 119\nclick 320 119\nclick 320 119\n"
       "click 300 119\n", "a", "", false, 61, ""},
      {"the track left of the thumb by ten", "click 260 119\n", "a", "", false, 40, ""},
      {"set takes whole numbers in range only", "set Test_Form Bar 35\nset Test_Form Bar 101\n"
       "set Test_Form Bar 3x\n", "a", "", false, 35, ""},
      {"keys on the bar", Tabs(4) + "key Right\nkey PageDown\nkey Left\n", "a", "", false, 60, ""},
      {"typing counts characters, not bytes", Tabs(5) + "key あ\nkey い\nkey う\nkey x\nkey y\n"
       "key z\n", "a", "あいうxy", false, 50, ""},
      {"typing replaces the selection", "type Test_Form Text abc\n" + Tabs(5) + "key z\n", "a", "z",
       false, 50, ""},
      {"editing keys", "type Test_Form Text abcd\n" + Tabs(5) + "key Home\nkey Delete\nkey End\n"
       "key Backspace\nkey shift+left\nkey Space\n", "a", "b ", false, 50, ""},
      {"paste keeps the first line and the limit", Tabs(5) + "key ctrl+v\n", "a", "line1", false, 50, ""},
      {"cut, then paste it back twice", "type Test_Form Text ab\n" + Tabs(5) + "key ctrl+x\nkey ctrl+v\n"
       "key ctrl+v\n", "a", "abab", false, 50, ""},
      {"a program's text is not cut", "type Test_Form Text 1234567\n", "a", "1234567", false, 50, ""},
      {"Enter presses the default button, Escape cancels", Tabs(3) + "key Enter\n" + Tabs(2) +
       "key Enter\nkey Escape\n", "a", "", false, 50, "ok ok cancel "},
      {"nothing gets past the modal form", "click 5 5\nkey z\nmenu prog_end\n", "a", "", false, 50, ""},
  };
  for (const Case& c : cases) {
    ControlsFixture f;
    f.Play(c.script);
    EXPECT_EQ(f.Option(), c.option) << c.what;
    EXPECT_EQ(f.text->Text(), c.text) << c.what;
    EXPECT_EQ(f.check->value, c.check) << c.what;
    EXPECT_EQ(f.bar->Value(), c.bar) << c.what;
    EXPECT_EQ(f.log, c.log) << c.what;
  }
}

TEST(DialogControls, TheScrollBarsThumbFollowsThePointerToTheEnds) {
  ControlsFixture f;
  HScrollBar& bar = *f.bar;
  const int y = f.form.ClientTop() + 48;
  const int thumb = f.form.ClientLeft() + 130 + bar.ThumbLeft() + 3;
  const int pickedUp = bar.ThumbLeft();
  EXPECT_EQ(pickedUp, 17 + 25) << "50 of 0 to 100 over 49 pixels of track, rounded";
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

// The fault: a composition drawn nowhere near the caret, or without the
// underline that tells it from the text.
TEST(DialogControls, TheCompositionIsDrawnUnderlinedAtTheCaret) {
  Result<std::unique_ptr<Font>> font = Font::Open("ＭＳ ゴシック", 9);
  ASSERT_TRUE(font.ok());
  Form form("Test_Form", "テスト", 200, 40);
  form.SetFont(font->get());
  auto& box = form.Add(std::make_unique<TextBox>("Text", ControlRect{10, 8, 180, 22}));
  box.font = font->get();
  form.SetFocus(&box);
  box.SetText("山田　");
  box.Compose("はなこ", 2);
  Surface out(240, 80, ui::kFace);
  form.Draw(out);
  if (const char* dir = std::getenv("KOVAN_SHOTS")) (void)SavePng(out, std::string(dir) + "/composition.png");
  const int left = form.ClientLeft() + 10 + 3;  // the text's left edge
  const int width = (*font)->TextWidth("山田　");
  const int underline = form.ClientTop() + 8 + box.CaretAt().y + (*font)->TextHeight();
  const int compositionWidth = (*font)->TextWidth("はなこ");
  for (int x = left + width; x < left + width + compositionWidth; ++x) {
    ASSERT_EQ(out.Point(x, underline), ui::kText) << "underlined at " << x;
  }
  EXPECT_NE(out.Point(left + width - 2, underline), ui::kText) << "the text before it is not";
  const TextCaret caret = *form.Caret();
  EXPECT_EQ(caret.x, left + width + (*font)->TextWidth("はな"));
  EXPECT_EQ(out.Point(caret.x, caret.y + 1), ui::kText) << "the caret at the composition's cursor";
}

// The fault: a modeless form that swallows the main window's input, or
// stays up after the player turned elsewhere.
TEST(DialogControls, AModelessFormLeavesTheWindowUsable) {
  struct Case {
    const char* what;
    std::string script;
    std::string log;
    bool open;
  };
  const Case cases[] = {
      {"a click on it reaches its control", "click 240 90\n", "", true},
      {"a click elsewhere closes it and goes on", "click 5 5\nclick 5 5\n", "lost window-click window-click ",
       false},
      {"the menu bar takes the focus", "menu prog_end\n", "lost menu ", false},
      {"keys are its own", "key Enter\nkey z\n", "ok ", true},
  };
  for (const Case& c : cases) {
    ControlsFixture f(false);
    f.Play(c.script);
    EXPECT_EQ(f.log, c.log) << c.what;
    EXPECT_EQ(f.platform->stage().FindForm("Test_Form") != nullptr, c.open) << c.what;
    EXPECT_FALSE(f.platform->FormOpen()) << "the main window is never disabled";
  }
  ControlsFixture f(false);
  f.Play("");
  Form modal("Modal", "", 50, 50);
  f.platform->OpenForm(&modal);
  EXPECT_EQ(f.log, "lost ") << "a dialog coming up takes the focus";
}

}  // namespace
}  // namespace kovan
