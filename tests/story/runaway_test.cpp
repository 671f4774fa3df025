// Runs that must end however the scenario behaves, and the interpreter's
// small faults that change what a line does.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <new>
#include <sstream>

#include "platform/headless/headless_platform.h"
#include "story/runner.h"
#include "test_game.h"

namespace kovan {
namespace {

using testing::ScenarioText;
using testing::TempDir;

// A scenario that jumps round without a message, and one that waits 150 ms
// on every round.
const std::string kJumpCycle =
    ScenarioText({{.section = 2000, .cmd = "g0", .jump = "2000"}, {.section = 2000}});
const std::string kWaitCycle = ScenarioText({{.section = 2000, .cmd = "w", .text = "100"},
                                             {.section = 2000, .cmd = "g0", .jump = "2000"},
                                             {.section = 2000}});

// Lines cost no game time, so only the line bound can end a jump cycle;
// the exit event says which bound ended a run. (The opening takes the
// first 20-odd seconds of game time.)
TEST(RunBound, EndsTheRunAndSaysWhich) {
  const struct {
    const std::string* scenario;
    std::int64_t maxMs;
    int exitCode;
    const char* reason;
  } cases[] = {{&kJumpCycle, -1, 3, "lines"}, {&kWaitCycle, 40000, 0, "time"}};
  for (const auto& c : cases) {
    TempDir dir;
    testing::WriteGameFolder(dir.path(), {.scenario = *c.scenario});
    HeadlessOptions options;
    options.maxMs = c.maxMs;
    auto platform = CreateHeadlessPlatform(options);
    std::ostringstream trace;
    (*platform)->trace().SetStream(&trace);
    GameOptions go{dir.path(), dir.path()};
    go.maxLines = 500;
    EXPECT_EQ(RunGame(**platform, go), c.exitCode);
    const std::size_t lines = testing::TraceEvents(trace.str(), "line").size();
    EXPECT_EQ(lines == 500, c.exitCode == 3) << lines << " lines";
    EXPECT_NE(trace.str().find("\"ev\":\"exit\",\"reason\":\"" + std::string(c.reason) + "\""),
              std::string::npos);
  }
  // The headless runner has a line bound of its own, and a time bound: a
  // script that waits for a choice that never comes ends after a day of
  // game time, as a failure.
  TempDir dir;
  testing::WriteGameFolder(dir.path(), {.scenario = kJumpCycle});
  const std::string run = "timeout 60 " + testing::KovanBinary() + " --headless --data " + dir.path();
  EXPECT_EQ(testing::Shell(run), 3);
  testing::WriteGameFolder(dir.path(), {.scenario = ScenarioText({{.text = "はじめ"}, {}})});
  std::ofstream(dir.path() + "never.txt") << "until choice\n";
  EXPECT_EQ(testing::Shell(run + " --input " + dir.path() + "never.txt --trace " + dir.path() +
                           "trace.jsonl 2>/dev/null"), 3);
  EXPECT_NE(testing::ReadAll(dir.path() + "trace.jsonl")
                .find("{\"t\":86400000,\"ev\":\"exit\",\"reason\":\"time\"}"),
            std::string::npos);
}

// The skip item says what choosing it will do: after automatic text has
// ended skipping, it offers to skip again.
TEST(SkipItem, CaptionFollowsTheTextModeALineSets) {
  testing::TestGame play(
      {.scenario = ScenarioText({{.text = "はじめ"}, {.cmd = "t0", .text = "自動"}, {.text = "次"}, {}}),
       .input = "until keys\nmenu speedup\n"});
  play.state().MsgMode = 1;
  MenuItem* skip = play.game().form().FindMenu(menu::kSpeedup);
  skip->enabled = true;
  play.game().form().UpdateMenu();
  EXPECT_EQ(play.Run(), "");
  const auto menu = play.Events("menu");
  EXPECT_EQ(std::count_if(menu.begin(), menu.end(),
                          [](const std::string& e) { return testing::FieldOf(e, "op") == "click"; }),
            1);
  EXPECT_EQ(play.state().MsgMode, 3);
  EXPECT_EQ(skip->caption, menu::kSkipCaption);
}

// A sprite field that doesn't start with a digit names character 0: no one
// moves, where keeping the last character would move character 1.
TEST(SpriteField, NoDigitFirstNamesNoCharacter) {
  testing::TestGame play(
      {.scenario = ScenarioText({{.doll = "13", .text = "L"}, {.doll = "x3", .text = "R"}, {}}),
       .msgMode = 0});
  EXPECT_EQ(play.Run(), "");
  const auto sprites = play.Events("sprite");
  ASSERT_EQ(sprites.size(), 1u);
  EXPECT_EQ(testing::NumberOf(sprites[0], "slot"), 0);
  EXPECT_EQ(play.state().DollNo, 0);
}

// Running out of memory (here once the story waits for the player) ends
// the game with a message, through the shutdown, rather than aborting.
TEST(Runner, OutOfMemoryEndsThroughTheShutdown) {
  TempDir dir;
  testing::WriteGameFolder(dir.path(), {.scenario = ScenarioText({{.text = "はじめ"}, {}})});
  testing::ProbePlatform platform;
  std::ostringstream trace;
  platform.trace().SetStream(&trace);
  platform.onYield = [&] {
    if (trace.str().find("\"ev\":\"wait\"") != std::string::npos) throw std::bad_alloc();
  };
  EXPECT_EQ(RunGame(platform, GameOptions{dir.path(), dir.path()}), 1);
  EXPECT_EQ(testing::TraceEvents(trace.str(), "msgbox").size(), 1u);
  EXPECT_NE(trace.str().find("メモリが足りないため終了します。\\nout of memory"), std::string::npos);
  EXPECT_NE(trace.str().find("\"ev\":\"exit\",\"reason\":\"memory\""), std::string::npos);
}

}  // namespace
}  // namespace kovan
