// The interpreter's walk through a scenario: the lines it takes, what it
// shows and says, its counters, texts and waits, and the ways out.
#include "story/script.h"

#include <gtest/gtest.h>

#include "engine/script_numbers.h"
#include "test_game.h"

namespace kovan::testing {
namespace {

using Texts = std::vector<std::string>;

struct Walk {
  const char* name;
  std::string scenario;
  std::vector<std::int64_t> lines;  // the positions taken, in order
  Texts texts;                      // the messages shown
  Texts boxes;                      // the message boxes
};
void PrintTo(const Walk& w, std::ostream* out) { *out << w.name; }

class ScriptWalk : public ::testing::TestWithParam<Walk> {};

TEST_P(ScriptWalk, TakesTheLinesAndShowsTheTexts) {
  TestGame play({.scenario = GetParam().scenario, .msgMode = 0});
  EXPECT_EQ(play.Run(), "");
  EXPECT_EQ(play.Numbers("line", "pos"), GetParam().lines);
  EXPECT_EQ(play.Strings("message", "text"), GetParam().texts);
  EXPECT_EQ(play.Strings("msgbox", "text"), GetParam().boxes);
}

const Walk kWalks[] = {
    // A jump target that is the last loaded line still runs.
    {"JumpToTheLastLine",
     ScenarioText({{.cmd = "g0", .jump = "1020"},
                   {.section = 1010, .text = "飛ばされる"},
                   {.section = 1020, .text = "最後の行"}}),
     {0, 2}, {"最後の行"}, {}},
    // A missing section is said once and the story goes on.
    {"MissingSection",
     ScenarioText({{.cmd = "g0", .jump = "1500"},
                   {.cmd = "i1", .jump = "1600", .text = "kou", .arg1 = "0"},
                   {.text = "続き"},
                   {.text = "終わり"}}),
     {0, 1, 2}, {"続き"}, {"Not found NUM to SEQ", "Not found NUM to SEQ"}},
    // "i1" jumps on an equal counter only; "hap" can't be tested.
    {"ConditionalJump",
     ScenarioText({{.cmd = "p2", .text = "kou", .arg1 = "2"},
                   {.cmd = "i1", .jump = "1100", .text = "kou", .arg1 = "1"},
                   {.cmd = "i1", .jump = "1100", .text = "hap", .arg1 = "0"},
                   {.cmd = "i2", .jump = "1100", .text = "kou", .arg1 = "2"},
                   {.cmd = "i1", .jump = "1100", .text = "kou", .arg1 = "2"},
                   {.text = "飛ばされる"},
                   {.section = 1100, .text = "着いた"},
                   {.section = 1100}}),
     {0, 1, 2, 3, 4, 6}, {"着いた"}, {"error(i?)"}},
    {"WrongParameterSelectors",
     ScenarioText({{.cmd = "p5", .text = "kou", .arg1 = "1"},
                   {.cmd = "p", .text = "kou", .arg1 = "1"},
                   {.text = "次"},
                   {}}),
     {0, 1, 2}, {"次"}, {"error(p?)", "error(p?)"}},
    // Name markers only on lines flagged "1"; the title ends the pass.
    {"NameMarkersAndTitle",
     ScenarioText({{.text = "&1くん", .subst = "1"},
                   {.text = "&1くん"},
                   {.text = "&1くん", .subst = "2"},
                   {.cmd = "g9"},
                   {.text = "二"},
                   {}}),
     {0, 1, 2, 3}, {"朝霧くん", "&1くん", "&1くん"}, {}},
    // A line that changes the place or a sprite shows no text, the same
    // place twice draws once, and fields that aren't numbers change nothing
    // ("x" names character 0: a sprite change for no one, still no text).
    {"SceneFields",
     ScenarioText({{.place = "3", .text = "DI"},
                   {.place = "3", .text = "同じ場所"},
                   {.doll = "11", .text = "L"},
                   {.face = "2", .text = "表情"},
                   {.place = "abc", .doll = "x", .face = "300", .text = "そのまま"},
                   {.place = "40000", .face = "-1", .text = "範囲外"},
                   {.place = "4", .text = "HB"},
                   {}}),
     {0, 1, 2, 3, 4, 5, 6}, {"同じ場所", "表情", "範囲外"}, {}},
};

INSTANTIATE_TEST_SUITE_P(Scenarios, ScriptWalk, ::testing::ValuesIn(kWalks),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ScriptRun, EndsOutsideTheLoadedLines) {
  TestGame play({.scenario = ScenarioText({{.text = "一"}, {.text = "二"}, {}}), .msgMode = 0});
  for (int pos : {-1, 3, 3000}) EXPECT_EQ(play.Run(pos), "") << pos;
  EXPECT_TRUE(play.Events("line").empty());
}

// Sums stay at the ends of the 16-bit range; a bad number adds 0.
TEST(ScriptRun, CountersAndTexts) {
  TestGame play({.scenario = ScenarioText({{.cmd = "p2", .text = "kou", .arg1 = "-3"},
                                           {.cmd = "p2", .text = "hap", .arg1 = "+4"},
                                           {.cmd = "p2", .text = "rub", .arg1 = "100"},
                                           {.cmd = "p2", .text = "pap", .arg1 = "-100"},
                                           {.cmd = "p2", .text = "hap", .arg1 = "二"},
                                           {.cmd = "p2", .text = "xyz", .arg1 = "7"},
                                           {.cmd = "p8", .text = "第一話"},
                                           {.cmd = "p9", .text = "４月７日（月）"},
                                           {}}),
                 .msgMode = 0});
  play.state().Rub = 32700;
  play.state().Pap = -32700;
  EXPECT_EQ(play.Run(), "");
  const EngineState& s = play.state();
  EXPECT_EQ(std::vector<int>({s.Kou, s.Hap, s.Rub, s.Pap}),
            std::vector<int>({-3, 4, 32767, -32768}));
  EXPECT_EQ(s.SaveTitle, "第一話");
  EXPECT_EQ(s.DateText, "４月７日（月）");
}

TEST(ScriptRun, SpeakerTagsAndColours) {
  TestGame play({.scenario = ScenarioText({{.speaker = "1", .text = "一"},
                                           {.speaker = "2", .text = "二"},
                                           {.speaker = "8", .text = "八"},
                                           {.speaker = "4"},
                                           {.speaker = "9", .text = "九"},
                                           {.speaker = "x", .text = "エックス"},
                                           {}}),
                 .msgMode = 0});
  play.state().CharName[2] = "ミナト";
  EXPECT_EQ(play.Run(), "");
  EXPECT_EQ(play.Strings("message", "tag"), (Texts{"【ミナト】", "【瑠璃子】", "【女の子】", "", ""}));
  EXPECT_EQ(play.Strings("message", "rgb"),
            (Texts{"[255,255,255]", "[255,255,255]", "[255,255,255]", "[192,192,255]",
                   "[192,192,255]"}));
}

// "ts"/"tp" start a clean page and set the next message's size and
// caption place; "t0" (automatic text) keeps the page.
TEST(ScriptRun, TextModes) {
  TestGame play({.scenario = ScenarioText({{.text = "一"},
                                           {.text = "二"},
                                           {.cmd = "ts", .arg1 = "16"},
                                           {.text = "三"},
                                           {.cmd = "ts", .arg1 = "18"},
                                           {.cmd = "tp", .arg1 = "200", .arg2 = "90"},
                                           {.text = "四"},
                                           {.cmd = "t0"},
                                           {}}),
                 .msgMode = 0});
  play.state().DateTabOn = true;
  EXPECT_EQ(play.Run(), "");
  EXPECT_EQ(play.Numbers("message", "lineNo"), (std::vector<std::int64_t>{1, 2, 0}));
  EXPECT_EQ(play.Numbers("caption", "y"), (std::vector<std::int64_t>{90}));
  EXPECT_EQ(play.state().NextFontSize, 18);
  EXPECT_EQ(play.state().LineNo, 1);
  EXPECT_FALSE(play.state().ClickMode);
  EXPECT_FALSE(play.state().DateTabOn);
  EXPECT_EQ(play.state().MsgMode, 3);
}

// None given is a second, "0" still lets events run once, a bad number
// counts as none; the steps are 50 ms.
TEST(ScriptRun, WaitsLastTheirTime) {
  TestGame play({.scenario = ScenarioText({{.cmd = "w"},
                                           {.cmd = "w", .text = "0"},
                                           {.cmd = "w", .text = "120"},
                                           {.cmd = "w", .text = "半"},
                                           {}}),
                 .msgMode = 0});
  const std::int64_t start = play.platform().Ticks();
  EXPECT_EQ(play.Run(), "");
  std::vector<std::int64_t> t = play.Numbers("line", "t");
  t.push_back(play.platform().Ticks());
  EXPECT_EQ(t, (std::vector<std::int64_t>{start, start + 1050, start + 1100, start + 1250,
                                          start + 2300}));
}

// A scenario that jumps round in a circle still lets the player close it.
TEST(ScriptRun, EndlessJumpLoopStillTakesTheClose) {
  TestGame play({.scenario = ScenarioText({{.cmd = "g0", .jump = "1000"}, {}}),
                 .input = "wait 20\nquit\n", .msgMode = 0});
  play.platform().Sleep(50);
  EXPECT_EQ(play.Run(), "close");
  EXPECT_EQ(play.Events("line").size(), 4096u);
}

// "e" and "q" leave through the shutdown after their pauses: two seconds,
// and twice 50 ms.
TEST(ScriptRun, EndAndQuitLeaveThroughTheShutdown) {
  for (const auto& [cmd, reason, pause] :
       {std::tuple{"e", "end", 2000}, std::tuple{"q", "quit", 100}}) {
    TestGame play({.scenario = ScenarioText({{.cmd = cmd}, {.text = "終"}}), .start = false});
    EXPECT_EQ(play.RunProgram(), 0);
    const auto exit = play.Events("exit");
    ASSERT_EQ(exit.size(), 1u) << cmd;
    EXPECT_EQ(FieldOf(exit[0], "reason"), reason);
    EXPECT_EQ(NumberOf(exit[0], "t") - play.Numbers("line", "t").back(), pause) << cmd;
  }
}

// After each name the search goes on behind it: names of any length follow
// one another, odd markers stay, and a name holding a marker is not
// expanded again.
TEST(NameMarkers, EveryMarkerTakesItsNameAndOthersStay) {
  std::array<std::string, 6> names = {"零", "朝霧", "湊という名のとても長い名前", "", "", "五"};
  EXPECT_EQ(ReplaceNameMarkers("&1と&2、&2！&0", names),
            "朝霧と湊という名のとても長い名前、湊という名のとても長い名前！零");
  EXPECT_EQ(ReplaceNameMarkers("&3&5&6&a&&1&", names), "五&6&a&朝霧&");
  names[1] = "&1&2";
  EXPECT_EQ(ReplaceNameMarkers("&1と&1", names), "&1&2と&1&2");
}

TEST(ScriptNumbers, SignedSixteenBitDecimalsOnly) {
  EXPECT_EQ(ScriptNumber("32767"), 32767);
  EXPECT_EQ(ScriptNumber("-32768"), -32768);
  EXPECT_EQ(ScriptNumber("+5"), 5);
  for (const char* bad : {"32768", "-32769", "", "-", "+", "+-1", "1x", "１", "1 "}) {
    EXPECT_FALSE(ScriptNumber(bad).has_value()) << bad;
  }
  EXPECT_EQ(TrimSpaces("  a　b \t "), "a　b \t");
}

}  // namespace
}  // namespace kovan::testing
