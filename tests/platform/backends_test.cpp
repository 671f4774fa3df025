// What the backends share (the trace, the stage, timers) and the headless
// backend's input script, message boxes and screenshots.
#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>
#include <sstream>

#include "pixels.h"
#include "platform/files.h"
#include "platform/headless/headless_platform.h"
#include "platform/system_facts.h"
#include "test_support.h"

namespace kovan {
namespace {

using Events = std::vector<std::string>;

// Writes down every input with the game time it arrived at, as
// "<t> <what>", so a test can compare the whole sequence at once.
class RecordingSink : public InputSink {
 public:
  explicit RecordingSink(Platform& p) : p_(p) { p.SetInputSink(this); }
  void OnMouseDown(MouseButton b, int x, int y) override {
    Add(b == MouseButton::kLeft ? "click" : "rclick", x, y);
  }
  void OnMouseMove(int x, int y) override { Add("move", x, y); }
  void OnKeyDown(const Key& k) override {
    static constexpr const char* kNames[] = {"Enter", "Space", "Escape", "",    "Up",
                                             "Down",  "Left",  "Right",  "Tab", "F11"};
    Add(k.code == KeyCode::kChar ? "char " + std::to_string(static_cast<unsigned>(k.ch))
                                 : std::string("key ") + (k.alt ? "Alt+" : "") +
                                       kNames[static_cast<int>(k.code)]);
  }
  void OnMenu(const std::string& item) override { Add("menu " + item); }
  void OnDialogAction(const std::string& verb, const std::string& form, const std::string& control,
                      const std::string& value) override {
    Add(verb + "|" + form + "|" + control + "|" + value);
  }
  void OnClose() override { Add("close"); }

  Events events;

