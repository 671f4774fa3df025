#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>

#include "platform/files.h"
#include "platform/headless/headless_platform.h"
#include "platform/pictures.h"
#include "platform/signals.h"
#include "platform/system_facts.h"
#include "test_support.h"
#if defined(KOVAN_SDL_TESTS)
#include "platform/sdl/sdl_platform.h"
#endif
#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace kovan {
namespace {

// Writes down every input with the game time it arrived at, as
// "<t> <what>", so a test can compare the whole sequence at once.
class RecordingSink : public InputSink {
 public:
  explicit RecordingSink(Platform& p) : p_(p) { p.SetInputSink(this); }
  void OnMouseDown(MouseButton b, int x, int y) override {
    Add((b == MouseButton::kLeft ? "click " : "rclick ") + std::to_string(x) + " " +
        std::to_string(y));
  }
  void OnMouseMove(int x, int y) override {
    Add("move " + std::to_string(x) + " " + std::to_string(y));
  }
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

  std::vector<std::string> events;

 private:
  void Add(const std::string& what) { events.push_back(std::to_string(p_.Ticks()) + " " + what); }
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

using Events = std::vector<std::string>;

// --- trace ------------------------------------------------------------------

TEST(Trace, Event_WritesFieldsInOrderWithTheirTypes) {
  std::ostringstream out;
  Trace trace(&out);
  trace.Event(12, "message",
              {{"tag", "Ｃ"},
               {"lineNo", 0},
               {"rgb", std::vector<int>{255, 0, 7}},
               {"full", false},
               {"options", std::vector<std::string>{"a", "\""}},
               {"n", -3L}});
  trace.Event(13, "wait");
  EXPECT_EQ(out.str(),
            "{\"t\":12,\"ev\":\"message\",\"tag\":\"Ｃ\",\"lineNo\":0,\"rgb\":[255,0,7],"
            "\"full\":false,\"options\":[\"a\",\"\\\"\"],\"n\":-3}\n"
            "{\"t\":13,\"ev\":\"wait\"}\n");
}

TEST(Trace, JsonQuote_EscapesControlsAndKeepsOrRepairsUtf8) {
  EXPECT_EQ(JsonQuote(""), "\"\"");
  EXPECT_EQ(JsonQuote("a\"b\\c"), "\"a\\\"b\\\\c\"");
  EXPECT_EQ(JsonQuote(std::string("\n\t\x01\x1f", 4) + std::string(1, '\0')),
            "\"\\n\\t\\u0001\\u001f\\u0000\"");
  EXPECT_EQ(JsonQuote("終了しますか？ﾌｧｲﾙ▼\x7f"), "\"終了しますか？ﾌｧｲﾙ▼\x7f\"");
  // A stray continuation byte, a cut-off sequence, an overlong '/', a surrogate.
  EXPECT_EQ(JsonQuote("a\x80z"), "\"a\\ufffdz\"");
  EXPECT_EQ(JsonQuote("\xe7\xb5"), "\"\\ufffd\\ufffd\"");
  EXPECT_EQ(JsonQuote("\xc0\xaf"), "\"\\ufffd\\ufffd\"");
  EXPECT_EQ(JsonQuote("\xed\xa0\x80"), "\"\\ufffd\\ufffd\\ufffd\"");
}

// --- stage --------------------------------------------------------------------

TEST(Stage, Compose_DrawsShownSurfacesByOrderThenRegistrationClipped) {
  Stage stage;
  Surface low(10, 10, 0x0000FF), highFirst(10, 10, 0xFF0000), highSecond(10, 10, 0x00FF00),
      hidden(640, 480, 0xFFFFFF), corner(20, 20, 0x123456), offLeft(20, 20, 0x654321);
  low.zOrder = 0;
  highFirst.zOrder = highSecond.zOrder = 5;
  low.left = highFirst.left = 100;
  highSecond.left = 105;
  corner.left = 630, corner.top = 470;
  offLeft.left = -15, offLeft.top = -15;
  for (Surface* s : {&highFirst, &highSecond, &low, &hidden, &corner, &offLeft}) {
    s->shown = s != &hidden;
    stage.Add(s);
  }
  Surface out(3, 3, 0xABCDEF);
  stage.Compose(out);
  ASSERT_EQ(out.Width(), 640);
  ASSERT_EQ(out.Height(), 480);
  EXPECT_EQ(out.Point(102, 5), 0xFF0000u);  // over the lower order added later
  EXPECT_EQ(out.Point(107, 5), 0x00FF00u);  // equal order: later registration on top
  EXPECT_EQ(out.Point(99, 5), kBlack);
  EXPECT_EQ(out.Point(639, 479), 0x123456u);
  EXPECT_EQ(out.Point(629, 479), kBlack);
  EXPECT_EQ(out.Point(4, 4), 0x654321u);
  EXPECT_EQ(out.Point(5, 5), kBlack);
  EXPECT_EQ(out.Point(300, 300), kBlack);

  stage.Remove(&highSecond);
  stage.Compose(out);
  EXPECT_EQ(out.Point(107, 5), 0xFF0000u);
}

TEST(Stage, HitTest_FindsTopmostShownSurface) {
  Stage stage;
  Surface back(640, 480), front(50, 50), hiddenTop(640, 480);
  front.left = 600, front.top = 10, front.zOrder = 1;
  hiddenTop.zOrder = 9;
  back.shown = front.shown = true;
  for (Surface* s : {&front, &back, &hiddenTop}) stage.Add(s);
  EXPECT_EQ(stage.HitTest(600, 10), &front);
  EXPECT_EQ(stage.HitTest(639, 59), &front);
  EXPECT_EQ(stage.HitTest(599, 10), &back);
  EXPECT_EQ(stage.HitTest(620, 60), &back);
  EXPECT_EQ(stage.HitTest(640, 10), nullptr);
  EXPECT_EQ(stage.HitTest(-1, 0), nullptr);
  front.left = -2147483647 - 1;  // parked far away: no overflow, no hit
  EXPECT_EQ(stage.HitTest(0, 10), &back);
}

// --- timers on the headless clock ------------------------------------------

TEST(Timers, Fire_OnTheirIntervalAcrossSmallSleeps) {
  auto p = Headless("");
  std::vector<std::uint32_t> fired;
  const int id = p->AddTimer(500, [&] { fired.push_back(p->Ticks()); });
  RunGame(*p, 2001, 10);
  EXPECT_EQ(fired, (std::vector<std::uint32_t>{500, 1000, 1500, 2000}));

  // Disabled it stays quiet; enabled again it counts from then.
  p->EnableTimer(id, false);
  RunGame(*p, 3000, 10);
  p->Sleep(7);
  p->EnableTimer(id, true);
  fired.clear();
  RunGame(*p, 4010, 10);
  EXPECT_EQ(fired, (std::vector<std::uint32_t>{3507, 4007}));
}

TEST(Timers, LateEventsFireOnceAndHandlersMayAddTimers) {
  auto p = Headless("");
  int ticks = 0, added = 0;
  p->AddTimer(100, [&] {
    ++ticks;
    // Grows the list the loop is walking.
    for (int i = 0; i < 20; ++i) p->AddTimer(1000000, [&] { ++added; });
  });
  p->AddTimer(0, [&] { ADD_FAILURE() << "an interval of 0 never fires"; });
  p->Sleep(950);
  p->DoEvents();
  EXPECT_EQ(ticks, 1);
  p->Sleep(99);
  p->DoEvents();
  EXPECT_EQ(ticks, 1);
  p->Sleep(1);
  p->DoEvents();
  EXPECT_EQ(ticks, 2);
  EXPECT_EQ(added, 0);
  p->EnableTimer(-1, false);  // unknown ids are ignored
  p->EnableTimer(1000, true);
}

// --- input script -------------------------------------------------------------

struct BadScript {
  const char* script;
  const char* expected;  // part of the error
};

TEST(InputScript, BadLines_AreRejectedNamingTheLine) {
  const BadScript cases[] = {
      {"clikc 1 2", "line 1: unknown action"},
      {"# comment\n\nwait -5", "line 3: wait"},
      {"wait 10\nwait ten", "line 2: wait"},
      {"click 10", "line 1: click needs two whole numbers"},
      {"move 1 2x", "line 1: move"},
      {"key Foo", "line 1: unknown key \"Foo\""},
      {"key", "line 1: key needs"},
      {"until nowhere", "line 1: unknown state"},
      {"until dialog", "line 1: until dialog needs"},
      {"answer maybe", "line 1: answer"},
      {"set Option_Window HScroll1", "line 1: set needs FORM CONTROL VALUE"},
      {"press File_Window", "line 1: press needs"},
      {"quit\nclick 1 2 3", "line 2: unexpected \"3\""},
      {"menu", "line 1: menu needs"},
      {"key \xff", "line 1: unknown key"},
  };
  for (const BadScript& c : cases) {
    HeadlessOptions options;
    options.inputScript = c.script;
    Result<std::unique_ptr<Platform>> p = CreateHeadlessPlatform(options);
    ASSERT_FALSE(p.ok()) << c.script;
    EXPECT_NE(p.error().find(c.expected), std::string::npos) << p.error();
  }
}

TEST(InputScript, Actions_ReachTheSinkAsWritten) {
  auto p = Headless(
      "  # a comment line\r\n"
      "click 10 20   # trailing comment\r\n"
      "rclick 639 479\n"
      "move -1 5\n"
      "key Enter\nkey space\nkey ESCAPE\nkey f11\nkey Alt+Enter\nkey #\nkey ﾌ\n"
      "menu prog_save\n"
      "press File_Window fBtn(3)\n"
      "type NameEnt Text1  山田 # 太郎  \n"
      "set Option_Window HScroll1 5\n"
      "quit\n");
  RecordingSink sink(*p);
  p->SetMenu({MenuItem{"prog_save", "セーブ"}});
  for (int i = 0; i < 20; ++i) p->DoEvents();
  EXPECT_EQ(sink.events,
            (Events{"0 click 10 20", "0 rclick 639 479", "0 move -1 5", "0 key Enter",
                    "0 key Space", "0 key Escape", "0 key F11", "0 key Alt+Enter", "0 char 35",
                    "0 char 65420", "0 menu prog_save",
                    "0 press|File_Window|fBtn(3)|", "0 type|NameEnt|Text1|山田 # 太郎",
                    "0 set|Option_Window|HScroll1|5", "0 close"}));
}

TEST(InputScript, WaitAndUntil_HoldActionsOnTheGameClock) {
  auto p = Headless(
      "wait 100\nclick 1 1\n"
      "until keys\nkey Enter\n"
      "until keys\nwait 50\nclick 2 2\n");
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

TEST(InputScript, EndOfScript_ClosesOnceTheGameWaits) {
  auto p = Headless("wait 100\nkey e\n");
  RecordingSink sink(*p);
  RunGame(*p, 200, 10);  // no state reported: the game is busy
  p->SetGameState("idle");
  RunGame(*p, 400, 10);
  EXPECT_EQ(sink.events, (Events{"100 char 101", "200 close"}));

  // A trailing wait still counts as script.
  auto q = Headless("wait 100");
  RecordingSink sinkQ(*q);
  q->SetGameState("title");
  RunGame(*q, 300, 30);
  EXPECT_EQ(sinkQ.events, (Events{"120 close"}));

  // After a scripted quit the end of the script adds no second close.
  auto r = Headless("quit");
  RecordingSink sinkR(*r);
  r->SetGameState("exit");
  RunGame(*r, 100, 10);
  EXPECT_EQ(sinkR.events, (Events{"0 close"}));
}

TEST(InputScript, MaxMs_ClosesOnce) {
  auto p = Headless("until exit", 250);
  RecordingSink sink(*p);
  RunGame(*p, 1000, 100);
  EXPECT_EQ(sink.events, (Events{"300 close"}));
  auto q = Headless("until exit", 0);
  RecordingSink sinkQ(*q);
  q->DoEvents();
  q->DoEvents();
  EXPECT_EQ(sinkQ.events, (Events{"0 close"}));
}

TEST(InputScript, CloseSignal_ArrivesAsClose) {
  InstallCloseSignals();
  auto p = Headless("");
  RecordingSink sink(*p);
  std::raise(SIGTERM);
  ASSERT_TRUE(CloseSignalPending());
  p->DoEvents();
  p->DoEvents();
  EXPECT_FALSE(CloseSignalPending());
  EXPECT_EQ(sink.events, (Events{"0 close"}));
}

// --- message box --------------------------------------------------------------

TEST(HeadlessMessageBox, ScriptedAnswer_PassesItsWaitsAndIsTraced) {
  auto p = Headless("click 5 5\nuntil msgbox\nwait 50\nanswer yes\nkey Enter\n");
  RecordingSink sink(*p);
  std::ostringstream trace;
  p->trace().SetStream(&trace);
  p->Sleep(20);
  p->DoEvents();
  EXPECT_EQ(p->MessageBox("終了しますか？\n\"はい\"", MsgBoxButtons::kYesNo), MsgBoxAnswer::kYes);
  EXPECT_EQ(p->Ticks(), 70u);
  EXPECT_EQ(trace.str(),
            "{\"t\":20,\"ev\":\"msgbox\",\"text\":\"終了しますか？\\n\\\"はい\\\"\","
            "\"buttons\":\"yesno\",\"answer\":\"yes\"}\n");
  p->DoEvents();
  EXPECT_EQ(sink.events, (Events{"20 click 5 5", "70 key Enter"}));
}

TEST(HeadlessMessageBox, WithoutAnswer_TakesTheDefaultAndLeavesTheScript) {
  auto p = Headless("wait 10\nclick 1 1\nanswer no\n");
  RecordingSink sink(*p);
  std::ostringstream trace;
  p->trace().SetStream(&trace);
  EXPECT_EQ(p->MessageBox("a", MsgBoxButtons::kOk), MsgBoxAnswer::kOk);
  EXPECT_EQ(p->MessageBox("b", MsgBoxButtons::kYesNo), MsgBoxAnswer::kNo);
  EXPECT_EQ(p->Ticks(), 0u);
  // The answer waits in the script for a box; later input waits behind it.
  RunGame(*p, 100, 10);
  EXPECT_EQ(sink.events, (Events{"10 click 1 1"}));
  EXPECT_EQ(p->MessageBox("c", MsgBoxButtons::kOk), MsgBoxAnswer::kOk);  // "no" fits as OK
  EXPECT_EQ(trace.str(),
            "{\"t\":0,\"ev\":\"msgbox\",\"text\":\"a\",\"buttons\":\"ok\",\"answer\":\"ok\"}\n"
            "{\"t\":0,\"ev\":\"msgbox\",\"text\":\"b\",\"buttons\":\"yesno\",\"answer\":\"no\"}\n"
            "{\"t\":100,\"ev\":\"msgbox\",\"text\":\"c\",\"buttons\":\"ok\",\"answer\":\"ok\"}\n");
}

// --- screenshots --------------------------------------------------------------

std::uint32_t BigEndian32(const std::vector<std::uint8_t>& b, std::size_t at) {
  return (std::uint32_t{b[at]} << 24) | (std::uint32_t{b[at + 1]} << 16) |
         (std::uint32_t{b[at + 2]} << 8) | b[at + 3];
}

TEST(HeadlessShot, WritesTheComposedPicture) {
  testing::TempDir dir;
  auto p = Headless("wait 10\nshot first.png\nshot sub/second.png\n", -1, dir.path());
  Surface back(640, 480, 0x203040), sprite(100, 60, 0xFF8000);
  back.shown = sprite.shown = true;
  sprite.left = 590, sprite.top = -20;
  for (int x = 0; x < 640; ++x) back.SetPoint(x, x % 480, static_cast<Rgb>(x * 0x010203));
  p->stage().Add(&back);
  p->stage().Add(&sprite);
  p->DoEvents();
  EXPECT_FALSE(FileExists(dir.path() + "first.png"));  // not before its time
  p->Sleep(10);
  p->DoEvents();

  Surface composed;
  p->stage().Compose(composed);
  ASSERT_TRUE(SavePng(composed, dir.path() + "expected.png").ok());
  auto expected = ReadFileBytes(dir.path() + "expected.png");
  auto first = ReadFileBytes(dir.path() + "first.png");
  auto second = ReadFileBytes(dir.path() + "sub/second.png");
  ASSERT_TRUE(expected.ok() && first.ok() && second.ok());
  ASSERT_GT(first->size(), 24u);
  EXPECT_EQ(BigEndian32(*first, 16), 640u);  // IHDR width and height
  EXPECT_EQ(BigEndian32(*first, 20), 480u);
  EXPECT_EQ(*first, *expected);
  EXPECT_EQ(*second, *expected);
}

// --- system facts ---------------------------------------------------------------

TEST(SystemFacts, Parsers_SurviveOddInput) {
  const auto version = [](std::string_view s) {
    KernelVersion v = ParseKernelRelease(s);
    return std::vector<int>{v.major, v.minor, v.build};
  };
  EXPECT_EQ(version("6.1.0-28-amd64"), (std::vector<int>{6, 1, 0}));
  EXPECT_EQ(version("5.15.167.4-microsoft-standard-WSL2"), (std::vector<int>{5, 15, 167}));
  EXPECT_EQ(version("4.19"), (std::vector<int>{4, 19, 0}));
  EXPECT_EQ(version("6.x.9"), (std::vector<int>{6, 0, 0}));
  EXPECT_EQ(version(""), (std::vector<int>{0, 0, 0}));
  EXPECT_EQ(version("..3"), (std::vector<int>{0, 0, 0}));
  EXPECT_EQ(version("99999999999999999999.2"), (std::vector<int>{999999999, 2, 0}));

  const CpuSignature cpu = ParseCpuInfo(
      "processor\t: 0\nvendor_id\t: GenuineIntel\ncpu family\t: 6\nmodel\t\t: 158\n"
      "model name\t: Some CPU @ 3.60GHz\nstepping\t: 10\n\n"
      "processor\t: 1\ncpu family\t: 15\nmodel\t\t: 1\nstepping\t: 2\n");
  EXPECT_EQ(cpu.family, 6);
  EXPECT_EQ(cpu.model, 158);
  EXPECT_EQ(cpu.stepping, 10);
  const CpuSignature none = ParseCpuInfo("processor : 0\nBogoMIPS : 48.00\n:::\nmodel : x\n");
  EXPECT_EQ(none.family, 0);
  EXPECT_EQ(none.model, 0);

  const std::string meminfo = "MemTotal:  2048 kB\nMemAvailable2: 7 kB\nMemAvailable:   512 kB\n";
  EXPECT_EQ(ParseKbField(meminfo, "MemAvailable"), std::optional<std::uint64_t>(512 * 1024));
  EXPECT_EQ(ParseKbField(meminfo, "MemFree"), std::nullopt);
  EXPECT_EQ(ParseKbField("VmSize: lots\n", "VmSize"), std::nullopt);
  EXPECT_EQ(ParseKbField("VmSize: 99999999999999999999 kB", "VmSize"), std::nullopt);

  std::tm tm{};
  tm.tm_year = 124, tm.tm_mon = 2, tm.tm_mday = 5, tm.tm_hour = 9, tm.tm_min = 7, tm.tm_sec = 8;
  EXPECT_EQ(FormatLocalTime(tm), "2024/03/05 9:07:08");
  tm.tm_hour = 0;
  EXPECT_EQ(FormatLocalTime(tm), "2024/03/05 0:07:08");

  EXPECT_EQ(MemoryLoadPercent(1000, 333), 67);
  EXPECT_EQ(MemoryLoadPercent(1000, 335), 67);
  EXPECT_EQ(MemoryLoadPercent(1000, 336), 66);
  EXPECT_EQ(MemoryLoadPercent(0, 0), 0);
  EXPECT_EQ(MemoryLoadPercent(100, 200), 0);
}

TEST(SystemFacts, ThisMachine_GivesPlausibleFacts) {
  auto p = Headless("");
  const SystemFacts f = p->Facts();
  EXPECT_TRUE(std::regex_match(f.localTime, std::regex(R"(\d{4}/\d\d/\d\d \d{1,2}:\d\d:\d\d)")))
      << f.localTime;
  EXPECT_GE(f.processorCount, 1);
  EXPECT_EQ(f.platformId, 3);
  EXPECT_EQ(f.servicePack.rfind("Linux ", 0), 0u);
  EXPECT_LE(f.servicePack.size(), 20u);
  EXPECT_GT(f.majorVersion, 0);
  EXPECT_GT(f.totalPhys, 0u);
  EXPECT_LE(f.availPhys, f.totalPhys);
  EXPECT_GE(f.totalPageFile, f.totalPhys);
  EXPECT_GT(f.availVirtual, 0u);
  EXPECT_LT(f.availVirtual, f.totalVirtual);
  EXPECT_GE(f.memoryLoad, 0);
  EXPECT_LE(f.memoryLoad, 100);
  EXPECT_EQ(p->Display().width, 1280);
}

#if defined(KOVAN_SDL_TESTS)
// Only in a test binary that links the SDL backend and defines
// KOVAN_SDL_TESTS; it needs a display (an X server or xvfb-run).
TEST(SdlBackend, Smoke_CreatesComposesAndPresents) {
  if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "no display";
#if defined(__SANITIZE_ADDRESS__)
  // The display's client libraries (X11, D-Bus) keep allocations for the
  // life of the process; they are not ours to free.
  __lsan_disable();
#endif
  auto created = CreateSdlPlatform();
  ASSERT_TRUE(created.ok()) << created.error();
  Platform& p = **created;
  RecordingSink sink(p);
  Surface picture(640, 480, 0x336699);
  picture.shown = true;
  p.stage().Add(&picture);
  p.SetCaption("kovan");
  p.ShowWindow(true);
  p.DoEvents();
  EXPECT_FALSE(p.stage().Dirty());
  p.ToggleCaption();
  p.ToggleCaption();
  p.DoEvents();
  const DisplayInfo d = p.Display();
  EXPECT_GT(d.width, 0);
  EXPECT_GE(d.depth, 16);
  const std::uint32_t t = p.Ticks();
  p.Sleep(5);
  EXPECT_GE(p.Ticks(), t + 5);
  p.stage().Remove(&picture);
}
#endif

}  // namespace
}  // namespace kovan
