#include "platform/headless/input_script.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace kovan {

namespace {

using ParseResult = Result<std::vector<ScriptAction>>;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// A line cut into words, with where each word starts so that "type" can take
// the rest of the line verbatim.
struct Words {
  std::vector<std::string_view> words;
  std::vector<std::size_t> starts;
};

Words Split(std::string_view line) {
  Words w;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && IsBlank(line[i])) ++i;
    const std::size_t start = i;
    while (i < line.size() && !IsBlank(line[i])) ++i;
    if (i > start) {
      w.words.push_back(line.substr(start, i - start));
      w.starts.push_back(start);
    }
  }
  return w;
}

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

template <typename T>
bool ParseNumber(std::string_view word, T& value) {
  const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
  return ec == std::errc() && end == word.data() + word.size();
}

// The code point when word is exactly one well-formed UTF-8 character.
bool SingleCodePoint(std::string_view word, char32_t& cp) {
  if (word.empty()) return false;
  const auto b = [&](std::size_t k) { return static_cast<unsigned char>(word[k]); };
  std::size_t n = b(0) < 0x80                    ? 1
                  : b(0) >= 0xC2 && b(0) <= 0xDF ? 2
                  : b(0) >= 0xE0 && b(0) <= 0xEF ? 3
                  : b(0) >= 0xF0 && b(0) <= 0xF4 ? 4
                                                 : 0;
  if (n == 0 || word.size() != n) return false;
  cp = n == 1 ? b(0) : n == 2 ? b(0) & 0x1F : n == 3 ? b(0) & 0x0F : b(0) & 0x07;
  for (std::size_t k = 1; k < n; ++k) {
    if ((b(k) & 0xC0) != 0x80) return false;
    cp = (cp << 6) | (b(k) & 0x3F);
  }
  const char32_t minimum = n == 2 ? 0x80 : n == 3 ? 0x800 : n == 4 ? 0x10000 : 0;
  return cp >= minimum && cp <= 0x10FFFF && !(cp >= 0xD800 && cp <= 0xDFFF);
}

std::string ParseKey(std::string_view word, Key& key) {
  std::string name = Lower(word);
  // "alt+", "ctrl+" and "shift+" in front hold those keys down.
  bool alt = false, shift = false, ctrl = false;
  for (bool more = true; more;) {
    more = false;
    for (auto [prefix, flag] : {std::pair<std::string_view, bool*>{"ctrl+", &ctrl},
                                {"shift+", &shift}, {"alt+", &alt}}) {
      if (name.size() > prefix.size() && name.starts_with(prefix)) {
        *flag = more = true;
        name.erase(0, prefix.size());
        word.remove_prefix(prefix.size());
      }
    }
  }
  static constexpr std::pair<const char*, KeyCode> kNamed[] = {
      {"enter", KeyCode::kEnter},         {"return", KeyCode::kEnter},
      {"space", KeyCode::kSpace},         {"escape", KeyCode::kEscape},
      {"esc", KeyCode::kEscape},          {"up", KeyCode::kUp},
      {"down", KeyCode::kDown},           {"left", KeyCode::kLeft},
      {"right", KeyCode::kRight},         {"tab", KeyCode::kTab},
      {"backspace", KeyCode::kBackspace}, {"delete", KeyCode::kDelete},
      {"home", KeyCode::kHome},           {"end", KeyCode::kEnd},
      {"pageup", KeyCode::kPageUp},       {"pagedown", KeyCode::kPageDown},
      {"f11", KeyCode::kF11},
  };
  static constexpr std::pair<KeyCode, char32_t> kChars[] = {
      {KeyCode::kEnter, U'\r'}, {KeyCode::kSpace, U' '}, {KeyCode::kEscape, 0x1B}};
  char32_t cp = 0;
  if (const auto* named = std::find_if(std::begin(kNamed), std::end(kNamed),
                                       [&](const auto& n) { return name == n.first; });
      named != std::end(kNamed)) {
    key = Key{.code = named->second, .alt = alt, .shift = shift, .ctrl = ctrl};
    for (const auto& [code, ch] : kChars) {
      if (code == named->second) key.ch = ch;
    }
  } else if (SingleCodePoint(word, cp) && cp >= 0x20) {
    // Ctrl with a letter comes as the lower-case letter, as a keyboard gives it.
    if (ctrl && cp >= U'A' && cp <= U'Z') cp = cp - U'A' + U'a';
    key = Key{.code = KeyCode::kChar, .ch = cp, .alt = alt, .shift = shift, .ctrl = ctrl};
  } else {
    return "unknown key \"" + std::string(word) +
           "\" (Enter, Space, Escape, Up, Down, Left, Right, Tab, Backspace, Delete, Home, End, "
           "PageUp, PageDown, F11 or one character, after alt+, ctrl+ or shift+ if held)";
  }
  return {};
}

std::string ParseUntil(const std::vector<std::string_view>& w, std::size_t& used, ScriptAction& a) {
  static constexpr const char* kStates[] = {"keys", "choice", "title", "msgbox", "exit", "idle"};
  if (w.size() < 2) return "until needs a state";
  used = 2;
  if (w[1] == "dialog") {
    if (w.size() < 3 || w[2].front() == '#') return "until dialog needs a form name";
    a.text = "dialog " + std::string(w[2]);
    used = 3;
    return {};
  }
  for (const char* state : kStates) {
    if (w[1] == state) {
      a.text = state;
      return {};
    }
  }
  return "unknown state \"" + std::string(w[1]) + "\"";
}

