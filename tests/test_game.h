// The one way tests build a game: the demo data folder copied into a
// temporary folder, with any of its scenario, choice table or configuration
// replaced, a platform (the headless one, or the probe below), and a Game
// started up on them. Several may live in one process.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "story/game.h"
#include "test_support.h"

namespace kovan::testing {

// One scenario line; fields left out are empty.
struct ScriptLine {
  int section = 1000;
  std::string cmd{}, jump{}, place{}, doll{}, face{}, speaker{}, text{}, arg1{}, arg2{}, subst{};
};
// The lines as the scenario file's text (UTF-8), one record a line.
std::string ScenarioText(std::initializer_list<ScriptLine> lines);

struct GameSetup {
  std::optional<std::string> scenario{};  // "91.dat" as UTF-8 text; none = the demo's
  std::optional<std::string> choices{};   // "92.dat" likewise
  std::vector<std::string> config{};      // the lines of "90.dat"; empty = the demo's
  // Changes the folder (given with its '/') before the game starts.
  std::function<void(const std::string&)> prepare{};
  // A folder to play instead of a fresh one: games that follow one another
  // share it. The replacements above are then left out.
  std::string folder{};
  std::string input{};                    // the headless input script
  std::int64_t maxMs = -1;                // the headless game-time bound
  // With a SoundFont, the headless game records what the player hears into
  // "heard.wav" in the folder.
  std::string soundFont{};
  bool probe = false;                     // a ProbePlatform: no input, see below
  bool start = true;                      // run the start-up (else RunProgram plays it all)
  std::int16_t msgMode = 3;               // after start-up; 0 never waits for the player
  // Sees each trace line as it is written, from inside the game.
  std::function<void(std::string_view)> onTrace{};
};

// Writes the demo data with the setup's replacements (and its prepare)
// into dir.
void WriteGameFolder(const std::string& dir, const GameSetup& setup = {});

// A platform that records how the game drives it: a virtual clock where a
// refresh may take drawing time, counts of refreshes, sleeps and event
// rounds, and hooks that look at the picture on each. Message boxes are
// traced as the headless backend traces them and take their default.
class ProbePlatform final : public Platform {
 public:
  std::uint32_t Ticks() override { return clock; }
  void Sleep(std::uint32_t ms) override;
  void DoEvents() override;
  void Present() override;
  MsgBoxAnswer MessageBox(const std::string& text, MsgBoxButtons buttons) override;
  void SetClientSize(int, int) override {}
  void CentreWindow() override {}
  void ShowWindow(bool) override {}
  void SetCaption(const std::string&) override {}
  void SetWaitCursor(bool) override {}
  void ToggleCaption() override {}
  DisplayInfo Display() override { return {1280, 1024, 24}; }
  SystemFacts Facts() override { return {}; }
  void SetImeOpen(bool) override {}

  void ResetCounters() { presents = sleeps = yields = 0; }

  std::uint32_t clock = 0;
  std::uint32_t drawMs = 0;       // what each refresh takes
  std::uint32_t oversleepMs = 0;  // what each sleep takes beyond its time
  int presents = 0, sleeps = 0, yields = 0;
  std::function<void()> onPresent;
  std::function<void()> onYield;
};

class TestGame {
 public:
  explicit TestGame(const GameSetup& setup = {});
  ~TestGame();
  TestGame(const TestGame&) = delete;
  TestGame& operator=(const TestGame&) = delete;

  const std::string& dir() const { return dir_; }
  Platform& platform() { return *platform_; }
  ProbePlatform& probe();  // only with setup.probe
  Game& game() { return *game_; }
  EngineState& state() { return game_->state; }
  MainForm& form() { return game_->form(); }
  Messages& messages() { return game_->messages(); }
  Scene& scene() { return game_->scene(); }

  // Runs the interpreter from line pos; the reason of the game exit that
  // ended it, or "" when the interpreter returned.
  std::string Run(std::int32_t pos = 0);
  // The whole program on the game (without setup.start), as main runs it:
  // start-up, opening, story, shutdown. Gives its exit status.
  int RunProgram();
  // A message as the story shows it: narration (speaker 0) in pale blue,
  // a speaker's line in white under its tag.
  void Say(const std::string& text, std::int16_t speaker = 0, const std::string& tag = "");
  // Calls look(now) whenever the game lets events run, at most once a ms.
  void Watch(std::function<void(std::uint32_t)> look);
  // A picture of the folder, decoded as the game decodes it.
  Surface Picture(const std::string& name);
  // What the window shows now.
  Surface Screen();

  std::string Trace() const { return trace_.str(); }
  std::vector<std::string> Events(std::string_view ev) const { return TraceEvents(Trace(), ev); }
  // A field of every event of a kind, in order.
  std::vector<std::int64_t> Numbers(std::string_view ev, std::string_view key) const;
  std::vector<std::string> Strings(std::string_view ev, std::string_view key) const;

 private:
  // Keeps the trace and shows each line to the setup's onTrace.
  class TraceBuffer : public std::stringbuf {
   public:
    std::function<void(std::string_view)> onTrace;

   protected:
    int sync() override;
  };

  TempDir fresh_;
  std::string dir_;
  TraceBuffer trace_;
  std::ostream traceStream_{&trace_};
  std::unique_ptr<Platform> platform_;
  std::unique_ptr<Game> game_;
};

}  // namespace kovan::testing
