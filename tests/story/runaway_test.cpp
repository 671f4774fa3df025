// Runs that must end however the scenario behaves, and the interpreter's
// small faults that change what a line does.
#include <gtest/gtest.h>

#include <new>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>

#include "data_folder.h"
#include "platform/headless/headless_platform.h"
#include "script_play.h"
#include "story/runner.h"

namespace kovan {
namespace {

using testing::ScenarioText;
using testing::TempDir;

// A scenario that jumps round without a message, and one that waits on
// every round.
const std::string kJumpCycle =
    ScenarioText({{.section = 2000, .cmd = "g0", .jump = "2000"}, {.section = 2000}});
const std::string kWaitCycle = ScenarioText(
    {{.section = 2000, .cmd = "w", .text = "100"}, {.section = 2000, .cmd = "g0", .jump = "2000"},
     {.section = 2000}});

struct Bound {
  const char* name;
  const std::string* scenario;
  std::int64_t maxLines;
  std::int64_t maxMs;
  int exitCode;
  const char* reason;
  std::size_t lines;  // lines taken before the end; 0 = some, fewer than the bound
};

void PrintTo(const Bound& b, std::ostream* out) { *out << b.name; }

class RunBound : public ::testing::TestWithParam<Bound> {};

// Lines cost no game time, so only the line bound can end a jump cycle;
// the exit event says which bound ended a run. (The opening takes the
// first 20-odd seconds of game time.)
TEST_P(RunBound, EndsTheRunAndSaysWhich) {
  const Bound& b = GetParam();
  TempDir dir;
  testing::WriteScriptFolder(dir.path(), *b.scenario);
  HeadlessOptions options;
  options.maxMs = b.maxMs;
  auto platform = CreateHeadlessPlatform(options);
  ASSERT_TRUE(platform.ok());
  std::ostringstream trace;
  (*platform)->trace().SetStream(&trace);
  GameOptions go{dir.path(), dir.path(), b.maxLines};
  EXPECT_EQ(RunGame(**platform, go), b.exitCode);
  const std::size_t lines = testing::TraceEvents(trace.str(), "line").size();
  if (b.lines == 0) {
    EXPECT_GT(lines, 0u);
    EXPECT_LT(lines, static_cast<std::size_t>(b.maxLines));
  } else {
    EXPECT_EQ(lines, b.lines);
  }
  const auto exits = testing::TraceEvents(trace.str(), "exit");
  ASSERT_EQ(exits.size(), 1u);
  EXPECT_EQ(testing::FieldOf(exits[0], "reason"), b.reason);
}

INSTANTIATE_TEST_SUITE_P(
    Bounds, RunBound,
    ::testing::Values(Bound{"JumpCycleByLines", &kJumpCycle, 500, -1, 3, "lines", 500},
                      Bound{"WaitCycleByTime", &kWaitCycle, 500, 40000, 0, "time", 0},
                      Bound{"WaitCycleByLines", &kWaitCycle, 7, -1, 3, "lines", 7}),
    [](const ::testing::TestParamInfo<Bound>& info) { return std::string(info.param.name); });

// The runner's own bound needs no option: a jump cycle ends on its own.
TEST(RunBound, HeadlessRunnerHasOneByDefault) {
  TempDir dir;
  testing::WriteScriptFolder(dir.path(), kJumpCycle);
  const std::string command =
      "timeout 60 " + testing::KovanBinary() + " --headless --data " + dir.path();
  const int status = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 3);
}

// The skip item says what choosing it will do: after automatic text has
// ended skipping, it offers to skip again.
TEST(SkipItem, CaptionFollowsTheTextModeALineSets) {
  testing::ScriptPlay play(
      ScenarioText({{.text = "はじめ"}, {.cmd = "t0", .text = "自動"}, {.text = "次"}, {}}),
      "until keys\nmenu speedup\n");
  play.state().MsgMode = 1;
  MenuItem* skip = play.game().form().FindMenu(menu::kSpeedup);
  skip->enabled = true;
  play.game().form().UpdateMenu();
  EXPECT_EQ(play.Run(), "");
  EXPECT_EQ(play.Events("menu").size(), 1u);
  EXPECT_EQ(play.state().MsgMode, 3);
  EXPECT_EQ(skip->caption, menu::kSkipCaption);
}

// A sprite field that doesn't start with a digit names character 0: no one
// moves, where keeping the last character would move character 1.
TEST(SpriteField, NoDigitFirstNamesNoCharacter) {
  testing::ScriptPlay play(ScenarioText({{.doll = "13", .text = "L"}, {.doll = "x3", .text = "R"}, {}}));
  EXPECT_EQ(play.Run(), "");
  const auto sprites = play.Events("sprite");
  ASSERT_EQ(sprites.size(), 1u);
  EXPECT_EQ(testing::NumberOf(sprites[0], "slot"), 0);
  EXPECT_EQ(play.state().DollNo, 0);
  EXPECT_EQ(play.state().DollPose, 3);
}

// A platform whose event delivery fails once the story waits for the
// player, the way an allocation fails when memory runs out.
class FailingPlatform final : public Platform {
 public:
  explicit FailingPlatform(std::function<void()> fail) : fail_(std::move(fail)) {}
  std::uint32_t Ticks() override { return clock_; }
  void Sleep(std::uint32_t ms) override { clock_ += ms; }
  void DoEvents() override {
    if (state_ == "keys") fail_();
    FireTimers();
  }
  void SetClientSize(int, int) override {}
  void CentreWindow() override {}
  void ShowWindow(bool) override {}
  void SetCaption(const std::string&) override {}
  void SetWaitCursor(bool) override {}
  void ToggleCaption() override {}
  MsgBoxAnswer MessageBox(const std::string& text, MsgBoxButtons) override {
    boxes.push_back(text);
    return MsgBoxAnswer::kOk;
  }
  DisplayInfo Display() override { return {1280, 1024, 24}; }
  SystemFacts Facts() override { return {}; }
  void SetImeOpen(bool) override {}
  void SetGameState(std::string_view state) override { state_ = state; }

  std::vector<std::string> boxes;

 private:
  std::function<void()> fail_;
  std::uint32_t clock_ = 0;
  std::string state_;
};

// A failure nothing expected ends the game with a message, through the
// shutdown, rather than aborting.
TEST(Runner, UnexpectedFailuresEndThroughTheShutdown) {
  const struct {
    std::function<void()> fail;
    const char* reason;
    const char* box;
  } cases[] = {
      {[] { throw std::bad_alloc(); }, "memory", "メモリが足りないため終了します。\nout of memory"},
      {[] { throw std::length_error("too long"); }, "error", "内部エラーのため終了します。\ntoo long"},
  };
  for (const auto& c : cases) {
    TempDir dir;
    testing::WriteDataFolder(dir.path());
    FailingPlatform platform(c.fail);
    std::ostringstream trace;
    platform.trace().SetStream(&trace);
    EXPECT_EQ(RunGame(platform, GameOptions{dir.path(), dir.path()}), 1);
    EXPECT_EQ(platform.boxes, std::vector<std::string>{c.box});
    const auto exits = testing::TraceEvents(trace.str(), "exit");
    ASSERT_EQ(exits.size(), 1u);
    EXPECT_EQ(testing::FieldOf(exits[0], "reason"), c.reason);
  }
}

}  // namespace
}  // namespace kovan
