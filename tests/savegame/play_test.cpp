// Whole games on the headless runner: the title, choices, the save/load
// window and loading, driven by input scripts and read from the trace, the
// state and the slot files.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <sstream>

#include "platform/files.h"
#include "savegame/save_record.h"
#include "test_game.h"

namespace kovan {
namespace {

using testing::FieldOf;
using testing::ScenarioText;
using testing::TempDir;

// A title, a section of five messages with a save title, a choice whose
// picks set counters, and a test of one of them.
const std::string kScenario = ScenarioText({
    {1000, "g9"},
    {1100, "", "", "", "", "", "", "一"},
    {1100, "p8", "", "", "", "", "", "第一章"},
    {1100, "", "", "", "", "", "", "二"},
    {1100, "", "", "", "", "", "", "三"},
    {1100, "", "", "", "", "", "", "四"},
    {1100, "s", "", "", "", "", "", "2"},
    {1200, "p2", "", "", "", "", "", "kou", "1"},
    {1200, "", "", "", "", "", "", "左"},
    {1200, "g0", "1400"},
    {1300, "p2", "", "", "", "", "", "pap", "1"},
    {1300, "", "", "", "", "", "", "右"},
    {1400, "i1", "1500", "", "", "", "", "kou", "1"},
    {1400, "", "", "", "", "", "", "いいえ"},
    {1400, "e"},
    {1500, "", "", "", "", "", "", "はい"},
    {1500, "e"},
    {1500, "", "", "", "", "", "", "おわり"},
});
const std::string kChoices = "1100,\"左へ\",1200\r\n1100,\"右へ\",1300\r\n";

// Points on the picture: the start and quit buttons, the two options.
const std::string kStart = "until title\nclick 150 200\n";
const std::string kOption0 = "70 400\n";
const std::string kOption1 = "70 417\n";
// From the title to the wait on "四", the fifth line of its section.
const std::string kToFourth = kStart + "until keys\nkey Enter\nuntil keys\nkey Enter\nuntil keys\n"
                                       "key Enter\nuntil keys\n";

std::string Press(const std::string& control) { return "press File_Window " + control + "\n"; }
// The save/load window opened from a menu item, a slot taken and a button
// pressed.
std::string InWindow(const std::string& item, int slot, const std::string& button) {
  return "menu " + item + "\nuntil dialog File_Window\n" + Press("Label1(" + std::to_string(slot) + ")") +
         Press(button);
}

// One whole game over a data folder (shared by games that follow one
// another), recording where the stack stood each time the game began to
// wait for the player: the trace is written from deep inside the game.
class Played : public testing::TestGame {
 public:
  Played(const std::string& dir, const std::string& input, const std::string& scenario = kScenario,
         const std::string& choices = kChoices)
      : TestGame(Setup(dir, input, scenario, choices, this)) {
    exitCode = RunProgram();
  }
  // Events of some kinds, each as "ev:value" of the field named (or "ev"
  // when the field is ""); for "menu" the field names the item and the
  // value is its enabled state or the click.
  std::string Tokens(const std::vector<std::pair<std::string, std::string>>& kinds) const {
    std::string out;
    std::istringstream in(Trace());
    for (std::string line; std::getline(in, line);) {
      for (const auto& [ev, field] : kinds) {
        if (FieldOf(line, "ev") != ev) continue;
        if (ev == "menu" && FieldOf(line, "item") != field) continue;
        std::string value = ev == "menu" ? FieldOf(line, "enabled") : FieldOf(line, field);
        if (ev == "menu" && value.empty()) value = FieldOf(line, "op");
        out += (out.empty() ? "" : " ") + ev + (value.empty() || field.empty() ? "" : ":" + value);
      }
    }
    return out;
  }
  const std::vector<std::uintptr_t>& WaitStacks() const { return waits_; }

  int exitCode = -1;

