// The interpreter's walk through the scenario: jumps, counters, the ends
// of a pass and the ways out of the game.
#include "story/script.h"

#include <gtest/gtest.h>

#include <sstream>

#include "story/runner.h"
#include "platform/headless/headless_platform.h"
#include "script_play.h"

namespace kovan {
namespace {

using testing::ScenarioText;
using testing::ScriptLine;
using testing::ScriptPlay;

// Guards: a jump target that is the last loaded line being skipped by the
// end check, or the lines between being run.
TEST(ScriptJumps, JumpToTheLastLoadedLineExecutesIt) {
  ScriptPlay play(ScenarioText({{.cmd = "g0", .jump = "1020"},
                                {.section = 1010, .text = "飛ばされる"},
                                {.section = 1020, .text = "最後の行"}}));
  EXPECT_EQ(play.Run(), "");
  EXPECT_EQ(play.Lines(), (std::vector<int>{0, 2}));
  EXPECT_EQ(play.Texts(), (std::vector<std::string>{"最後の行"}));
}

// Guards: a jump to a section that isn't there repeating itself for ever,
// or stopping the story.
TEST(ScriptJumps, MissingSectionSaysSoAndGoesOn) {
  ScriptPlay play(ScenarioText({{.cmd = "g0", .jump = "1500"},
                                {.cmd = "i1", .jump = "1600", .text = "kou", .arg1 = "0"},
                                {.text = "続き"},
                                {.text = "終わり"}}));
  EXPECT_EQ(play.Run(), "");
  EXPECT_EQ(play.Lines(), (std::vector<int>{0, 1, 2}));
  const auto boxes = play.Events("msgbox");
  ASSERT_EQ(boxes.size(), 2u);
  for (const auto& b : boxes) EXPECT_EQ(testing::FieldOf(b, "text"), "Not found NUM to SEQ");
  EXPECT_EQ(play.Texts(), (std::vector<std::string>{"続き"}));
}

// Guards: "i1" comparing with more than equality, testing "hap", or
// jumping on another selector.
TEST(ScriptJumps, ConditionalJumpOnlyOnEqualCounter) {
  ScriptPlay play(ScenarioText({{.cmd = "p2", .text = "kou", .arg1 = "2"},
                                {.cmd = "i1", .jump = "1100", .text = "kou", .arg1 = "1"},
                                {.cmd = "i1", .jump = "1100", .text = "hap", .arg1 = "0"},
                                {.cmd = "i2", .jump = "1100", .text = "kou", .arg1 = "2"},
                                {.cmd = "i1", .jump = "1100", .text = "kou", .arg1 = "2"},
                                {.text = "飛ばされる"},
                                {.section = 1100, .text = "着いた"},
                                {.section = 1100}}));
  EXPECT_EQ(play.Run(), "");
  EXPECT_EQ(play.Lines(), (std::vector<int>{0, 1, 2, 3, 4, 6}));
  ASSERT_EQ(play.Events("msgbox").size(), 1u);
  EXPECT_EQ(testing::FieldOf(play.Events("msgbox")[0], "text"), "error(i?)");
}

// Guards: counters that wrap round, take a bad number as anything but 0,
// or a name other than the four.
TEST(ScriptCounters, AddSignedNumbersAndHoldAtTheRangeEnds) {
  ScriptPlay play(ScenarioText({{.cmd = "p2", .text = "kou", .arg1 = "-3"},
                                {.cmd = "p2", .text = "hap", .arg1 = "+4"},
                                {.cmd = "p2", .text = "rub", .arg1 = "100"},
                                {.cmd = "p2", .text = "pap", .arg1 = "-100"},
                                {.cmd = "p2", .text = "hap", .arg1 = "40000"},
                                {.cmd = "p2", .text = "hap", .arg1 = "二"},
                                {.cmd = "p2", .text = "xyz", .arg1 = "7"},
                                {}}));
  play.state().Rub = 32700;
  play.state().Pap = -32700;
  EXPECT_EQ(play.Run(), "");
  EXPECT_EQ(play.state().Kou, -3);
  EXPECT_EQ(play.state().Hap, 4);
  EXPECT_EQ(play.state().Rub, 32767);
  EXPECT_EQ(play.state().Pap, -32768);
  EXPECT_TRUE(play.Events("msgbox").empty());
}

// Guards: the texts of "p8" and "p9" not taken, or a wrong selector
// passing silently.
TEST(ScriptCounters, TitleDateAndWrongSelectors) {
  ScriptPlay play(ScenarioText({{.cmd = "p8", .text = "第一話"},
                                {.cmd = "p9", .text = "４月７日（月）"},
                                {.cmd = "p5", .text = "kou", .arg1 = "1"},
                                {.cmd = "p", .text = "kou", .arg1 = "1"},
                                {}}));
  EXPECT_EQ(play.Run(), "");
  EXPECT_EQ(play.state().SaveTitle, "第一話");
  EXPECT_EQ(play.state().DateText, "４月７日（月）");
  EXPECT_EQ(play.state().Kou, 0);
  const auto boxes = play.Events("msgbox");
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(testing::FieldOf(boxes[1], "text"), "error(p?)");
}

// Guards: a pass running past the loaded lines, or from a position that
// isn't one.
TEST(ScriptRun, StopsOutsideTheLoadedLinesAndOnTheTitle) {
  ScriptPlay play(ScenarioText({{.text = "一"}, {.cmd = "g9"}, {.text = "二"}, {}}));
  EXPECT_EQ(play.Run(), "");
  EXPECT_EQ(play.state().SeqPos, 1);
  EXPECT_EQ(play.Run(-1), "");
  EXPECT_EQ(play.Run(4), "");
  EXPECT_EQ(play.Run(3000), "");
  EXPECT_EQ(play.Lines(), (std::vector<int>{0, 1}));
}

// Guards: a scenario that jumps round in a circle locking the window: the
// player can still close it.
TEST(ScriptRun, EndlessJumpLoopStillTakesTheClose) {
  ScriptPlay play(ScenarioText({{.cmd = "g0", .jump = "1000"}, {}}), "wait 20\nquit\n");
  play.platform().Sleep(50);
  EXPECT_EQ(play.Run(), "close");
  EXPECT_EQ(play.Lines().size(), 4096u);
}

// Guards: "e" and "q" not leaving through the shutdown, or without their
// pauses (two seconds; twice 50 ms).
TEST(ScriptRun, EndAndQuitLeaveThroughTheShutdown) {
  for (const auto& [cmd, reason, pause] :
       {std::tuple{"e", "end", 2000}, std::tuple{"q", "quit", 100}}) {
    testing::TempDir dir;
    testing::WriteScriptFolder(dir.path(), ScenarioText({{.cmd = cmd}, {.text = "終"}}));
    auto platform = CreateHeadlessPlatform({});
    ASSERT_TRUE(platform.ok());
    std::ostringstream trace;
    (*platform)->trace().SetStream(&trace);
    EXPECT_EQ(RunGame(**platform, GameOptions{dir.path(), dir.path()}), 0);
    const std::string t = trace.str();
    const std::size_t line = t.find("\"ev\":\"line\"");
    const std::size_t exit = t.find("\"ev\":\"exit\",\"reason\":\"" + std::string(reason) + "\"");
    ASSERT_NE(line, std::string::npos) << t;
    ASSERT_NE(exit, std::string::npos) << t;
    const auto timeBefore = [&](std::size_t at) {
      return testing::NumberOf(t.substr(t.rfind('\n', at) + 1), "t");
    };
    EXPECT_EQ(timeBefore(exit) - timeBefore(line), pause) << cmd;
  }
}

}  // namespace
}  // namespace kovan