std::string ParsePoint(const std::vector<std::string_view>& w, std::size_t& used, ScriptAction& a) {
  if (w.size() < 3 || !ParseNumber(w[1], a.x) || !ParseNumber(w[2], a.y)) {
    return std::string(w[0]) + " needs two whole numbers X Y";
  }
  used = 3;
  return {};
}

std::string ParseDialog(const Words& words, std::string_view line, std::size_t& used,
                        ScriptAction& a) {
  const auto& w = words.words;
  a.verb = std::string(w[0]);
  const std::size_t needed = a.verb == "set" ? 4 : 3;
  if (w.size() < needed) {
    return a.verb + (a.verb == "set" ? " needs FORM CONTROL VALUE" : " needs FORM CONTROL");
  }
  a.form = std::string(w[1]);
  a.control = std::string(w[2]);
  used = needed;
  if (a.verb == "set") {
    a.text = std::string(w[3]);
  } else if (a.verb == "type") {
    // The text is the rest of the line as written, spaces and '#' included.
    if (w.size() > 3) {
      std::string_view rest = line.substr(words.starts[3]);
      while (!rest.empty() && IsBlank(rest.back())) rest.remove_suffix(1);
      a.text = std::string(rest);
    }
    used = w.size();
  }
  return {};
}

// Fills a from one non-empty line; returns an error text or "".
std::string ParseAction(std::string_view line, ScriptAction& a) {
  const Words words = Split(line);
  const auto& w = words.words;
  const std::string_view verb = w[0];
  std::size_t used = 1;
  std::string error;
  if (verb == "wait") {
    a.kind = ActionKind::kWait;
    if (w.size() < 2 || !ParseNumber(w[1], a.ms) ||
        a.ms > static_cast<std::uint32_t>(std::numeric_limits<std::int32_t>::max())) {
      return "wait needs a number of milliseconds";
    }
    used = 2;
  } else if (verb == "until") {
    a.kind = ActionKind::kUntil;
    error = ParseUntil(w, used, a);
  } else if (verb == "click" || verb == "rclick" || verb == "move") {
    a.kind = verb == "click"    ? ActionKind::kClick
             : verb == "rclick" ? ActionKind::kRClick
                                : ActionKind::kMove;
    error = ParsePoint(w, used, a);
  } else if (verb == "key") {
    a.kind = ActionKind::kKey;
    if (w.size() < 2) return "key needs a key name";
    error = ParseKey(w[1], a.key);
    used = 2;
  } else if (verb == "menu" || verb == "shot") {
    a.kind = verb == "menu" ? ActionKind::kMenu : ActionKind::kShot;
    if (w.size() < 2)
      return std::string(verb) + (verb == "menu" ? " needs an item" : " needs a file");
    a.text = std::string(w[1]);
    used = 2;
  } else if (verb == "press" || verb == "type" || verb == "set") {
    a.kind = ActionKind::kDialog;
    error = ParseDialog(words, line, used, a);
  } else if (verb == "answer") {
    a.kind = ActionKind::kAnswer;
    const std::string value = w.size() < 2 ? std::string() : Lower(w[1]);
    if (value != "ok" && value != "yes" && value != "no") return "answer needs ok, yes or no";
    a.answer = value == "ok"    ? MsgBoxAnswer::kOk
               : value == "yes" ? MsgBoxAnswer::kYes
                                : MsgBoxAnswer::kNo;
    used = 2;
  } else if (verb == "quit") {
    a.kind = ActionKind::kQuit;
  } else {
    return "unknown action \"" + std::string(verb) + "\"";
  }
  if (!error.empty()) return error;
  if (used < w.size() && w[used].front() != '#') {
    return "unexpected \"" + std::string(w[used]) + "\" after " + std::string(verb);
  }
  return {};
}

}  // namespace

bool IsInput(ActionKind kind) {
  switch (kind) {
    case ActionKind::kClick:
    case ActionKind::kRClick:
    case ActionKind::kMove:
    case ActionKind::kKey:
    case ActionKind::kMenu:
    case ActionKind::kDialog:
    case ActionKind::kQuit:
      return true;
    default:
      return false;
  }
}

ParseResult ParseInputScript(std::string_view script) {
  std::vector<ScriptAction> actions;
  int lineNo = 0;
  while (!script.empty()) {
    ++lineNo;
    const std::size_t eol = script.find('\n');
    const std::string_view line = script.substr(0, eol);
    script.remove_prefix(eol == std::string_view::npos ? script.size() : eol + 1);
    std::size_t first = 0;
    while (first < line.size() && IsBlank(line[first])) ++first;
    if (first == line.size() || line[first] == '#') continue;
    ScriptAction action;
    action.line = lineNo;
    if (std::string error = ParseAction(line, action); !error.empty()) {
      return ParseResult::Error("input script line " + std::to_string(lineNo) + ": " + error);
    }
    actions.push_back(std::move(action));
  }
  return actions;
}

}  // namespace kovan
