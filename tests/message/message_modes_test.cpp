// The display modes, automatic text, captions and pauses, timed on the
// virtual clock.
#include <gtest/gtest.h>

#include "message_harness.h"

namespace kovan::testing {
namespace {

constexpr const char* kMixedLine = "今日はいい天気ですね。ABCとabc、それから１２３。";

TEST(MessageModes, WholeLineModesDrawAlikeAndOnlySkippingNeverWaits) {
  std::vector<std::vector<Rgb>> pages;
  for (int mode = 0; mode <= 3; ++mode) {
    MessageHarness h("until keys\nkey Enter\n");
    h.state.MsgMode = static_cast<std::int16_t>(mode);
    h.Say(kMixedLine);
    pages.push_back(h.form->Waku[0].Pixels());
    EXPECT_EQ(h.Events("wait").size(), mode == 0 ? 0u : 1u) << "mode " << mode;
    if (mode != 3) {
      // Drawn at once: the wait starts when the text does.
      EXPECT_EQ(h.platform->Ticks(), mode == 0 ? 0u : 10u) << "mode " << mode;
    }
  }
  EXPECT_EQ(pages[0], pages[1]);
  EXPECT_EQ(pages[1], pages[2]);
  EXPECT_NE(pages[2], pages[3]);  // one cell a character against the font's advance
}

TEST(MessageModes, CharacterModeTakesFortyMsACharacterThenWaits) {
  MessageHarness h("until keys\nwait 500\nkey Space\n");
  h.Say(Chars(30));
  const auto message = h.Fields("message", "t");
  const auto wait = h.Fields("wait", "t");
  ASSERT_EQ(message.size(), 1u);
  ASSERT_EQ(wait.size(), 1u);
  EXPECT_EQ(wait[0] - message[0], 1200);
  EXPECT_EQ(h.Fields("resume", "t"), (std::vector<long long>{1710}));
}

TEST(MessageModes, AutomaticTextNeverWaitsPausesASecondAndShowsTheDateTab) {
  MessageHarness h("until keys\nkey Enter\n");
  h.state.ClickMode = false;
  h.Say(Chars(30));
  EXPECT_EQ(h.platform->Ticks(), 30u * 60 + 1000);
  EXPECT_TRUE(h.state.DateTabOn);
  EXPECT_FALSE(h.form->Waku[3].shown);  // shown from the next message on
  h.state.MsgMode = 1;
  h.Say("次");
  EXPECT_EQ(h.platform->Ticks(), 30u * 60 + 2000);
  EXPECT_TRUE(h.form->Waku[3].shown);
  EXPECT_TRUE(h.Events("wait").empty());
}

TEST(MessageModes, CaptionIsCentredPausesTwoSecondsAndNeverEndsThePage) {
  MessageHarness h("until keys\nkey Enter\n");
  h.Say("窓");
  h.state.LineNo = 3;
  h.state.CaptionX = 1;
  h.state.CaptionY = 200;
  const std::uint32_t start = h.platform->Ticks();
  h.Say("  第一話  ");
  EXPECT_EQ(h.platform->Ticks() - start, 3u * 60 + 2000);
  EXPECT_EQ(h.Fields("caption", "x"), (std::vector<long long>{300}));
  EXPECT_EQ(h.Fields("caption", "y"), (std::vector<long long>{200}));
  EXPECT_NE(h.trace.str().find("\"text\":\"第一話\""), std::string::npos);
  EXPECT_EQ(h.Events("wait").size(), 1u);  // only the message before it
  EXPECT_EQ(h.state.LineNo, 4);            // counted, not cleared
  EXPECT_EQ(h.state.CaptionX, 0);
  EXPECT_FALSE(h.form->Waku[0].shown);
  int ink = 0;
  for (int y = 200; y < 222; ++y) {
    for (int x = 300; x < 360; ++x) ink += h.form->Pic_Main.Point(x, y) == kWhite;
  }
  EXPECT_GT(ink, 30);
}

TEST(WaitSec, TenRoundsASecondWithEventsDelivered) {
  MessageHarness h("wait 300\nkey Enter\n");
  h.messages->WaitSec(0);
  h.messages->WaitSec(-5);
  EXPECT_EQ(h.platform->Ticks(), 0u);
  h.state.KeyWait = true;
  h.messages->WaitSec(2);
  EXPECT_EQ(h.platform->Ticks(), 2000u);
  EXPECT_FALSE(h.state.KeyWait);
}

}  // namespace
}  // namespace kovan::testing
