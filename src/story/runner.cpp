#include "story/runner.h"

#include "engine/game_exit.h"

namespace kovan {
namespace {

constexpr std::uint32_t kIdleSleepMs = 10;

}  // namespace

int RunGame(Platform& platform, const GameOptions& options) {
  Game game(platform, options);
  GameExit exit{"close", 0};
  try {
    game.FormLoad();
    // Nothing runs the story yet: the window stays until it is closed.
    for (;;) {
      platform.SetGameState("idle");
      platform.DoEvents();
      platform.Sleep(kIdleSleepMs);
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