 private:
  static testing::GameSetup Setup(const std::string& dir, const std::string& input,
                                  const std::string& scenario, const std::string& choices,
                                  Played* self) {
    if (!FileExists(dir + "90.dat")) {
      testing::WriteGameFolder(dir, {.scenario = scenario, .choices = choices});
    }
    // Called only once the game runs, when the whole of *self is built.
    return {.folder = dir,
            .input = input,
            .maxMs = 30 * 60 * 1000,
            .start = false,
            .onTrace = [self](std::string_view line) {
              if (line.find("\"ev\":\"wait\"") == std::string_view::npos) return;
              volatile char here = 0;
              self->waits_.push_back(reinterpret_cast<std::uintptr_t>(&here));
            }};
  }
  std::vector<std::uintptr_t> waits_;
};

std::vector<std::uint8_t> ReadBytes(const std::string& path) {
  Result<std::vector<std::uint8_t>> bytes = ReadFileBytes(path);
  return bytes ? bytes.value() : std::vector<std::uint8_t>{};
}

void WriteSlot(const std::string& dir, int slot, const std::string& title, const std::string& state) {
  ASSERT_TRUE(WriteFileBytes(dir + "0" + std::to_string(slot) + ".dat",
                             EncodeSaveFile({"2001/08/15 21:07", title, state, "朝霧", "湊"}))
                  .ok());
}

// The fault: a menu item usable at a moment the game can't take it (a save
// in the middle of a choice) or dead when it should work.
TEST(MenuBar, ItemsAreEnabledExactlyWhenTheGameCanTakeThem) {
  TempDir dir;
  Played p(dir.path(), kToFourth + InWindow("prog_save", 0, "fBtn(3)") + Press("fBtn(0)") +
                           "until keys\nkey Enter\nuntil choice\nclick " + kOption0 + "until keys\n" +
                           InWindow("prog_load", 0, "fBtn(2)") + "until keys\nquit\n");
  const std::string walk = p.Tokens({{"menu", "prog_save"},
                                     {"menu", "opt_menu"},
                                     {"title", "op"},
                                     {"choice", ""},
                                     {"pick", ""},
                                     {"save", ""},
                                     {"load", ""}});
  EXPECT_EQ(walk,
            "menu:true menu:true "                                    // play begins
            "menu:false menu:false menu:true title:show menu:true title:start "  // the title
            "menu:click save menu:false choice pick menu:true "        // a choice is put up
            "load menu:false menu:true");                             // a game is loaded
}

// The fault: a save made mid-section resuming at the saved line (or not at
// all), or a game that can only load its own saves.
TEST(SaveLoad, SaveInOneGameResumesAtItsSectionStartInAnother) {
  TempDir dir;
  Played first(dir.path(), kToFourth + InWindow("prog_save", 2, "fBtn(3)") + Press("fBtn(0)") + "until keys\nquit\n");
  Result<SaveFile> saved = DecodeSaveFile(ReadBytes(dir.path() + "02.dat"));
  ASSERT_TRUE(saved.ok()) << saved.error();
  EXPECT_EQ(saved->title, "第一章");
  EXPECT_EQ(saved->state.substr(12, 4), "1100");
  EXPECT_EQ(saved->state.substr(26, 4), "0005");  // the fifth line of the section

  // A second game loads it, then a hand-made save with other options.
  WriteSlot(dir.path(), 3, "", "00100000200711000035-10002000000");
  Played second(dir.path(), kStart + "until keys\n" + InWindow("prog_load", 2, "fBtn(2)") + "until keys\n" +
                                InWindow("prog_load", 3, "fBtn(2)") + "until keys\nquit\n");
  const auto loads = second.Events("load");
  ASSERT_EQ(loads.size(), 2u);
  // After each load the next line taken is the section's first.
  for (const std::string& load : loads) {
    const std::string after = second.Trace().substr(second.Trace().find(load));
    EXPECT_EQ(FieldOf(after.substr(after.find("\"ev\":\"line\"")), "pos"), "1");
  }
  const EngineState& s = second.state();
  EXPECT_EQ(std::vector<double>({double(s.Kou), double(s.Rub), double(s.PlaceNo), double(s.SeOn),
                                 double(s.BgmOn), double(s.MsgMode), s.WakuDensity, double(s.BgmNo)}),
            std::vector<double>({1, 2, 7, 0, 1, 2, 0.35f, 0}));
  EXPECT_EQ(second.state().CharName[1], "朝霧");
}

// The fault: No to the overwrite question writing anyway, or a second
// button starting another operation while the question waits.
TEST(SaveLoad, QuestionsGuardTheSlotAndBlockTheRestOfTheWindow) {
  TempDir dir;
  testing::WriteGameFolder(dir.path(), {.scenario = kScenario, .choices = kChoices});
  WriteSlot(dir.path(), 0, "手書き", "00000000000011000060-1-103000100");
  const std::vector<std::uint8_t> handMade = ReadBytes(dir.path() + "00.dat");
  const std::string toWindow = kStart + "until keys\nmenu prog_save\nuntil dialog File_Window\n";
  // No, after trying every other control while the question waits.
  Played refused(dir.path(), toWindow + Press("fBtn(3)") + Press("Label1(0)") + Press("fBtn(2)") +
                                 Press("fBtn(3)") + Press("fBtn(1)") + Press("Label1(4)") +
                                 Press("fBtn(0)") + Press("Command2") + Press("fBtn(0)") +
                                 "until keys\nquit\n");
  EXPECT_EQ(refused.Tokens({{"dialog", "op"}, {"save", "slot"}, {"delete", "slot"}}),
            "dialog:open dialog:ignored dialog:ask dialog:close");
  EXPECT_EQ(ReadBytes(dir.path() + "00.dat"), handMade);
  // Yes overwrites; a delete asks too.
  Played accepted(dir.path(), toWindow + Press("Label1(0)") + Press("fBtn(3)") + Press("Command1") +
                                  "until dialog File_Window\n" + Press("fBtn(1)") + Press("Command1") +
                                  "until dialog File_Window\n" + Press("fBtn(0)") + "until keys\nquit\n");
  EXPECT_EQ(accepted.Tokens({{"dialog", "op"}, {"save", "slot"}, {"delete", "slot"}}),
            "dialog:open dialog:ask save:0 dialog:result dialog:ask delete:0 dialog:result "
            "dialog:close");
  EXPECT_FALSE(FileExists(dir.path() + "00.dat"));
}

// The fault: a choice that can't be steered (a second hover sound, a right
// click picking, the keyboard doing nothing) or skipping that runs past it.
TEST(Choices, PointerAndKeysHighlightAndPick) {
  struct Case {
    const char* what;
    std::string input;
    int picked;
    std::size_t hoverSounds;
    const char* shown;  // the message after the pick
  };
  const Case cases[] = {
      {"pointer, while skipping, after a No to the title's quit",
       "until title\nclick 150 350\nanswer no\n" + kStart + "until keys\nmenu speedup\nuntil choice\nmove " + kOption0 + "move " + kOption0 +
           "move " + kOption1 + "rclick " + kOption1 + "wait 300\nclick " + kOption1 +
           "until keys\nquit\n",
       1, 2, "右"},
      {"keyboard alone",
       "until title\nkey Down\nkey Enter\nuntil keys\nkey Enter\nuntil keys\nkey Enter\nuntil "
       "keys\nkey Enter\nuntil keys\nkey Space\nuntil choice\nkey Up\nkey Up\nkey Down\nkey "
       "Up\nkey Enter\nuntil keys\nquit\n",
       0, 5, "左"},  // one of the hovers is the title's
  };
  for (const Case& c : cases) {
    TempDir dir;
    Played p(dir.path(), c.input);
    const auto picks = p.Events("pick");
    ASSERT_EQ(picks.size(), 1u) << c.what;
    EXPECT_EQ(testing::NumberOf(picks[0], "index"), c.picked) << c.what;
    std::size_t hovers = 0;
    for (const std::string& e : p.Events("effect")) hovers += FieldOf(e, "no") == "101" ? 1 : 0;
    EXPECT_EQ(hovers, c.hoverSounds) << c.what;
    EXPECT_EQ(FieldOf(p.Events("message").back(), "text"), c.shown) << c.what;
    EXPECT_EQ(p.state().MsgMode, c.input.find("speedup") != std::string::npos ? 1 : 3) << c.what;
    EXPECT_EQ(p.game().form().FindMenu(menu::kSpeedup)->caption, menu::kSkipCaption);
    // The picked option stays red for a second before the story goes on.
    const auto choice = p.Events("choice");
    EXPECT_GE(testing::NumberOf(picks[0], "t") - testing::NumberOf(choice[0], "t"), 1000) << c.what;
  }
}

// The fault: data the format can't hold read out of bounds or half applied.
TEST(SaveLoad, BrokenInputIsRefusedAndTheGameGoesOn) {
  TempDir dir;
  testing::WriteGameFolder(
      dir.path(),
      {.scenario = ScenarioText({{1100, "", "", "", "", "", "", "一"},
                    {1100, "s", "", "", "", "", "", "4"},
                    {1100, "", "", "", "", "", "", "二"},
                    {1100, "e"},
                    {1100, "", "", "", "", "", "", "おわり"}}),
       .choices = kChoices});
  ASSERT_TRUE(WriteFileBytes(dir.path() + "01.dat", {'x', '\r', '\n'}).ok());
  std::filesystem::create_directory(dir.path() + "02.dat");  // a slot that can't be written
  Played p(dir.path(), "until keys\n" + InWindow("prog_load", 1, "fBtn(2)") + "answer ok\n" + Press("fBtn(0)") +
                           "until keys\n" + InWindow("prog_save", 2, "fBtn(3)") + "answer ok\n" +
                           Press("fBtn(0)") + "until keys\nkey Enter\nanswer ok\nuntil keys\nkey Enter\n");
  const auto boxes = p.Events("msgbox");
  ASSERT_EQ(boxes.size(), 3u);
  EXPECT_NE(FieldOf(boxes[0], "text").find("スロット2（01.dat）のロード"), std::string::npos);
  EXPECT_NE(FieldOf(boxes[1], "text").find("スロット3（02.dat）のセーブ"), std::string::npos);
  EXPECT_NE(FieldOf(boxes[2], "text").find("1 から 3"), std::string::npos);
  EXPECT_TRUE(p.Events("load").empty());
  EXPECT_TRUE(p.Events("save").empty());
  EXPECT_EQ(p.Trace().find("しました"), std::string::npos) << "no success was reported";
  EXPECT_EQ(p.Events("choice").size(), 0u);
  EXPECT_EQ(FieldOf(p.Events("message").back(), "text"), "二");
}

// The fault: "セーブ" opening the window while a message is still being
// written, when there is no wait to come back to.
TEST(SaveLoad, SaveDuringAMessageDoesNothing) {
  TempDir dir;
  Played p(dir.path(), kStart + "until keys\nkey Enter\nmenu prog_save\nuntil keys\nquit\n");
  EXPECT_EQ(p.Tokens({{"menu", "prog_save"}}),
            "menu:true menu:false menu:true menu:click");
  EXPECT_TRUE(p.Events("dialog").empty());
}

// The fault: each load running the new story inside the waiting one, so
// the stack grows with every load until it overflows.
TEST(SaveLoad, LoadsRetireTheWaitingPass) {
  TempDir dir;
  testing::WriteGameFolder(dir.path(), {.scenario = kScenario, .choices = kChoices});
  WriteSlot(dir.path(), 0, "", "00000000000011000060-1-101000100");
  std::string input = kStart + "until keys\n";
  constexpr int kLoads = 60;
  for (int i = 0; i < kLoads; ++i) input += InWindow("prog_load", 0, "fBtn(2)") + "until keys\n";
  Played p(dir.path(), input + "quit\n");
  ASSERT_EQ(p.Events("load").size(), static_cast<std::size_t>(kLoads));
  const auto& stacks = p.WaitStacks();
  ASSERT_EQ(stacks.size(), static_cast<std::size_t>(kLoads + 1));
  EXPECT_EQ(stacks[2], stacks.back()) << "the stack grew by " << stacks[2] - stacks.back();
  // Only the waits the player ended resumed; the retired ones did not.
  EXPECT_EQ(p.Events("resume").size(), 0u);
}

}  // namespace
}  // namespace kovan
