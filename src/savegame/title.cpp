// The title screen and its four system-menu buttons.
#include "engine/game_exit.h"
#include "message/message_layout.h"
#include "savegame/savegame.h"
#include "savegame/story_restart.h"

namespace kovan {

namespace {

using namespace layout;

constexpr int kHighlightX = 179;
constexpr int kEffectClick = 100;
constexpr int kEffectHover = 101;
constexpr std::uint32_t kFlashMs = 50;

}  // namespace

void Savegame::SetItems(std::initializer_list<const char*> items, bool enabled) {
  for (const char* name : items) {
    if (MenuItem* item = form_.FindMenu(name)) item->enabled = enabled;
  }
  form_.UpdateMenu();
}

void Savegame::TitleDisp() {
  SetItems({menu::kProgLoad, menu::kProgSave, menu::kSpeedup, menu::kOptMenu, menu::kVvrr}, false);
  for (Surface& button : form_.Smenu) button.shown = true;
  titleEnabled_ = {true, false, false, true};
  SetItems({menu::kOptMenu, menu::kVvrr}, true);
  platform_.SetImeOpen(false);
  // The buttons keep their last look; only the keyboard's idea of which
  // one is highlighted starts afresh, so Enter does nothing until an arrow
  // or the pointer picks a button.
  state_.LastHover = kNoHover;
  titleShown_ = true;
  platform_.stage().Invalidate();
  platform_.trace().Event(platform_.Ticks(), "title", {{"op", "show"}});
}

void Savegame::DrawTitleButton(int k, bool highlighted) {
  BitBlt(form_.Smenu[k], 0, 0, kButtonWidth, kButtonHeight, form_.Texture,
         highlighted ? kHighlightX : kButtonX, kButtonY + kButtonStep * k, RasterOp::kSrcCopy);
  platform_.stage().Invalidate();
}

void Savegame::Smenu_MouseMove(int k) {
  // Disabled buttons get no pointer events.
  if (!titleShown_ || k < 0 || k > 3 || !titleEnabled_[k] || k == state_.LastHover) return;
  state_.LastHover = static_cast<std::int16_t>(k);
  for (int j = 0; j < 4; ++j) DrawTitleButton(j, j == k);
  platform_.Present();
  // The title's sounds play whatever the options say.
  sound_.EffectPlay(kEffectHover);
}

void Savegame::Smenu_MouseDown(int k) {
  if (!titleShown_ || k < 0 || k > 3 || !titleEnabled_[k]) return;
  sound_.EffectPlay(kEffectClick);
  if (k == 3) {
    platform_.trace().Event(platform_.Ticks(), "title", {{"op", "quit"}});
    prog_end_Click();
    return;
  }
  if (k != 0) return;
  titleShown_ = false;
  SetItems({menu::kSpeedup, menu::kProgLoad, menu::kProgSave}, true);
  for (int i = 0; i < 2; ++i) {
    DrawTitleButton(0, false);
    platform_.Present();
    platform_.Sleep(kFlashMs);
    DrawTitleButton(0, true);
    platform_.Present();
    platform_.Sleep(kFlashMs);
  }
  // The buttons' last look stays on the picture until the story draws over
  // it.
  for (int i = 0; i < 4; ++i) {
    Surface& button = form_.Smenu[i];
    button.left = kButtonLeft;
    button.top = kButtonTop + kButtonStep * i;
    BitBlt(form_.Pic_Main, button.left, button.top, kButtonWidth, kButtonHeight, button, 0, 0,
           RasterOp::kSrcCopy);
    button.shown = false;
  }
  platform_.stage().Invalidate();
  state_.DateTabOn = true;
  platform_.trace().Event(platform_.Ticks(), "title", {{"op", "start"}});
  throw StoryRestart{state_.SeqPos + 1, "start"};
}

namespace {

// The live buttons in order, for the keyboard.
int NextLive(const std::array<bool, 4>& enabled, int from, int step) {
  int k = from >= 0 && from < 4 ? from : (step > 0 ? -1 : 4);
  for (int tries = 0; tries < 4; ++tries) {
    k = (k + step + 4) % 4;
    if (enabled[k]) return k;
  }
  return -1;
}

}  // namespace

bool Savegame::OnTitleKey(const Key& key) {
  if (!titleShown_) return false;
  switch (key.code) {
    case KeyCode::kUp:
    case KeyCode::kDown: {
      const int next = NextLive(titleEnabled_, state_.LastHover, key.code == KeyCode::kUp ? -1 : 1);
      if (next >= 0) Smenu_MouseMove(next);
      return true;
    }
    case KeyCode::kEnter:
    case KeyCode::kSpace:
      if (state_.LastHover >= 0 && state_.LastHover < 4) Smenu_MouseDown(state_.LastHover);
      return true;
    default:
      return false;
  }
}

bool Savegame::OnTitleWheel(int steps) {
  if (!titleShown_ || steps == 0) return false;
  return OnTitleKey(Key{steps > 0 ? KeyCode::kUp : KeyCode::kDown, 0});
}

void Savegame::prog_end_Click() {
  if (platform_.MessageBox("終了しますか？", MsgBoxButtons::kYesNo) != MsgBoxAnswer::kNo) {
    throw GameExit{"quit", 0};
  }
}

}  // namespace kovan