 private:
  void Add(const std::string& what) { events.push_back(std::to_string(p_.Ticks()) + " " + what); }
  void Add(const std::string& what, int x, int y) {
    Add(what + " " + std::to_string(x) + " " + std::to_string(y));
  }
  Platform& p_;
};

std::unique_ptr<Platform> Headless(const std::string& script, std::int64_t maxMs = -1,
                                   const std::string& shotsDir = "") {
  HeadlessOptions options;
  options.inputScript = script;
  options.maxMs = maxMs;
  options.shotsDir = shotsDir;
  Result<std::unique_ptr<Platform>> p = CreateHeadlessPlatform(options);
  EXPECT_TRUE(p.ok()) << p.error();
  return p ? std::move(p.value()) : nullptr;
}

// The game's side of a wait: let events run, then sleep a step.
void RunGame(Platform& p, std::uint32_t untilMs, std::uint32_t stepMs) {
  while (p.Ticks() < untilMs) {
    p.DoEvents();
    p.Sleep(stepMs);
  }
}

// Control characters are escaped, UTF-8 kept, and bytes that are no UTF-8
// (a stray continuation, a cut-off sequence, an overlong '/', a surrogate)
// each become U+FFFD.
TEST(Trace, JsonQuote_EscapesControlsAndKeepsOrRepairsUtf8) {
  const std::pair<std::string, std::string> cases[] = {
      {"a\"b\\c", "\"a\\\"b\\\\c\""},
      {std::string("\n\t\x01\x1f\0", 5), "\"\\n\\t\\u0001\\u001f\\u0000\""},
      {"終了ﾌｧｲﾙ▼\x7f", "\"終了ﾌｧｲﾙ▼\x7f\""},
      {"a\x80z", "\"a\\ufffdz\""},
      {"\xe7\xb5", "\"\\ufffd\\ufffd\""},
      {"\xc0\xaf", "\"\\ufffd\\ufffd\""},
      {"\xed\xa0\x80", "\"\\ufffd\\ufffd\\ufffd\""}};
  for (const auto& [text, json] : cases) EXPECT_EQ(JsonQuote(text), json);
}

// Shown surfaces by order, then registration, clipped to the picture; a
// label shows only inside its container, its black letting what is below
// show through.
TEST(Stage, ComposeAndHitTest) {
  Stage stage;
  Surface low(10, 10, 0x0000FF), highFirst(10, 10, 0xFF0000), highSecond(10, 10, 0x00FF00),
      hidden(640, 480, 0xFFFFFF), corner(20, 20, 0x123456), window(30, 30, 0x654321),
      label(40, 10, 0x777777);
  low.left = highFirst.left = 100;
  highFirst.zOrder = highSecond.zOrder = 5;
  highSecond.left = 105;
  corner.left = 630, corner.top = 470;
  window.left = 200, window.top = -15;
  label.container = &window, label.keyBlack = true;
  label.zOrder = 9, label.left = 5, label.top = 16;
  label.SetPoint(1, 0, kBlack);
  for (Surface* s : {&highFirst, &highSecond, &low, &hidden, &corner, &window, &label}) {
    s->shown = s != &hidden;
    stage.Add(s);
  }
  Surface out(3, 3, 0xABCDEF);
  stage.Compose(out);
  const std::pair<std::pair<int, int>, Rgb> expected[] = {
      {{102, 5}, 0xFF0000}, {{107, 5}, 0x00FF00}, {{99, 5}, kBlack},     {{639, 479}, 0x123456},
      {{629, 479}, kBlack}, {{204, 1}, 0x654321}, {{205, 1}, 0x777777},  {{206, 1}, 0x654321},
      {{229, 1}, 0x777777}, {{230, 1}, kBlack},   {{300, 300}, kBlack}};
  for (const auto& [at, colour] : expected) {
    EXPECT_EQ(out.Point(at.first, at.second), colour) << at.first << "," << at.second;
  }
  EXPECT_EQ(stage.HitTest(102, 5), &highFirst);
  EXPECT_EQ(stage.HitTest(210, 1), &label);
  EXPECT_EQ(stage.HitTest(300, 300), nullptr);
  EXPECT_EQ(stage.HitTest(640, 479), nullptr);
  window.left = -2147483647 - 1;  // parked far away: no overflow, no hit
  EXPECT_EQ(stage.HitTest(0, 1), nullptr);
  stage.Remove(&highSecond);
  stage.Compose(out);
  EXPECT_EQ(out.Point(107, 5), 0xFF0000u);
}

TEST(Timers, FireOnTheirIntervalOnceWhenLateAndRestartWhenEnabled) {
  auto p = Headless("");
  std::vector<std::uint32_t> fired;
  int added = 0;
  const int id = p->AddTimer(500, [&] {
    fired.push_back(p->Ticks());
    p->AddTimer(1000000, [&] { ++added; });  // grows the list being walked
  });
  p->AddTimer(0, [&] { ADD_FAILURE() << "an interval of 0 never fires"; });
  RunGame(*p, 1001, 10);
  p->Sleep(1450);  // late: one tick, then the count goes on from now
  RunGame(*p, 3000, 10);
  EXPECT_EQ(fired, (std::vector<std::uint32_t>{500, 1000, 2460, 2960}));
  p->EnableTimer(id, false);
  RunGame(*p, 4000, 10);
  p->Sleep(7);
  fired.clear();
  p->EnableTimer(id, true);
  RunGame(*p, 4510, 10);
  EXPECT_EQ(fired, (std::vector<std::uint32_t>{4507}));
  EXPECT_EQ(added, 0);
}

TEST(InputScript, BadLines_AreRejectedNamingTheLine) {
  const std::pair<const char*, const char*> cases[] = {
      {"clikc 1 2", "line 1: unknown action"},
      {"# comment\n\nwait -5", "line 3: wait"},
      {"click 10", "line 1: click needs two whole numbers"},
      {"move 1 2x", "line 1: move"},
      {"key Foo", "line 1: unknown key \"Foo\""},
      {"key \xff", "line 1: unknown key"},
      {"until nowhere", "line 1: unknown state"},
      {"until dialog", "line 1: until dialog needs"},
      {"answer maybe", "line 1: answer"},
      {"set Option_Window HScroll1", "line 1: set needs FORM CONTROL VALUE"},
      {"quit\nclick 1 2 3", "line 2: unexpected \"3\""},
      {"menu", "line 1: menu needs"},
  };
  for (const auto& [script, expected] : cases) {
    HeadlessOptions options;
    options.inputScript = script;
    Result<std::unique_ptr<Platform>> p = CreateHeadlessPlatform(options);
    ASSERT_FALSE(p.ok()) << script;
    EXPECT_NE(p.error().find(expected), std::string::npos) << p.error();
  }
}

TEST(InputScript, Actions_ReachTheSinkAsWritten) {
  auto p = Headless(
      "  # a comment line\r\nclick 10 20   # trailing comment\r\nrclick 639 479\nmove -1 5\n"
      "key Enter\nkey space\nkey ESCAPE\nkey f11\nkey Alt+Enter\nkey #\nkey ﾌ\nmenu prog_save\n"
      "press File_Window fBtn(3)\ntype NameEnt Text1  山田 # 太郎  \nset Option_Window HScroll1 5\nquit\n");
  RecordingSink sink(*p);
  p->SetMenu({MenuItem{"prog_save", "セーブ"}});
  p->SetGameState("idle");  // the script's end adds no second close after its quit
  for (int i = 0; i < 20; ++i) p->DoEvents();
  EXPECT_EQ(sink.events,
            (Events{"0 click 10 20", "0 rclick 639 479", "0 move -1 5", "0 key Enter",
                    "0 key Space", "0 key Escape", "0 key F11", "0 key Alt+Enter", "0 char 35",
                    "0 char 65420", "0 menu prog_save", "0 press|File_Window|fBtn(3)|",
                    "0 type|NameEnt|Text1|山田 # 太郎", "0 set|Option_Window|HScroll1|5", "0 close"}));
}

TEST(InputScript, WaitAndUntil_HoldActionsOnTheGameClock) {
  auto p = Headless("wait 100\nclick 1 1\nuntil keys\nkey Enter\nuntil keys\nwait 50\nclick 2 2\n");
  RecordingSink sink(*p);
  // The game reports "keys" at 0 (stale by the time it is needed), then
  // waits for the player from 300 on and again from 600 on.
  p->SetGameState("keys");
  while (p->Ticks() < 1000) {
    if (p->Ticks() == 300 || p->Ticks() == 600) p->SetGameState("keys");
    p->DoEvents();
    p->Sleep(30);
  }
  EXPECT_EQ(sink.events, (Events{"120 click 1 1", "300 key Enter", "660 click 2 2"}));
}

// A box takes its answer from the script after the waits ahead of it; a
// box without one takes its default (OK, or No) and leaves the script; an
// answer that doesn't fit the box counts as its first button.
TEST(HeadlessMessageBox, ScriptedAnswersAndDefaults) {
  auto p = Headless("click 5 5\nuntil msgbox\nwait 50\nanswer yes\nkey Enter\nwait 10\n"
                    "click 1 1\nanswer no\n");
  RecordingSink sink(*p);
  std::ostringstream trace;
  p->trace().SetStream(&trace);
  p->Sleep(20);
  p->DoEvents();
  EXPECT_EQ(p->MessageBox("終了しますか？\n\"はい\"", MsgBoxButtons::kYesNo), MsgBoxAnswer::kYes);
  EXPECT_EQ(p->Ticks(), 70u);
  EXPECT_EQ(p->MessageBox("a", MsgBoxButtons::kOk), MsgBoxAnswer::kOk);
  EXPECT_EQ(p->MessageBox("b", MsgBoxButtons::kYesNo), MsgBoxAnswer::kNo);
  EXPECT_EQ(p->Ticks(), 70u);
  RunGame(*p, 200, 10);
  EXPECT_EQ(sink.events, (Events{"20 click 5 5", "70 key Enter", "90 click 1 1"}));
  EXPECT_EQ(p->MessageBox("c", MsgBoxButtons::kOk), MsgBoxAnswer::kOk);
  const Events boxes = testing::TraceEvents(trace.str(), "msgbox");
  ASSERT_EQ(boxes.size(), 4u);
  EXPECT_EQ(boxes[0], "{\"t\":20,\"ev\":\"msgbox\",\"text\":\"終了しますか？\\n\\\"はい\\\"\","
                      "\"buttons\":\"yesno\",\"answer\":\"yes\"}");
  EXPECT_EQ(testing::FieldsOf(trace.str(), "msgbox", "answer"), (Events{"yes", "ok", "no", "ok"}));
}

// A `menu` action reaches the game only through an enabled, visible item
// of the menu bar; others are dropped, traced, and count as no input (nor
// do they end a wait: the script is then used up and closes).
TEST(InputScript, Menu_ReachesTheGameOnlyThroughALiveItem) {
  auto p = Headless("menu prog_end\nmenu prog_save\nmenu opt_menu\nmenu nothing\n"
                    "wait 10\nmenu prog_save\n");
  RecordingSink sink(*p);
  std::ostringstream trace;
  p->trace().SetStream(&trace);
  p->SetMenu({MenuItem{"prog_end", "終了"}, MenuItem{"prog_save", "セーブ", false},
              MenuItem{"opt_menu", "設定", true, false}});
  p->DoEvents();
  p->DoEvents();
  EXPECT_EQ(testing::FieldsOf(trace.str(), "menu", "item"),
            (Events{"prog_save", "opt_menu", "nothing"}));
  p->SetMenu({MenuItem{"prog_save", "セーブ"}});  // enabled by the time it comes again
  p->Sleep(10);
  p->DoEvents();
  EXPECT_EQ(sink.events, (Events{"0 menu prog_end", "10 menu prog_save"}));

  auto q = Headless("menu prog_end\n");
  RecordingSink sinkQ(*q);
  q->SetGameState("idle");
  q->DoEvents();
  EXPECT_EQ(sinkQ.events, (Events{"0 close"}));
}

// A shot, when its time comes, is the composed picture as a PNG.
TEST(HeadlessShot, WritesTheComposedPicture) {
  testing::TempDir dir;
  auto p = Headless("wait 10\nshot first.png\nshot sub/second.png\n", -1, dir.path());
  Surface back = testing::Pattern(640, 480, 1), sprite(100, 60, 0xFF8000);
  back.shown = sprite.shown = true;
  sprite.left = 590, sprite.top = -20;
  p->stage().Add(&back);
  p->stage().Add(&sprite);
  p->DoEvents();
  EXPECT_FALSE(FileExists(dir.path() + "first.png"));
  p->Sleep(10);
  p->DoEvents();
  Surface composed;
  p->stage().Compose(composed);
  ASSERT_TRUE(SavePng(composed, dir.path() + "expected.png").ok());
  const std::string expected = testing::ReadAll(dir.path() + "expected.png");
  EXPECT_EQ(testing::ReadAll(dir.path() + "first.png"), expected);
  EXPECT_EQ(testing::ReadAll(dir.path() + "sub/second.png"), expected);
}

TEST(SystemFacts, Parsers_SurviveOddInput) {
  const std::pair<const char*, std::vector<int>> releases[] = {
      {"6.1.0-28-amd64", {6, 1, 0}}, {"5.15.167.4-microsoft", {5, 15, 167}}, {"6.x.9", {6, 0, 0}},
      {"..3", {0, 0, 0}},            {"99999999999999999999.2", {999999999, 2, 0}}};
  for (const auto& [release, parts] : releases) {
    const KernelVersion v = ParseKernelRelease(release);
    EXPECT_EQ(std::vector<int>({v.major, v.minor, v.build}), parts) << release;
  }
  const CpuSignature cpu = ParseCpuInfo(
      "processor\t: 0\ncpu family\t: 6\nmodel\t\t: 158\nmodel name\t: X\nstepping\t: 10\n\n"
      "processor\t: 1\ncpu family\t: 15\n");
  EXPECT_EQ(std::vector<int>({cpu.family, cpu.model, cpu.stepping}), std::vector<int>({6, 158, 10}));
  EXPECT_EQ(ParseCpuInfo("processor : 0\n:::\nmodel : x\n").model, 0);
  const std::string meminfo = "MemTotal:  2048 kB\nMemAvailable2: 7 kB\nMemAvailable:   512 kB\n";
  EXPECT_EQ(ParseKbField(meminfo, "MemAvailable"), std::optional<std::uint64_t>(512 * 1024));
  for (const char* bad : {"VmSize: lots\n", "VmSize: 99999999999999999999 kB", "VmSiz: 1 kB"}) {
    EXPECT_EQ(ParseKbField(bad, "VmSize"), std::nullopt) << bad;
  }
  std::tm tm{};
  tm.tm_year = 124, tm.tm_mon = 2, tm.tm_mday = 5, tm.tm_hour = 9, tm.tm_min = 7, tm.tm_sec = 8;
  EXPECT_EQ(FormatLocalTime(tm), "2024/03/05 9:07:08");
  for (auto [avail, load] : {std::pair{333, 67}, {335, 67}, {336, 66}, {2000, 0}}) {
    EXPECT_EQ(MemoryLoadPercent(1000, avail), load) << avail;
  }
  EXPECT_EQ(MemoryLoadPercent(0, 0), 0);
}

}  // namespace
}  // namespace kovan
