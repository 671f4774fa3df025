// The headless input script: one action per line, read once up front.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "platform/result.h"

namespace kovan {

enum class ActionKind {
  kWait,    // ms
  kUntil,   // text = the state
  kClick,   // x, y
  kRClick,  // x, y
  kMove,    // x, y
  kKey,     // key
  kMenu,    // text = the item
  kDialog,  // verb, form, control, text = the value
  kAnswer,  // answer
  kShot,    // text = the file
  kQuit,
};

struct ScriptAction {
  ActionKind kind = ActionKind::kQuit;
  int line = 0;
  std::uint32_t ms = 0;
  int x = 0;
  int y = 0;
  Key key;
  MsgBoxAnswer answer = MsgBoxAnswer::kOk;
  std::string verb;
  std::string form;
  std::string control;
  std::string text;
};

// Whether the action hands something to the game.
bool IsInput(ActionKind kind);

// Reads a whole script. The error names the first bad line by number.
[[nodiscard]] Result<std::vector<ScriptAction>> ParseInputScript(std::string_view script);

}  // namespace kovan
