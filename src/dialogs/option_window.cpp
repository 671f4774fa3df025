#include "dialogs/option_window.h"

#include <cmath>
#include <string>

namespace kovan {

namespace {

constexpr const char* kFormName = "Option_Window";
constexpr int kClientW = 292;
constexpr int kClientH = 206;
constexpr int kRowH = 22;
constexpr const char* kModeCaptions[4] = {"選択までｽｷｯﾌﾟ", "ｽｸﾛｰﾙなし", "1行ずつ表示", "1文字ずつ表示"};

}  // namespace

OptionWindow::OptionWindow(Platform& platform, EngineState& state, MainForm& mainForm, Sound& sound)
    : platform_(platform),
      state_(state),
      mainForm_(mainForm),
      sound_(sound),
      form_(kFormName, "オプション設定", kClientW, kClientH) {
  form_.Centre(Stage::kWidth, Stage::kHeight);
  Build();
}

OptionWindow::~OptionWindow() { platform_.CloseForm(&form_); }

void OptionWindow::Build() {
  Frame1 = &form_.Add(std::make_unique<Frame>("Frame1", ControlRect{8, 4, 144, 114}, "メッセージ表示"));
  for (int i = 0; i < 4; ++i) {
    Option[i] = &Frame1->Add(std::make_unique<OptionButton>(
        "Option" + std::to_string(i + 1), ControlRect{10, 20 + i * kRowH, 128, 20}, kModeCaptions[i]));
  }
  Check1 = &form_.Add(std::make_unique<CheckBox>("Check1", ControlRect{166, 18, 118, 20}, "ＢＧＭ"));
  Check2 = &form_.Add(std::make_unique<CheckBox>("Check2", ControlRect{166, 18 + kRowH, 118, 20}, "効果音"));
  Check3 = &form_.Add(
      std::make_unique<CheckBox>("Check3", ControlRect{166, 18 + 2 * kRowH, 118, 20}, "ﾒｯｼｭで表示"));

  form_.Add(std::make_unique<Label>("Label3", ControlRect{10, 128, 140, 16}, "ｳｨﾝﾄﾞｳの濃さ"));
  form_.Add(std::make_unique<Label>("Label1", ControlRect{10, 150, 30, 16}, "Low"));
  HScroll1 = &form_.Add(std::make_unique<HScrollBar>("HScroll1", ControlRect{40, 148, 170, 17}));
  HScroll1->min = 0;
  HScroll1->max = 100;
  HScroll1->largeChange = 10;
  HScroll1->onChange = [this] { HScroll1_Change(); };
  form_.Add(std::make_unique<Label>("Label2", ControlRect{216, 150, 36, 16}, "High"));
  Label4 = &form_.Add(std::make_unique<Label>("Label4", ControlRect{254, 150, 30, 16}));
  Label4->align = Label::Align::kRight;

  auto& ok = form_.Add(std::make_unique<CommandButton>("Command1", ControlRect{108, 176, 84, 24}, "OK"));
  ok.onClick = [this] { Command1_Click(); };
  auto& cancel =
      form_.Add(std::make_unique<CommandButton>("Command2", ControlRect{200, 176, 84, 24}, "Cancel"));
  cancel.onClick = [this] { Command2_Click(); };
  form_.SetDefault(&ok);
  form_.onCancel = [this] { Command2_Click(); };
}

void OptionWindow::Form_Load(Font* font) {
  form_.SetFont(font);
  // The slider shows the density in hundredths, as the save file holds it.
  HScroll1->SetValue(static_cast<int>(std::lround(state_.WakuDensity * 100.0f)));
  HScroll1_Change();
  Check1->value = Check2->value = Check3->value = false;
  for (OptionButton* option : Option) option->value = false;
  if (state_.MsgMode >= 0 && state_.MsgMode <= 3) Option[state_.MsgMode]->Select();
  Check1->value = state_.BgmOn;
  Check2->value = state_.SeOn;
  Check3->value = state_.MeshOn;
  form_.SetFocus(form_.Find("Command1"));
  platform_.OpenForm(&form_);
  open_ = true;
  platform_.trace().Event(platform_.Ticks(), "dialog", {{"name", kFormName}, {"op", "open"}});
}

void OptionWindow::HScroll1_Change() {
  Label4->caption = std::to_string(HScroll1->Value());
  form_.Refresh();
}

void OptionWindow::Command1_Click() {
  if (!open_) return;
  state_.BgmOn = state_.SeOn = state_.MeshOn = true;
  for (int mode = 0; mode < 4; ++mode) {
    if (Option[mode]->value) state_.MsgMode = static_cast<std::int16_t>(mode);
  }
  // Skipping starts at once: the wait for the player ends.
  if (Option[0]->value) state_.KeyWait = false;
  if (!Check1->value) {
    state_.BgmOn = false;
    sound_.MusicStop();
  }
  if (!Check2->value) state_.SeOn = false;
  if (!Check3->value) state_.MeshOn = false;
  state_.WakuDensity = static_cast<float>(HScroll1->Value()) / 100.0f;
  // The skip item says what it would do next, whichever way skipping was
  // chosen.
  if (MenuItem* skip = mainForm_.FindMenu(menu::kSpeedup)) {
    skip->caption = state_.MsgMode == 0 ? menu::kStopSkipCaption : menu::kSkipCaption;
    mainForm_.UpdateMenu();
  }
  platform_.trace().Event(platform_.Ticks(), "dialog",
                          {{"name", kFormName}, {"op", "ok"}, {"MsgMode", int{state_.MsgMode}},
                           {"BgmOn", state_.BgmOn}, {"SeOn", state_.SeOn}, {"MeshOn", state_.MeshOn},
                           {"density", HScroll1->Value()}});
  Form_Unload(nullptr);
}

void OptionWindow::Command2_Click() {
  if (open_) Form_Unload("cancel");
}

void OptionWindow::Form_Unload(const char* op) {
  if (op != nullptr) platform_.trace().Event(platform_.Ticks(), "dialog", {{"name", kFormName}, {"op", op}});
  platform_.CloseForm(&form_);
  open_ = false;
  platform_.trace().Event(platform_.Ticks(), "dialog", {{"name", kFormName}, {"op", "close"}});
}

}  // namespace kovan
