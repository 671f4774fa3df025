#include "story/runner.h"

#include <exception>
#include <new>
#include <optional>
#include <string>

#include "engine/game_exit.h"
#include "savegame/story_restart.h"

namespace kovan {
namespace {

constexpr std::uint32_t kIdleSleepMs = 10;
constexpr const char* kOutOfMemory = "メモリが足りないため終了します。";
constexpr const char* kInternalError = "内部エラーのため終了します。";

// Says why the game must end after a failure no handler expected. The
// box itself may fail as well when memory is short; the shutdown still
// follows.
void ReportFailure(Game& game, const std::string& text, const std::string& detail) {
  try {
    game.log().Line(text + " (" + detail + ")");
    game.MsgBox(text + "\n" + detail);
  } catch (...) {
  }
}

}  // namespace

int RunGame(Platform& platform, const GameOptions& options) {
  Game game(platform, options);
  return RunGame(game);
}

int RunGame(Game& game) {
  Platform& platform = game.platform();
  GameExit exit{"close", 0};
  try {
    bool started = false;
    std::optional<StoryRestart> restart;
    for (;;) {
      // A restart unwinds to here, so each pass of the story starts on the
      // same stack as the first.
      try {
        if (!started) {
          started = true;
          game.FormLoad();
        } else if (restart) {
          game.state.SeqPos = restart->seqPos;
          restart.reset();
          game.script().ScriptRun();
        }
        // The story has ended its pass (the title is up, or the last line
        // was reached): the window stays until it is closed.
        for (;;) {
          platform.SetGameState(game.savegame().TitleShown() ? "title" : "idle");
          platform.DoEvents();
          platform.Sleep(kIdleSleepMs);
        }
      } catch (const StoryRestart& r) {
        restart = r;
      }
    }
  } catch (const GameExit& e) {
    exit = e;
  } catch (const std::bad_alloc&) {
    exit = GameExit{"memory", 1};
    ReportFailure(game, kOutOfMemory, "out of memory");
  } catch (const std::exception& e) {
    exit = GameExit{"error", 1};
    ReportFailure(game, kInternalError, e.what());
  }
  platform.SetGameState("exit");
  game.FormUnload();
  platform.trace().Event(platform.Ticks(), "exit", {{"reason", exit.reason}});
  return exit.exitCode;
}

}  // namespace kovan
