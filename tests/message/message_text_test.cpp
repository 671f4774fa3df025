// Message text: lines of 30 characters, pages of four lines, new pages on
// a speaker change, enlarged messages, the display modes and captions,
// timed on the virtual clock.
#include <gtest/gtest.h>

#include <limits>

#include "engine/game_exit.h"
#include "pixels.h"
#include "test_game.h"

namespace kovan::testing {
namespace {

using Numbers = std::vector<std::int64_t>;

std::string Chars(int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s += "あ";
  return s;
}

struct Said {
  std::string text;
  std::int16_t speaker = 0;
};

struct PageCase {
  const char* name;
  std::vector<Said> says;
  Numbers lineNos;  // the page line each message starts on
  int lineAfter;    // LineNo after the last one
};
void PrintTo(const PageCase& c, std::ostream* out) { *out << c.name; }

class Pages : public ::testing::TestWithParam<PageCase> {};

TEST_P(Pages, MessagesTakeTheirLinesAndFullPagesClear) {
  TestGame g({.msgMode = 0});
  for (const Said& s : GetParam().says) g.Say(s.text, s.speaker, s.speaker ? "【店長】" : "");
  EXPECT_EQ(g.Numbers("message", "lineNo"), GetParam().lineNos);
  EXPECT_EQ(g.state().LineNo, GetParam().lineAfter);
}

// The window opens on a new page whose top line belongs to a tag, even an
// empty one; a message that reaches the fourth line clears the page.
INSTANTIATE_TEST_SUITE_P(
    Texts, Pages,
    ::testing::Values(
        PageCase{"ThirtyCharactersALine", {{Chars(30)}, {Chars(31)}, {Chars(60)}, {""}},
                 {1, 2, 0, 2}, 3},
        PageCase{"SpeakerChanges",
                 {{"いらっしゃい", 1}, {"いらっしゃい", 1}, {"いらっしゃい", 1}, {"また来てね", 1},
                  {"店を出た。"}, {"雨だ。"}, {"傘がない。"}, {"走った。"}},
                 {1, 2, 3, 1, 1, 2, 3, 0}, 1},
        PageCase{"PastTheFourthLine", {{"一行目"}, {"二行目"}, {Chars(61)}, {"次のページ"}},
                 {1, 2, 3, 0}, 1}),
    [](const auto& info) { return std::string(info.param.name); });

// The clean page with "■" drawn at each x of a line, in narration ink.
Surface PageWith(TestGame& g, double points, int y, std::vector<int> xs) {
  Surface page = g.form().Waku[6];
  for (int x : xs) g.messages().FontAt(points)->TextOut(page, x, y, "■", MakeRgb(192, 192, 255));
  return page;
}

TEST(MessageText, EnlargedMessageWidensTheCellsAndTakesAnExtraLine) {
  TestGame g;
  g.state().ClickMode = false;  // no waits; the page clears only at four lines
  g.state().NextFontSize = 20;  // 27 px, read back as 20.25 pt: cells of 25
  g.Say("■■");
  ASSERT_NE(g.messages().FontAt(20), nullptr);
  EXPECT_TRUE(SameSurface(g.form().Waku[0], PageWith(g, 20, 35, {30, 55})));
  EXPECT_EQ(g.state().LineNo, 3);
  EXPECT_EQ(g.state().NextFontSize, 0);

  g.messages().WakuClear();
  g.Say("■■");  // back to 12 pt and cells of 17
  EXPECT_TRUE(SameSurface(g.form().Waku[0], PageWith(g, 12, 18, {30, 47})));
  g.state().NextFontSize = 10;  // smaller than standard: no extra line
  g.Say("小");
  EXPECT_EQ(g.state().LineNo, 2);
}

// The modes drawing a line at once draw alike; one character at a time
// puts each in a cell of its own.
TEST(MessageText, WholeLineModesDrawAlike) {
  std::vector<Surface> pages;
  for (std::int16_t mode = 0; mode <= 3; ++mode) {
    TestGame g({.input = "until keys\nkey Enter\n", .msgMode = mode});
    g.Say("今日はいい天気ですね。ABCとabc、それから１２３。");
    pages.push_back(g.form().Waku[0]);
  }
  EXPECT_TRUE(SameSurface(pages[0], pages[1]));
  EXPECT_TRUE(SameSurface(pages[1], pages[2]));
  EXPECT_FALSE(SameSurface(pages[2], pages[3]));
}

struct Pace {
  const char* name;
  std::int16_t msgMode;
  bool clickMode;
  bool caption;
  std::string text;
  const char* input;
  std::int64_t ms;  // from the message's start to its end
  std::size_t waits;
};
void PrintTo(const Pace& c, std::ostream* out) { *out << c.name; }

class Paces : public ::testing::TestWithParam<Pace> {};

TEST_P(Paces, MessagesTakeTheirTime) {
  const Pace& c = GetParam();
  TestGame g({.input = c.input, .msgMode = c.msgMode});
  g.state().ClickMode = c.clickMode;
  g.state().CaptionX = c.caption ? 1 : 0;
  const std::int64_t start = g.platform().Ticks();
  g.Say(c.text);
  EXPECT_EQ(g.platform().Ticks() - start, c.ms);
  EXPECT_EQ(g.Events("wait").size(), c.waits);
}

// Skipping never waits; the player-paced modes wait (Enter comes at the
// first look, 10 ms on); characters take 40 ms each, 60 ms in automatic
// text, which pauses a second; a caption takes 60 ms a character and
// pauses two seconds.
INSTANTIATE_TEST_SUITE_P(
    Modes, Paces,
    ::testing::Values(Pace{"Skip", 0, true, false, Chars(30), "", 0, 0},
                      Pace{"Page", 1, true, false, Chars(30), "until keys\nkey Enter\n", 10, 1},
                      Pace{"Line", 2, true, false, Chars(30), "until keys\nkey Enter\n", 10, 1},
                      Pace{"Character", 3, true, false, Chars(30),
                           "until keys\nwait 500\nkey Space\n", 1710, 1},
                      Pace{"Automatic", 3, false, false, Chars(30), "", 2800, 0},
                      Pace{"Caption", 1, true, true, "  第一話  ", "", 2180, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MessageText, CaptionIsCentredOnTheSceneAndNeverEndsThePage) {
  TestGame g({.msgMode = 0});
  g.form().Pic_Main.shown = true;
  g.Say("窓");
  g.state().LineNo = 3;
  g.state().CaptionX = 1;
  g.state().CaptionY = 200;
  g.Say("  第一話  ");
  EXPECT_EQ(g.Numbers("caption", "x"), (Numbers{300}));
  EXPECT_EQ(g.Strings("caption", "text"), (std::vector<std::string>{"第一話"}));
  EXPECT_EQ(g.state().LineNo, 4);  // counted, not cleared
  EXPECT_EQ(g.state().CaptionX, 0);
  EXPECT_FALSE(g.form().Waku[0].shown);
  Surface drawn(60, 22);
  BitBlt(drawn, 0, 0, 60, 22, g.form().Pic_Main, 300, 200, RasterOp::kSrcCopy);
  EXPECT_GT(CountPixels(drawn, kWhite), 30);
}

TEST(MessageText, AutomaticTextShowsTheDateTabFromTheNextMessage) {
  TestGame g;
  g.state().ClickMode = false;
  g.Say("一");
  EXPECT_TRUE(g.state().DateTabOn);
  EXPECT_FALSE(g.form().Waku[3].shown);
  g.Say("二");
  EXPECT_TRUE(g.form().Waku[3].shown);
}

TEST(MessageText, OutlandishValuesDrawWithoutHarm) {
  TestGame g({.msgMode = 0});
  MainForm& f = g.form();
  g.state().WakuDensity = std::numeric_limits<float>::quiet_NaN();
  f.SlotUsed = {true, true, true};
  f.SlotX = {-30000, 32000, 0, 0, 0};
  f.SlotW = {-5, 32000, 1, 0, 0};
  for (std::int16_t size : {std::int16_t{-7}, std::int16_t{32767}}) {
    g.state().NextFontSize = size;
    g.Say(Chars(45) + "\xff\xfe\x80");
  }
  g.state().LineNo = 32766;
  g.Say(Chars(90));
  EXPECT_EQ(g.state().LineNo, 0);  // saturated at the top, then cleared
  g.state().CaptionX = 1;
  g.Say(std::string(5000, 'x'));
  EXPECT_EQ(g.Numbers("caption", "x"), (Numbers{320 - 4999 * 10}));
}

// Input reaches the game between the characters of a line or a caption:
// closing ends the game long before the 30 characters are drawn, and
// skipping chosen mid-line draws the rest at once, each character where it
// would have gone, with no wait after.
TEST(InputWhileDrawing, ClosingAndSkippingTakeEffectMidLine) {
  for (const bool caption : {false, true}) {
    TestGame g({.input = "wait 100\nquit\n"});
    g.state().CaptionX = caption ? 1 : 0;
    g.state().CaptionY = 100;
    const std::uint32_t start = g.platform().Ticks();
    EXPECT_THROW(g.Say(Chars(30)), GameExit);
    EXPECT_LT(g.platform().Ticks() - start, 300u) << caption;
    EXPECT_FALSE(g.form().MsgBusy);
  }
  TestGame skipped({.input = "wait 300\nmenu speedup\n"});
  skipped.form().FindMenu(menu::kSpeedup)->enabled = true;
  skipped.form().UpdateMenu();
  const std::uint32_t start = skipped.platform().Ticks();
  skipped.Say(Chars(30));
  EXPECT_LT(skipped.platform().Ticks() - start, 1200u);
  EXPECT_EQ(skipped.state().MsgMode, 0);
  EXPECT_TRUE(skipped.Events("wait").empty());
  TestGame whole({.input = "until keys\nkey Enter\n"});
  whole.Say(Chars(30));
  EXPECT_TRUE(SameSurface(skipped.form().Waku[0], whole.form().Waku[0]));
}

}  // namespace
}  // namespace kovan::testing
