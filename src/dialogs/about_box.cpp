#include "dialogs/about_box.h"

namespace kovan {

namespace {

constexpr const char* kFormName = "frmAbout";
constexpr int kClientW = 420;
constexpr int kClientH = 262;
constexpr Rgb kLinkColour = MakeRgb(0, 0, 255);
constexpr Rgb kTitleColour = MakeRgb(0, 0, 128);

}  // namespace

AboutBox::AboutBox(Platform& platform)
    : platform_(platform), form_(kFormName, "ﾊﾞｰｼﾞｮﾝ情報", kClientW, kClientH) {
  form_.Centre(Stage::kWidth, Stage::kHeight);
  form_.modal = false;
  Build();
}

AboutBox::~AboutBox() { platform_.CloseForm(&form_); }

void AboutBox::Build() {
  Label5 = &form_.Add(std::make_unique<Label>("Label5", ControlRect{14, 10, 392, 26}, "KOVAN"));
  Label5->foreColor = kTitleColour;
  form_.Add(std::make_unique<Label>("Label6", ControlRect{14, 40, 392, 16}, "体験版Ver. 0.20"));
  form_.Add(std::make_unique<Label>(
      "Label1", ControlRect{14, 66, 392, 32},
      "MMXPentium200MHz以上のCPUと800×600dot×24bit色\r\n"
      "以上(TrueColor)のｸﾞﾗﾌｨｯｸ表示が可能な環境が必要です。"));
  form_.Add(std::make_unique<Label>(
      "Label2", ControlRect{14, 108, 392, 48},
      "この体験版は自由に配布していただいてかまいません。\r\n"
      "ご意見・ご感想は下のアドレスまでお寄せください。\r\n"
      "最新の情報はホームページでお知らせします。"));
  Label3 = &form_.Add(std::make_unique<Label>("Label3", ControlRect{14, 166, 300, 16}, kAboutMailLink));
  Label4 = &form_.Add(std::make_unique<Label>("Label4", ControlRect{14, 188, 300, 16}, kAboutWebLink));
  for (Label* link : {Label3, Label4}) {
    link->foreColor = kLinkColour;
    link->underline = true;
  }
  Label3->onClick = [this] { Label3_Click(); };
  Label4->onClick = [this] { Label4_Click(); };
  auto& ok = form_.Add(std::make_unique<CommandButton>("cmdOK", ControlRect{318, 226, 88, 26}, "OK"));
  ok.onClick = [this] { cmdOK_Click(); };
  form_.SetDefault(&ok);
  form_.onCancel = [this] { cmdOK_Click(); };
  form_.onLostFocus = [this] { Form_LostFocus(); };
}

void AboutBox::Form_Load(Font* font, Font* titleFont) {
  form_.SetFont(font);
  Label5->font = titleFont;
  form_.SetFocus(form_.Find("cmdOK"));
  platform_.OpenForm(&form_);
  open_ = true;
  platform_.trace().Event(platform_.Ticks(), "dialog", {{"name", kFormName}, {"op", "open"}});
}

void AboutBox::cmdOK_Click() { Close("ok"); }

void AboutBox::Form_LostFocus() { Close("lost-focus"); }

void AboutBox::Close(const char* how) {
  if (!open_) return;
  platform_.trace().Event(platform_.Ticks(), "dialog", {{"name", kFormName}, {"op", how}});
  platform_.CloseForm(&form_);
  open_ = false;
  platform_.trace().Event(platform_.Ticks(), "dialog", {{"name", kFormName}, {"op", "close"}});
}

void AboutBox::Label3_Click() { OpenLink(*Label3); }

void AboutBox::Label4_Click() { OpenLink(*Label4); }

void AboutBox::OpenLink(const Label& label) {
  platform_.trace().Event(platform_.Ticks(), "dialog",
                          {{"name", kFormName}, {"op", "link"}, {"target", label.caption}});
  if (Status opened = platform_.OpenLink(label.caption); !opened) {
    platform_.MessageBox("リンクを開けませんでした。\n" + opened.error(), MsgBoxButtons::kOk);
  }
}

}  // namespace kovan
