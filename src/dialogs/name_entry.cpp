#include "dialogs/name_entry.h"

#include "dialogs/name_rules.h"

namespace kovan {

namespace {

constexpr const char* kFormName = "NameEnt";
constexpr int kClientW = 372;
constexpr int kClientH = 112;
constexpr Rgb kRefusedText = MakeRgb(192, 0, 0);

}  // namespace

NameEntry::NameEntry(Platform& platform, EngineState& state)
    : platform_(platform), state_(state), form_(kFormName, "なまえの変更", kClientW, kClientH) {
  form_.Centre(Stage::kWidth, Stage::kHeight);
  Build();
}

NameEntry::~NameEntry() { platform_.CloseForm(&form_); }

void NameEntry::Build() {
  form_.Add(std::make_unique<Label>(
      "Label1", ControlRect{10, 8, 356, 32},
      "主人公の名前を変更できます。\r\n好きな名前を入力して「OK」ボタンをクリックしてください。"));
  Text1 = &form_.Add(std::make_unique<TextBox>("Text1", ControlRect{10, 48, 250, 24}));
  // Typing stops at the longest name; a longer text can only be set by a
  // program, and then keeps the old names.
  Text1->maxLength = kNameMaxLength;
  Text1->onChange = [this] {
    if (Label2->visible) {
      Label2->visible = false;
      form_.Refresh();
    }
  };
  auto& ok = form_.Add(std::make_unique<CommandButton>("Command1", ControlRect{276, 47, 86, 26}, "ＯＫ"));
  ok.onClick = [this] { Command1_Click(); };
  form_.SetDefault(&ok);
  Label2 = &form_.Add(std::make_unique<Label>("Label2", ControlRect{10, 82, 356, 28}));
  Label2->foreColor = kRefusedText;
  Label2->visible = false;
  // There is no Cancel: the story waits for a name.
}

void NameEntry::Form_Load(Font* font) {
  form_.SetFont(font);
  Text1->font = font;
  Label2->visible = false;
  Text1->SetText(JoinName(state_.CharName[1], state_.CharName[2]));
  form_.SetFocus(Text1);
  Text1->SelectAll();  // typing replaces the old name
  platform_.OpenForm(&form_);
  open_ = true;
  platform_.trace().Event(platform_.Ticks(), "dialog",
                          {{"name", kFormName}, {"op", "open"}, {"text", Text1->Text()}});
}

void NameEntry::Command1_Click() {
  if (!open_) return;
  const std::string text = Text1->Text();
  const std::optional<ProtagonistName> name = SplitName(text);
  // A save must always be writable: a name that can't be saved stays here.
  if (const std::optional<std::string> bad =
          name ? FirstUnsavableCharacter(text) : std::nullopt) {
    Label2->caption = "「" + *bad + "」は名前に使えない文字です。\r\n別の文字に変えてください。";
    Label2->visible = true;
    form_.SetFocus(Text1);
    form_.Refresh();
    platform_.trace().Event(platform_.Ticks(), "dialog",
                            {{"name", kFormName}, {"op", "refused"}, {"text", text}});
    return;
  }
  if (name) {
    state_.CharName[1] = name->family;
    state_.CharName[2] = name->given;
  }
  platform_.trace().Event(platform_.Ticks(), "dialog",
                          {{"name", kFormName}, {"op", "ok"}, {"text", text},
                           {"family", state_.CharName[1]}, {"given", state_.CharName[2]}});
  platform_.CloseForm(&form_);
  open_ = false;
  platform_.SetImeOpen(false);
  state_.KeyWait = false;
  platform_.trace().Event(platform_.Ticks(), "dialog", {{"name", kFormName}, {"op", "close"}});
}

}  // namespace kovan
