// Page arithmetic of the message window: lines of 30 characters, pages of
// four lines, new pages on a speaker change, enlarged messages.
#include <gtest/gtest.h>

#include <limits>

#include "message_harness.h"

namespace kovan::testing {
namespace {

using LineNos = std::vector<long long>;

TEST(MessagePages, ThirtyCharactersALineFourLinesAPage) {
  MessageHarness h;
  h.state.MsgMode = 0;
  h.Say(Chars(30));  // narration after opening: the top line stays empty
  EXPECT_EQ(h.state.LineNo, 2);
  h.Say(Chars(31));  // two lines reach the fourth: the page clears
  EXPECT_EQ(h.state.LineNo, 0);
  h.Say(Chars(60));  // exactly two lines, no empty third
  EXPECT_EQ(h.state.LineNo, 2);
  h.Say("");
  EXPECT_EQ(h.state.LineNo, 3);
  EXPECT_EQ(h.Fields("message", "lineNo"), (LineNos{1, 2, 0, 2}));
}

TEST(MessagePages, SpeakerChangesStartNewPages) {
  MessageHarness h;
  h.state.MsgMode = 0;
  for (int i = 0; i < 3; ++i) h.Say("いらっしゃい", 1, "【店長】");
  // The third line filled the page: it is the clean page again.
  EXPECT_EQ(h.state.LineNo, 0);
  EXPECT_EQ(h.form->LastSpeaker, 0);
  EXPECT_EQ(h.form->Waku[0].Pixels(), h.form->Waku[6].Pixels());

  h.Say("また来てね", 1, "【店長】");  // the same speaker after a clear: tag again
  bool tagInk = false;
  for (int x = 30; x < 100; ++x) tagInk = tagInk || h.form->Waku[0].Point(x, 22) == kSpeakerInk;
  EXPECT_TRUE(tagInk);
  h.Say("店を出た。");  // narration after a speaker: second line
  h.Say("雨だ。");
  h.Say("傘がない。");  // fills the page
  h.Say("走った。");    // narration goes on from the top line
  EXPECT_EQ(h.Fields("message", "lineNo"), (LineNos{1, 2, 3, 1, 1, 2, 3, 0}));
  EXPECT_NE(h.Events("message")[0].find("\"tag\":\"【店長】\""), std::string::npos);
  EXPECT_NE(h.Events("message")[4].find("\"rgb\":[192,192,255]"), std::string::npos);
}

TEST(MessagePages, MessageRunningPastTheFourthLineClearsThePage) {
  MessageHarness h;
  h.state.MsgMode = 0;
  h.Say("一行目");
  h.Say("二行目");
  h.Say(Chars(61));  // lines 3, 4 and 5
  EXPECT_EQ(h.state.LineNo, 0);
  EXPECT_EQ(h.form->Waku[0].Pixels(), h.form->Waku[6].Pixels());
  h.Say("次のページ");
  EXPECT_EQ(h.Fields("message", "lineNo"), (LineNos{1, 2, 3, 0}));
}

// The clean page with "■" drawn at each x of a line, in narration ink.
Surface PageWith(MessageHarness& h, double points, int y, std::vector<int> xs) {
  Surface page = h.form->Waku[6];
  Font* font = h.messages->FontAt(points);
  for (int x : xs) font->TextOut(page, x, y, "■", kNarrationInk);
  return page;
}

TEST(MessagePages, EnlargedMessageWidensTheCellsAndTakesAnExtraLine) {
  MessageHarness h;
  h.state.ClickMode = false;  // no waits; the page clears only at four lines
  h.state.NextFontSize = 20;  // 27 px, read back as 20.25 pt: cells of 25
  h.Say("■■");
  ASSERT_NE(h.messages->FontAt(20), nullptr);
  EXPECT_EQ(h.form->Waku[0].Pixels(), PageWith(h, 20, 35, {30, 55}).Pixels());
  EXPECT_EQ(h.state.LineNo, 3);
  EXPECT_EQ(h.state.NextFontSize, 0);

  h.messages->WakuClear();
  h.Say("■■");  // back to 12 pt and cells of 17
  EXPECT_EQ(h.form->Waku[0].Pixels(), PageWith(h, 12, 18, {30, 47}).Pixels());
  h.state.NextFontSize = 10;  // smaller than standard: no extra line
  h.Say("小");
  EXPECT_EQ(h.state.LineNo, 2);
}

TEST(MessageOut, OutlandishValuesDrawWithoutHarm) {
  MessageHarness h;
  h.state.MsgMode = 0;
  h.state.WakuDensity = std::numeric_limits<float>::quiet_NaN();
  h.form->SlotUsed = {true, true, true};
  h.form->SlotX = {-30000, 32000, 0, 0, 0};
  h.form->SlotW = {-5, 32000, 1, 0, 0};
  for (std::int16_t size : {std::int16_t{-7}, std::int16_t{32767}}) {
    h.state.NextFontSize = size;
    h.Say(Chars(45) + "\xff\xfe\x80");
  }
  h.state.LineNo = 32766;
  h.Say(Chars(90));
  EXPECT_EQ(h.state.LineNo, 0);  // saturated at the top, then cleared
  h.state.CaptionX = 1;
  h.Say(std::string(5000, 'x'));
  EXPECT_EQ(h.Fields("caption", "x"), (std::vector<long long>{320 - 4999 * 10}));
}

TEST(MessageOut, CallWhileAMessageIsDrawnIsIgnored) {
  MessageHarness h("key a\n");
  h.state.MsgMode = 0;
  // The key arrives while the message lets events run.
  h.onKey = [&](const Key&) { h.Say("割り込み"); };
  h.Say("本文");
  EXPECT_EQ(h.Events("message").size(), 1u);
  EXPECT_EQ(h.state.LineNo, 2);
  EXPECT_FALSE(h.form->MsgBusy);
}

}  // namespace
}  // namespace kovan::testing
