#include "story/runner.h"

#include <exception>
#include <new>
#include <string>

#include "engine/game_exit.h"

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
