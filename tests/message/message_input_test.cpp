// Waiting for the player: what ends a wait, the blinking marker, hiding and
// restoring the window, and the skip item.
#include <gtest/gtest.h>

#include <utility>

#include "message_harness.h"

namespace kovan::testing {
namespace {

struct WaitCase {
  const char* name;
  const char* script;
  long long resumeAt;
};

class WaitEnds : public ::testing::TestWithParam<WaitCase> {};

TEST_P(WaitEnds, AtTheInputThatEndsIt) {
  MessageHarness h(GetParam().script);
  Surface& doll = h.form->Doll_Disp[2];
  doll.Resize(150, 300);
  doll.left = 400;
  doll.shown = true;
  h.state.MsgMode = 1;
  h.Say("待つ");
  EXPECT_EQ(h.Fields("resume", "t"), (std::vector<long long>{GetParam().resumeAt}));
  EXPECT_FALSE(h.form->Blinker.shown);
  EXPECT_FALSE(h.state.KeyWait);
}

// The wait begins at 0; `until keys` passes at 10.
INSTANTIATE_TEST_SUITE_P(
    Inputs, WaitEnds,
    ::testing::Values(
        WaitCase{"ClickOnWindow", "until keys\nwait 290\nclick 100 400\n", 300},
        WaitCase{"ClickOnScene", "until keys\nwait 290\nclick 100 100\n", 300},
        WaitCase{"ClickOnCharacter", "until keys\nwait 290\nclick 450 100\n", 300},
        WaitCase{"ClickOnMarker", "until keys\nwait 590\nclick 590 445\n", 600},
        WaitCase{"Enter", "until keys\nwait 290\nkey Enter\n", 300},
        WaitCase{"Space", "until keys\nwait 290\nkey Space\n", 300},
        WaitCase{"OthersDoNothing",
                 "until keys\nrclick 100 100\nkey a\nkey Escape\nwait 260\nkey Enter\n", 300}),
    [](const ::testing::TestParamInfo<WaitCase>& info) { return std::string(info.param.name); });

TEST(Keys, MarkerShowsAfterHalfASecondAndBlinksUntilTheWaitEnds) {
  MessageHarness h("until keys\nwait 1690\nclick 100 400\n");
  std::vector<std::pair<std::uint32_t, bool>> changes;
  bool last = false;
  h.platform->AddTimer(10, [&] {
    if (h.form->Blinker.shown == last) return;
    last = h.form->Blinker.shown;
    changes.emplace_back(h.platform->Ticks(), last);
  });
  h.state.MsgMode = 1;
  h.Say("待つ");
  const std::vector<std::pair<std::uint32_t, bool>> expected = {
      {500, true}, {1000, false}, {1500, true}};
  EXPECT_EQ(changes, expected);
  EXPECT_EQ(h.platform->Ticks(), 1700u);
  EXPECT_FALSE(h.form->Blinker.shown);
  last = false;
  h.messages->WaitSec(2);  // the marker stays off after the wait
  EXPECT_EQ(changes, expected);
}

// A handler may unwind through a wait or a caption (a game being left or
// loaded); nothing is left behind that would hang or mute later messages.
TEST(Keys, LeavingThroughAHandlerTidiesUp) {
  MessageHarness h("until keys\nwait 690\n");  // runs out at 700, the marker on
  h.state.MsgMode = 1;
  EXPECT_THROW(h.Say("待つ"), std::runtime_error);
  EXPECT_FALSE(h.form->Blinker.shown);
  EXPECT_TRUE(h.Events("resume").empty());
  h.messages->WaitSec(1);  // its timer is off
  EXPECT_FALSE(h.form->Blinker.shown);

  MessageHarness c("wait 500\nquit\n");
  c.state.CaptionX = 1;
  EXPECT_THROW(c.Say("幕間"), std::runtime_error);
  EXPECT_FALSE(c.form->MsgBusy);
}

// A window on screen, waiting for the player.
void OpenAndWait(MessageHarness& h) {
  h.state.MsgMode = 0;
  h.Say("窓");
  h.state.MsgMode = 1;
  h.state.KeyWait = true;
  h.form->FindMenu(menu::kOptMenu)->enabled = true;
}

class HiddenWindow : public ::testing::TestWithParam<bool> {};

TEST_P(HiddenWindow, IgnoresInputUntilARightClickOnTheSceneRestoresIt) {
  MessageHarness h;
  h.state.DateTabOn = GetParam();
  OpenAndWait(h);
  Messages& m = *h.messages;
  m.OnMouseDown(MouseButton::kRight, 100, 400);
  EXPECT_TRUE(h.form->WakuHidden);
  EXPECT_FALSE(h.form->Waku[0].shown);
  EXPECT_FALSE(h.form->Waku[3].shown);
  EXPECT_FALSE(h.platform->Menu()[3].enabled);  // the options
  m.OnMouseDown(MouseButton::kLeft, 100, 400);  // the scene, now the window is gone
  m.OnKeyDown(Key{KeyCode::kEnter});
  m.OnKeyDown(Key{KeyCode::kSpace});
  EXPECT_TRUE(h.state.KeyWait);
  m.OnMouseDown(MouseButton::kRight, 100, 100);
  EXPECT_FALSE(h.form->WakuHidden);
  EXPECT_TRUE(h.form->Waku[0].shown);
  EXPECT_EQ(h.form->Waku[3].shown, GetParam());
  EXPECT_TRUE(h.platform->Menu()[3].enabled);
  m.OnMouseDown(MouseButton::kLeft, 100, 100);
  EXPECT_FALSE(h.state.KeyWait);
}

INSTANTIATE_TEST_SUITE_P(DateTab, HiddenWindow, ::testing::Bool());

TEST(HidingTheWindow, OnlyInPlayerPacedTextAndItStopsSkipping) {
  MessageHarness h;
  OpenAndWait(h);
  h.state.ClickMode = false;
  h.messages->OnMouseDown(MouseButton::kRight, 100, 400);
  EXPECT_FALSE(h.form->WakuHidden);
  EXPECT_TRUE(h.form->Waku[0].shown);
  EXPECT_TRUE(h.state.KeyWait);

  h.state.ClickMode = true;
  h.messages->speedup_Click();
  EXPECT_EQ(h.state.MsgMode, 0);
  h.messages->OnMouseDown(MouseButton::kRight, 100, 400);
  EXPECT_EQ(h.state.MsgMode, 1);
  EXPECT_EQ(h.platform->Menu()[4].caption, menu::kSkipCaption);
}

TEST(SkipItem, EndsTheWaitAtOnceAndLaterMessagesAreNotWaitedOn) {
  MessageHarness h("until keys\nwait 190\nmenu speedup\n");
  h.EnableSkipItem();
  h.state.MsgMode = 1;
  h.Say("一");
  EXPECT_EQ(h.Fields("resume", "t"), (std::vector<long long>{200}));
  EXPECT_EQ(h.platform->Menu()[4].caption, menu::kStopSkipCaption);
  h.Say("二");
  h.Say("三");
  EXPECT_EQ(h.Events("wait").size(), 1u);
  h.messages->speedup_Click();
  EXPECT_EQ(h.state.MsgMode, 1);
  EXPECT_EQ(h.platform->Menu()[4].caption, menu::kSkipCaption);
}

// The skip item ends a wait while the player has hidden the window; the
// next message opens the window again, and clicks work again.
TEST(SkipItem, WindowReopenedAfterThePlayerHidItTakesClicks) {
  MessageHarness h("until keys\nrclick 100 400\nmenu speedup\nuntil keys\nclick 100 100\n");
  h.EnableSkipItem();
  h.state.MsgMode = 1;
  h.Say("一");
  h.Say("二");  // skipping: reopens the window without a wait
  EXPECT_TRUE(h.form->Waku[0].shown);
  EXPECT_FALSE(h.form->WakuHidden);
  EXPECT_TRUE(h.form->FindMenu(menu::kOptMenu)->enabled);
  h.state.MsgMode = 1;
  EXPECT_NO_THROW(h.Say("三"));
  EXPECT_EQ(h.Events("resume").size(), 2u);
}

}  // namespace
}  // namespace kovan::testing
