#include "script_play.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "data_folder.h"
#include "engine/game_exit.h"
#include "platform/headless/headless_platform.h"

namespace kovan::testing {
namespace {

std::string Quoted(const std::string& text) { return text.empty() ? "" : "\"" + text + "\""; }

}  // namespace

std::string ScenarioText(std::initializer_list<ScriptLine> lines) {
  std::string out;
  for (const ScriptLine& l : lines) {
    out += std::to_string(l.section) + "," + l.cmd + "," + l.jump + "," + Quoted(l.place) + "," +
           Quoted(l.doll) + "," + Quoted(l.face) + ",," + Quoted(l.speaker) + "," + Quoted(l.text) +
           "," + Quoted(l.arg1) + "," + Quoted(l.arg2) + "," + Quoted(l.subst) + ",\r\n";
  }
  return out;
}

void WriteScriptFolder(const std::string& dir, const std::string& scenario,
                       const std::string& choices) {
  WriteDataFolder(dir, DataFolderSpec{{}, scenario, choices});
}

ScriptPlay::ScriptPlay(const std::string& scenario, const std::string& input,
                       const std::string& choices) {
  WriteScriptFolder(dir_.path(), scenario, choices);
  HeadlessOptions options;
  options.inputScript = input;
  auto platform = CreateHeadlessPlatform(options);
  if (!platform.ok()) throw std::runtime_error(platform.error());
  platform_ = std::move(*platform);
  platform_->trace().SetStream(&trace_);
  game_ = std::make_unique<Game>(*platform_, GameOptions{dir_.path(), dir_.path()});
  game_->StartUp();
  game_->state.MsgMode = 0;
}

std::string ScriptPlay::Run(std::int32_t pos) {
  game_->state.SeqPos = pos;
  try {
    game_->script().ScriptRun();
  } catch (const GameExit& e) {
    return e.reason;
  }
  return "";
}

std::vector<std::string> ScriptPlay::Events(std::string_view ev) const {
  const std::string tag = "\"ev\":\"" + std::string(ev) + "\"";
  std::vector<std::string> out;
  std::istringstream in(trace_.str());
  for (std::string line; std::getline(in, line);) {
    if (line.find(tag) != std::string::npos) out.push_back(line);
  }
  return out;
}

std::vector<int> ScriptPlay::Lines() const {
  std::vector<int> out;
  for (const std::string& e : Events("line")) out.push_back(static_cast<int>(NumberOf(e, "pos")));
  return out;
}

std::vector<std::string> ScriptPlay::Texts() const {
  std::vector<std::string> out;
  for (const std::string& e : Events("message")) out.push_back(FieldOf(e, "text"));
  return out;
}

std::string FieldOf(std::string_view event, std::string_view key) {
  const std::string name = "\"" + std::string(key) + "\":";
  const std::size_t at = event.find(name);
  if (at == std::string_view::npos) return "";
  std::string_view rest = event.substr(at + name.size());
  if (rest.starts_with('"')) return std::string(rest.substr(1, rest.find('"', 1) - 1));
  if (rest.starts_with('[')) return std::string(rest.substr(0, rest.find(']') + 1));
  return std::string(rest.substr(0, rest.find_first_of(",}")));
}

std::int64_t NumberOf(std::string_view event, std::string_view key) {
  const std::string value = FieldOf(event, key);
  return value.empty() ? -1 : std::stoll(value);
}

}  // namespace kovan::testing
