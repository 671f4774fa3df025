#include "story/runner.h"

#include <optional>

#include "engine/game_exit.h"
#include "savegame/story_restart.h"

namespace kovan {
namespace {

constexpr std::uint32_t kIdleSleepMs = 10;

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
  }
  platform.SetGameState("exit");
  game.FormUnload();
  platform.trace().Event(platform.Ticks(), "exit", {{"reason", exit.reason}});
  return exit.exitCode;
}

}  // namespace kovan
