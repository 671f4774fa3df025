#include "test_game.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "engine/game_exit.h"
#include "engine/scenario.h"
#include "platform/files.h"
#include "platform/headless/headless_platform.h"
#include "platform/text_codec.h"
#include "story/runner.h"

namespace kovan::testing {
namespace {

std::string Quoted(const std::string& text) { return text.empty() ? "" : "\"" + text + "\""; }

void WriteCp932(const std::string& path, const std::string& utf8, bool complemented) {
  Result<std::string> cp932 = Utf8ToCp932(utf8);
  ASSERT_TRUE(cp932.ok()) << cp932.error();
  Bytes bytes(cp932->begin(), cp932->end());
  ASSERT_TRUE(WriteFileBytes(path, complemented ? Complement(bytes) : bytes).ok()) << path;
}

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

void WriteGameFolder(const std::string& dir, const GameSetup& setup) {
  CopyDemoData(dir);
  if (setup.scenario) WriteCp932(dir + "91.dat", *setup.scenario, true);
  if (setup.choices) WriteCp932(dir + "92.dat", *setup.choices, true);
  if (!setup.config.empty()) {
    std::string config;
    for (const std::string& line : setup.config) config += line + "\r\n";
    WriteCp932(dir + "90.dat", config, false);
  }
  if (setup.prepare) setup.prepare(dir);
}

void ProbePlatform::Sleep(std::uint32_t ms) {
  clock += ms + oversleepMs;
  ++sleeps;
}

void ProbePlatform::DoEvents() {
  ++yields;
  FireTimers();
  if (onYield) onYield();
}

void ProbePlatform::Present() {
  clock += drawMs;
  ++presents;
  if (onPresent) onPresent();
}

MsgBoxAnswer ProbePlatform::MessageBox(const std::string& text, MsgBoxButtons buttons) {
  const bool ok = buttons == MsgBoxButtons::kOk;
  trace().Event(clock, "msgbox",
                {{"text", text}, {"buttons", ok ? "ok" : "yesno"}, {"answer", ok ? "ok" : "no"}});
  return ok ? MsgBoxAnswer::kOk : MsgBoxAnswer::kNo;
}

TestGame::TestGame(const GameSetup& setup) : dir_(setup.folder.empty() ? fresh_.path() : setup.folder) {
  if (setup.folder.empty()) WriteGameFolder(dir_, setup);
  if (setup.probe) {
    platform_ = std::make_unique<ProbePlatform>();
  } else {
    HeadlessOptions options;
    options.inputScript = setup.input;
    options.shotsDir = dir_;
    options.maxMs = setup.maxMs;
    if (!setup.soundFont.empty()) options.audioPath = dir_ + "heard.wav";
    options.soundFont = setup.soundFont;
    auto created = CreateHeadlessPlatform(options);
    if (!created) throw std::runtime_error(created.error());
    platform_ = std::move(created.value());
  }
  trace_.onTrace = setup.onTrace;
  platform_->trace().SetStream(&traceStream_);
  game_ = std::make_unique<Game>(*platform_, GameOptions{dir_, ""});
  if (!setup.start) return;
  game_->StartUp();
  game_->state.MsgMode = setup.msgMode;
  if (setup.probe) probe().ResetCounters();
}

TestGame::~TestGame() {
  game_.reset();
  platform_->trace().SetStream(nullptr);
}

int TestGame::TraceBuffer::sync() {
  if (onTrace) {
    const std::string& text = str();
    const std::size_t start = text.rfind('\n', text.size() >= 2 ? text.size() - 2 : 0);
    onTrace(std::string_view(text).substr(start == std::string::npos ? 0 : start + 1));
  }
  return 0;
}

ProbePlatform& TestGame::probe() {
  auto* probe = dynamic_cast<ProbePlatform*>(platform_.get());
  if (probe == nullptr) throw std::logic_error("the game has no probe platform");
  return *probe;
}

std::string TestGame::Run(std::int32_t pos) {
  state().SeqPos = pos;
  try {
    game().script().ScriptRun();
  } catch (const GameExit& e) {
    return e.reason;
  }
  return "";
}

int TestGame::RunProgram() { return RunGame(*game_); }

void TestGame::Say(const std::string& text, std::int16_t speaker, const std::string& tag) {
  state().SpeakerNo = speaker;
  messages().MessageOut(tag, text, speaker == 0 ? MakeRgb(192, 192, 255) : kWhite);
}

void TestGame::Watch(std::function<void(std::uint32_t)> look) {
  platform_->AddTimer(1, [this, look = std::move(look)] { look(platform_->Ticks()); });
}

Surface TestGame::Picture(const std::string& name) {
  Result<Surface> picture = game().dataFiles()->LoadPicture(name);
  EXPECT_TRUE(picture.ok()) << (picture.ok() ? "" : picture.error());
  return picture.ok() ? std::move(picture.value()) : Surface();
}

Surface TestGame::Screen() {
  Surface out;
  platform_->stage().Compose(out);
  return out;
}

std::vector<std::int64_t> TestGame::Numbers(std::string_view ev, std::string_view key) const {
  std::vector<std::int64_t> out;
  for (const std::string& e : Events(ev)) out.push_back(NumberOf(e, key));
  return out;
}

std::vector<std::string> TestGame::Strings(std::string_view ev, std::string_view key) const {
  return FieldsOf(Trace(), ev, key);
}

}  // namespace kovan::testing
