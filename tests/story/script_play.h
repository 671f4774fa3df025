// A game started on the headless backend over a tiny scenario, for driving
// the interpreter and reading what it did from the state and the trace.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "story/game.h"
#include "test_support.h"

namespace kovan::testing {

// One scenario line; fields left out are empty.
struct ScriptLine {
  int section = 1000;
  std::string cmd{}, jump{}, place{}, doll{}, face{}, speaker{}, text{}, arg1{}, arg2{}, subst{};
};
// The lines as the scenario file's text, one record a line.
std::string ScenarioText(std::initializer_list<ScriptLine> lines);

// Writes a data folder holding the scenario and choices into dir.
void WriteScriptFolder(const std::string& dir, const std::string& scenario,
                       const std::string& choices = "");

class ScriptPlay {
 public:
  // Starts a game over a data folder holding the scenario (and choices)
  // with `input` as the input script, in skip mode so messages don't wait.
  explicit ScriptPlay(const std::string& scenario, const std::string& input = "",
                      const std::string& choices = "");

  Game& game() { return *game_; }
  EngineState& state() { return game_->state; }
  Platform& platform() { return *platform_; }

  // Runs the interpreter from line pos; gives the reason of the game exit
  // that ended it, or "" when the interpreter returned.
  std::string Run(std::int32_t pos = 0);

  // The trace's events named ev, one JSON object each.
  std::vector<std::string> Events(std::string_view ev) const;
  // The "pos" of every line taken, in order.
  std::vector<int> Lines() const;
  // The "text" of every message shown, in order.
  std::vector<std::string> Texts() const;

 private:
  TempDir dir_;
  std::ostringstream trace_;
  std::unique_ptr<Platform> platform_;
  std::unique_ptr<Game> game_;
};

// The value of a field of one trace event: a string without its quotes,
// a number or array as written; "" when the field isn't there.
std::string FieldOf(std::string_view event, std::string_view key);
// A numeric field; -1 when it isn't there.
std::int64_t NumberOf(std::string_view event, std::string_view key);

}  // namespace kovan::testing
