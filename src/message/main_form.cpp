#include "message/main_form.h"

namespace kovan {

MainForm::MainForm(Platform& p) : platform(p) {
  Stage& stage = platform.stage();
  Pic_Main.name = "Pic_Main";
  Pic_Main.zOrder = zorder::kScene;
  stage.Add(&Pic_Main);
  for (int i = 0; i < 3; ++i) {
    Doll_Disp[i].name = "Doll_Disp(" + std::to_string(i) + ")";
    Doll_Disp[i].zOrder = zorder::kDoll + i;
    stage.Add(&Doll_Disp[i]);
  }
  for (int i = 0; i < 4; ++i) {
    Smenu[i].name = "Smenu(" + std::to_string(i) + ")";
    Smenu[i].zOrder = zorder::kTitleButton;
    stage.Add(&Smenu[i]);
  }
  for (int i = 0; i < 7; ++i) Waku[i].name = "Waku(" + std::to_string(i) + ")";
  Waku[0].zOrder = zorder::kWaku;
  Waku[3].zOrder = zorder::kDateTab;
  stage.Add(&Waku[0]);
  stage.Add(&Waku[3]);

  auto label = [&](Surface& s, const std::string& name, const Surface& container) {
    s.name = name;
    s.container = &container;
    s.keyBlack = true;
    s.zOrder = zorder::kLabel;
    stage.Add(&s);
  };
  label(Blinker, "Blinker", Waku[0]);
  label(Dtime_label, "Dtime_label", Waku[3]);
  for (int i = 0; i < 3; ++i) label(SelTxt[i], "SelTxt(" + std::to_string(i) + ")", Waku[0]);

  // Only quitting is offered until the title or the story switches the
  // rest on.
  Menu = {MenuItem{menu::kProgEnd, "終了"},
          MenuItem{menu::kProgLoad, "ロード", false},
          MenuItem{menu::kProgSave, "セーブ", false},
          MenuItem{menu::kOptMenu, "設定", false},
          MenuItem{menu::kSpeedup, menu::kSkipCaption, false},
          MenuItem{menu::kVvrr, "バージョン", false}};
  UpdateMenu();
}

MainForm::~MainForm() {
  Stage& stage = platform.stage();
  for (const Surface* s : {&Pic_Main, &Waku[0], &Waku[3], &Blinker, &Dtime_label}) {
    stage.Remove(s);
  }
  for (const auto& s : Doll_Disp) stage.Remove(&s);
  for (const auto& s : Smenu) stage.Remove(&s);
  for (const auto& s : SelTxt) stage.Remove(&s);
}

void MainForm::UpdateMenu() {
  // Every item whose enabled state changes is traced.
  const std::vector<MenuItem>& before = platform.Menu();
  for (const MenuItem& item : Menu) {
    for (const MenuItem& old : before) {
      if (old.name == item.name && old.enabled != item.enabled) {
        platform.trace().Event(platform.Ticks(), "menu",
                               {{"item", item.name}, {"enabled", item.enabled}});
      }
    }
  }
  platform.SetMenu(std::vector<MenuItem>(Menu.begin(), Menu.end()));
}

MenuItem* MainForm::FindMenu(const std::string& name) {
  for (auto& item : Menu) {
    if (item.name == name) return &item;
  }
  return nullptr;
}

}  // namespace kovan
