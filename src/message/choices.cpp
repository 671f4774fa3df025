#include "message/choices.h"

#include <algorithm>

#include "engine/scenario.h"
#include "engine/script_numbers.h"
#include "message/message_layout.h"

namespace kovan {

namespace {

using namespace layout;

constexpr int kMaxOptions = 3;
constexpr int kLabelPadding = 10;
constexpr std::uint32_t kPollMs = 50;
constexpr std::uint32_t kPickPauseMs = 1000;
constexpr int kEffectHover = 101;
constexpr int kEffectPick = 102;
constexpr int kStepExecuteNow = 1;
constexpr int kStepNextLine = 2;
constexpr Rgb kOptionGrey = MakeRgb(192, 192, 192);
constexpr Rgb kOptionRed = MakeRgb(255, 0, 0);

}  // namespace

Choices::Choices(Platform& platform, EngineState& state, MainForm& form, Messages& messages,
                 Sound& sound)
    : platform_(platform), state_(state), form_(form), messages_(messages), sound_(sound) {}

int Choices::Refuse(const std::string& why) {
  platform_.MessageBox("選択肢を表示できません（セクション " + std::to_string(state_.SectionNo) +
                           "）: " + why,
                       MsgBoxButtons::kOk);
  return kStepNextLine;
}

int Choices::ChoiceSelect() {
  ChoiceRows.clear();
  const std::optional<std::int16_t> count = ScriptNumber(state_.LineText);
  if (!count || *count < 1 || *count > kMaxOptions) {
    return Refuse("選択肢の数「" + state_.LineText + "」は 1 から 3 ではありません");
  }
  const int n = *count;
  if (std::optional<std::int32_t> first = FindChoiceSet(state_, state_.SectionNo)) {
    state_.ChoiceFirst = *first;
  } else {
    platform_.MessageBox("SCT not found.", MsgBoxButtons::kOk);
  }
  // The previous set stands in for a missing one; neither may run past the
  // rows that were loaded.
  if (state_.ChoiceFirst < 0 || state_.ChoiceFirst + n - 1 > state_.SctLast) {
    return Refuse("選択肢の表が足りません");
  }

  form_.Blinker.shown = false;
  SetPlayItems(false);
  if (!form_.Waku[0].shown) messages_.WakuOpen();
  messages_.WakuClear();

  ShowOptions(n);

  // Whatever was highlighted last (an option of an earlier choice, a title
  // button) must not keep the first hover here from counting.
  state_.LastHover = kNoHover;
  state_.JumpSection = 0;
  state_.ChoiceNo = -1;
  waiting_ = true;
  std::vector<std::string> captions;
  for (const Row& row : ChoiceRows) captions.push_back(row.caption);
  platform_.trace().Event(platform_.Ticks(), "choice", {{"options", captions}});
  platform_.stage().Invalidate();
  while (state_.ChoiceNo < 0) {
    platform_.SetGameState("choice");
    platform_.WaitSteps(kPollMs);
    platform_.DoEvents();
  }
  waiting_ = false;

  for (int i = 0; i < n; ++i) form_.SelTxt[i].shown = false;
  platform_.stage().Invalidate();
  platform_.Present();
  state_.SeqPos = ChoiceRows[static_cast<std::size_t>(state_.ChoiceNo)].target;
  platform_.trace().Event(platform_.Ticks(), "pick",
                          {{"index", int{state_.ChoiceNo}}, {"pos", std::int64_t{state_.SeqPos}}});
  if (state_.MsgMode == 0) state_.MsgMode = 1;
  form_.LastSpeaker = 0;
  SetPlayItems(true);
  if (MenuItem* skip = form_.FindMenu(menu::kSpeedup)) skip->caption = menu::kSkipCaption;
  form_.UpdateMenu();
  return kStepExecuteNow;
}

void Choices::ShowOptions(int n) {
  Font* font = messages_.FontAt(kMessagePoints);
  int widest = 0;
  for (int i = 0; i < n; ++i) {
    const SctRecord& row = state_.Sct[static_cast<std::size_t>(state_.ChoiceFirst + i)];
    ChoiceRows.push_back(Row{i, TrimBlanks(row.Text), row.Target});
    if (font != nullptr) widest = std::max(widest, font->TextWidth(ChoiceRows.back().caption));
  }
  width_ = widest + kLabelPadding;
  for (int i = 0; i < n; ++i) {
    Paint(i, kOptionGrey);
    form_.SelTxt[i].shown = true;
  }
}

void Choices::SetPlayItems(bool enabled) {
  for (const char* item : {menu::kProgLoad, menu::kProgSave, menu::kSpeedup}) {
    if (MenuItem* m = form_.FindMenu(item)) m->enabled = enabled;
  }
  form_.UpdateMenu();
}

// The caption in the colour over black (the label's see-through colour),
// every shown option as wide as the widest.
void Choices::Paint(int i, Rgb colour) {
  Surface& label = form_.SelTxt[static_cast<std::size_t>(i)];
  label.SetBackColor(kBlack);
  label.Resize(width_, form_.LinePitch);
  if (Font* font = messages_.FontAt(kMessagePoints)) {
    font->TextOut(label, 0, 0, ChoiceRows[static_cast<std::size_t>(i)].caption, colour);
  }
  platform_.stage().Invalidate();
}

void Choices::Highlight(int i) {
  state_.LastHover = static_cast<std::int16_t>(i);
  for (int j = 0; j < static_cast<int>(ChoiceRows.size()); ++j) {
    Paint(j, j == i ? kOptionRed : kOptionGrey);
  }
  if (state_.SeOn) sound_.EffectPlay(kEffectHover);
  platform_.Present();
}

void Choices::SelTxt_MouseMove(int i) {
  if (!waiting_ || i < 0 || i >= static_cast<int>(ChoiceRows.size())) return;
  if (!form_.HoverArmed || i == state_.LastHover) return;
  Highlight(i);
}

void Choices::SelTxt_MouseDown(int i, MouseButton button) {
  if (button == MouseButton::kRight) return;
  // One pick per choice: the pause below lets no second one in.
  if (!waiting_ || state_.ChoiceNo >= 0 || i < 0 || i >= static_cast<int>(ChoiceRows.size())) {
    return;
  }
  form_.HoverArmed = false;
  Paint(i, kOptionRed);
  platform_.Present();
  if (state_.SeOn) sound_.EffectPlay(kEffectPick);
  // The picked option stays red for a second before the choice closes.
  platform_.Sleep(kPickPauseMs);
  state_.ChoiceNo = static_cast<std::int16_t>(i);
}

// The keys move the highlight whether or not the pointer may: a player on
// the keyboard alone must always be able to pick.
void Choices::MoveHighlight(int step) {
  const int n = static_cast<int>(ChoiceRows.size());
  const int at = state_.LastHover;
  const int next = at >= 0 && at < n ? (at + step + n) % n : (step > 0 ? 0 : n - 1);
  Highlight(next);
}

bool Choices::OnKeyDown(const Key& key) {
  if (!waiting_ || state_.ChoiceNo >= 0) return false;
  switch (key.code) {
    case KeyCode::kUp:
      MoveHighlight(-1);
      return true;
    case KeyCode::kDown:
      MoveHighlight(1);
      return true;
    case KeyCode::kEnter:
    case KeyCode::kSpace:
      if (state_.LastHover >= 0 && state_.LastHover < static_cast<int>(ChoiceRows.size())) {
        SelTxt_MouseDown(state_.LastHover, MouseButton::kLeft);
      }
      return true;
    default:
      return false;
  }
}

bool Choices::OnWheel(int steps) {
  if (!waiting_ || state_.ChoiceNo >= 0 || steps == 0) return false;
  MoveHighlight(steps > 0 ? -1 : 1);
  return true;
}

}  // namespace kovan
