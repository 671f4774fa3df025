// The options window, the name entry and the version box in whole games on
// the headless runner, driven by input scripts and read from the state and
// the trace.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/form_controls.h"
#include "story/game.h"
#include "test_game.h"

namespace kovan {
namespace {

using testing::FieldOf;
using testing::ScenarioText;
using testing::TestGame;

// Three messages in a row. (The story stops at its last line, which never
// runs: each scenario here ends with an empty one.)
const std::string kThreeLines = ScenarioText({
    {1000, "", "", "", "", "", "", "一"},
    {1000, "", "", "", "", "", "", "二"},
    {1000, "", "", "", "", "", "", "三"},
    {1000},
});

const std::string kOpenOptions = "menu opt_menu\nuntil dialog Option_Window\n";

// A game over the scenario with the menu as play leaves it, in mode 3.
struct Played : TestGame {
  Played(const std::string& scenario, const std::string& input,
         std::optional<std::string> choices = std::nullopt)
      : TestGame({.scenario = scenario, .choices = std::move(choices), .input = input}) {
    for (const char* item : {menu::kOptMenu, menu::kVvrr}) form().FindMenu(item)->enabled = true;
    form().UpdateMenu();
  }
  std::vector<std::string> Texts() const { return Strings("message", "text"); }
  Control& Find(const std::string& name) { return *game().dialogs().optionWindow().form().Find(name); }
  // The ops of the dialog events, in order.
  std::string Ops() const {
    std::string out;
    for (const std::string& e : Events("dialog")) out += FieldOf(e, "op") + " ";
    return out;
  }
};

// A screenshot for looking at by eye, when KOVAN_SHOTS names a folder.
std::string Shot(const std::string& name) {
  const char* dir = std::getenv("KOVAN_SHOTS");
  return dir != nullptr && *dir != '\0' ? "shot " + std::string(dir) + "/" + name + "\n" : "";
}

struct Options {
  std::int16_t mode;
  bool bgm, se, mesh;
  float density;
};

// The settings as the game holds them, to compare with a row.
std::string Shown(const Options& o) {
  return std::to_string(o.mode) + (o.bgm ? " bgm" : "") + (o.se ? " se" : "") + (o.mesh ? " mesh" : "") +
         " " + std::to_string(o.density);
}
std::string Shown(const EngineState& s) { return Shown({s.MsgMode, s.BgmOn, s.SeOn, s.MeshOn, s.WakuDensity}); }

void Apply(EngineState& s, const Options& o) {
  s.MsgMode = o.mode;
  s.BgmOn = o.bgm;
  s.SeOn = o.se;
  s.MeshOn = o.mesh;
  s.WakuDensity = o.density;
}

// The fault: a window that opens showing other settings than the game's,
// so OK alone changes them.
TEST(OptionWindow, OkWithoutChangesKeepsEverySettingInEveryMode) {
  const Options cases[] = {
      {0, true, true, false, 0.6f},  {1, false, true, true, 0.35f},
      {2, true, false, false, 0.0f}, {3, false, false, true, 1.0f},
  };
  for (const Options& c : cases) {
    // Skipping ends the options' wait at OK; the other modes need a key.
    Played p(kThreeLines, "until dialog Option_Window\npress Option_Window Command1\n" +
                              std::string(c.mode == 0 ? "" : "key Enter\n"));
    Apply(p.state(), c);
    p.game().dialogs().opt_menu_Click(false);
    const std::string what = "mode " + std::to_string(c.mode);
    EXPECT_TRUE(static_cast<OptionButton&>(p.Find("Option" + std::to_string(c.mode + 1))).value) << what;
    const int percent = static_cast<int>(c.density * 100 + 0.5f);
    EXPECT_EQ(static_cast<HScrollBar&>(p.Find("HScroll1")).Value(), percent) << what;
    EXPECT_EQ(static_cast<Label&>(p.Find("Label4")).caption, std::to_string(percent)) << what;
    EXPECT_EQ(Shown(p.state()), Shown(c));
    EXPECT_EQ(p.Ops(), "open ok close ") << what;
  }
}

// The fault: a change that doesn't take, takes only later, or is made by
// Cancel; music that stays on or comes back by itself.
TEST(OptionWindow, OkAppliesAtOnceAndCancelChangesNothing) {
  struct Case {
    const char* what;
    std::string presses;
    Options after;
    int musicStops;
  };
  const Options start{3, true, true, false, 0.6f};
  const Case cases[] = {
      {"the slider at 35", "set Option_Window HScroll1 35\npress Option_Window Command1\n",
       {3, true, true, false, 0.35f}, 0},
      {"music and effects off, mesh on", "press Option_Window Check1\npress Option_Window Check2\n"
       "set Option_Window Check3 1\npress Option_Window Option3\npress Option_Window Command1\n",
       {2, false, false, true, 0.6f}, 1},
      {"music off and on again", "press Option_Window Check1\npress Option_Window Command1\nkey Enter\n" +
       kOpenOptions + "press Option_Window Check1\npress Option_Window Command1\n",
       {3, true, true, false, 0.6f}, 1},
      {"Cancel", "set Option_Window HScroll1 10\npress Option_Window Check1\npress Option_Window Option1\n"
       "press Option_Window Command2\n", start, 0},
  };
  for (const Case& c : cases) {
    Played p(ScenarioText({{1000, "aA"}, {1000, "", "", "", "", "", "", "一"}, {1000, "w", "", "", "", "", "", "3000"},
                           {1000, "", "", "", "", "", "", "二"}, {1000}}),
             "until keys\n" + kOpenOptions + c.presses + "key Enter\nuntil keys\nquit\n");
    Apply(p.state(), start);
    EXPECT_EQ(p.Run(), "close") << c.what;
    EXPECT_EQ(Shown(p.state()), Shown(c.after)) << c.what;
    int stops = 0, starts = 0;
    for (const std::string& e : p.Events("music")) {
      const std::string op = FieldOf(e, "op");
      if (op == "stop") ++stops;
      if (stops > 0 && op != "stop") ++starts;
    }
    EXPECT_EQ(stops, c.musicStops) << c.what;
    EXPECT_EQ(starts, 0) << c.what << ": switching music on plays nothing by itself";
  }
}

// The fault: choosing "選択までｽｷｯﾌﾟ" that leaves the story waiting for a
// click, or a skip item that says the opposite of what it does.
TEST(OptionWindow, SkipChosenDuringAWaitGoesOnAtOnce) {
  Played p(kThreeLines, "until keys\n" + kOpenOptions + Shot("options.png") +
                            "press Option_Window Option1\npress Option_Window Command1\n");
  EXPECT_EQ(p.Run(), "");
  EXPECT_EQ(p.Texts(), (std::vector<std::string>{"一", "二", "三"}));
  EXPECT_EQ(p.Events("wait").size(), 1u) << "only the first message waited";
  EXPECT_EQ(p.state().MsgMode, 0);
  EXPECT_EQ(p.game().form().FindMenu(menu::kSpeedup)->caption, menu::kStopSkipCaption);
}

// The fault: the window opened at a choice adding a wait of its own, so
// the player's pick goes unanswered until another click.
TEST(OptionWindow, AtAChoiceTheWindowJoinsTheChoicesWait) {
  Played p(ScenarioText({{1000, "s", "", "", "", "", "", "2"},
                         {1100, "", "", "", "", "", "", "左"},
                         {1200, "", "", "", "", "", "", "右"},
                         {1200}}),
           "until choice\n" + kOpenOptions + "press Option_Window Command1\nclick 70 400\nuntil keys\nquit\n",
           "1000,\"左へ\",1100\r\n1000,\"右へ\",1200\r\n");
  EXPECT_EQ(p.Run(), "close");
  EXPECT_EQ(p.Events("pick").size(), 1u);
  EXPECT_EQ(p.Texts(), (std::vector<std::string>{"左"}));
}

// One scene: the name entry, then the name through the markers and tag 1.
const std::string kNameScene = ScenarioText({
    {1000, "g4"},
    {1000, "", "", "", "", "", "", "&1&2。", "", "", "1"},
    {1000, "", "", "", "", "", "1", "よろしく"},
    {1000},
});

// The fault: a name split in the wrong place, counted in bytes, stored
// when it breaks the rules, or an entry that holds the story up. (Which
// names follow the rules is the name rules' own test.)
TEST(NameEnt, OkStoresANameThatFollowsTheRulesAndTheStoryGoesOn) {
  struct Case {
    const char* typed;
    const char* family;
    const char* given;
    const char* ok = "press NameEnt Command1";
  };
  const Case cases[] = {
      {"山田　太郎次郎", "山田", "太郎次郎"},
      {"a b　c", "a b", "c", "key Enter"},
      {"ああああ　いいい", "朝霧", "湊"},  // too long: the name stays
  };
  for (const Case& c : cases) {
    Played p(kNameScene, "until dialog NameEnt\ntype NameEnt Text1 " + std::string(c.typed) + "\n" +
                             c.ok + "\nuntil keys\nkey Enter\nuntil keys\nquit\n");
    EXPECT_EQ(p.Run(), "close") << c.typed;
    EXPECT_EQ(FieldOf(p.Events("dialog").front(), "text"), "朝霧　湊") << "the box opens with the name";
    EXPECT_EQ(p.state().CharName[1], c.family) << c.typed;
    EXPECT_EQ(p.state().CharName[2], c.given) << c.typed;
    const std::vector<std::string> messages = p.Events("message");
    ASSERT_EQ(messages.size(), 2u) << c.typed;
    EXPECT_EQ(FieldOf(messages[0], "text"), std::string(c.family) + c.given + "。") << c.typed;
    EXPECT_EQ(FieldOf(messages[1], "tag"), "【" + std::string(c.given) + "】") << c.typed;
  }
}

// The fault: a name that the save file can't hold being stored, so the
// next save loses it.
TEST(NameEnt, ANameTheSaveCannotHoldIsRefusedInTheBox) {
  Played p(kNameScene, "until dialog NameEnt\n" + Shot("name_entry.png") +
                           "type NameEnt Text1 𠮷野　家\npress NameEnt Command1\n" +
                           Shot("name_refused.png") + "until dialog NameEnt\ntype NameEnt Text1 吉野　家\npress NameEnt Command1\n"
                       "until keys\nquit\n");
  EXPECT_EQ(p.Run(), "close");
  EXPECT_EQ(p.Ops(), "open refused ok close ");
  EXPECT_EQ(p.state().CharName[1], "吉野");
  EXPECT_EQ(p.state().CharName[2], "家");
}

// The fault: a version box that holds the game up, stays after the player
// turned away, or lets one key act twice.
TEST(AboutBox, PlayGoesOnBehindItAndItClosesWhenThePlayerTurnsAway) {
  Played p(kThreeLines, "until keys\nmenu vvrr\nuntil dialog frmAbout\n" + Shot("about.png") +
                            "key Enter\nmenu vvrr\n"
                        "press frmAbout Label3\nclick 100 400\nuntil keys\nquit\n");
  EXPECT_EQ(p.Run(), "close");
  EXPECT_EQ(p.Ops(), "open ok close open link lost-focus close ");
  EXPECT_EQ(FieldOf(p.Events("dialog")[4], "target"), kAboutMailLink);
  EXPECT_EQ(p.Texts(), (std::vector<std::string>{"一", "二"})) << "Enter closed the box only; "
                                                                 "the click went on to the story";
}

}  // namespace
}  // namespace kovan
