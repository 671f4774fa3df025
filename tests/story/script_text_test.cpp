// What a line shows: speaker tags, name markers, the text modes, waits
// and the scene fields that decide whether the text is shown.
#include <gtest/gtest.h>

#include "story/script.h"
#include "engine/script_numbers.h"
#include "script_play.h"

namespace kovan {
namespace {

using testing::FieldOf;
using testing::NumberOf;
using testing::ScenarioText;
using testing::ScriptPlay;

constexpr const char* kWhite = "[255,255,255]";
constexpr const char* kPaleBlue = "[192,192,255]";

// Guards: a wrong tag or colour for a speaker, a tag drawn for an empty
// text, or an odd speaker number shown as someone.
TEST(SpeakerShow, TagsAndColoursBySpeaker) {
  ScriptPlay play(ScenarioText({{.speaker = "1", .text = "一"},
                                {.speaker = "2", .text = "二"},
                                {.speaker = "5", .text = "五"},
                                {.speaker = "8", .text = "八"},
                                {.speaker = "4"},
                                {.speaker = "9", .text = "九"},
                                {.speaker = "x", .text = "エックス"},
                                {.text = "地の文"},
                                {}}));
  play.state().CharName[2] = "湊";
  EXPECT_EQ(play.Run(), "");
  const auto shown = play.Events("message");
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"【湊】", kWhite}, {"【瑠璃子】", kWhite}, {"【沙耶】", kWhite}, {"【女の子】", kWhite},
      {"", kPaleBlue},    {"", kPaleBlue},        {"", kPaleBlue}};
  ASSERT_EQ(shown.size(), expected.size());
  for (std::size_t i = 0; i < shown.size(); ++i) {
    EXPECT_EQ(FieldOf(shown[i], "tag"), expected[i].first) << shown[i];
    EXPECT_EQ(FieldOf(shown[i], "rgb"), expected[i].second) << shown[i];
  }
}

// Guards: the protagonist's tag fixed at start rather than read per line.
TEST(SpeakerShow, RenamedProtagonistShowsOnTheNextTag) {
  ScriptPlay play(ScenarioText(
      {{.speaker = "1", .text = "一"}, {.cmd = "g9"}, {.speaker = "1", .text = "二"}, {}}));
  play.state().CharName[2] = "湊";
  EXPECT_EQ(play.Run(), "");
  play.state().CharName[2] = "ミナトノスケ";
  EXPECT_EQ(play.Run(2), "");
  const auto shown = play.Events("message");
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(FieldOf(shown[0], "tag"), "【湊】");
  EXPECT_EQ(FieldOf(shown[1], "tag"), "【ミナトノスケ】");
}

// Guards: markers missed at the ends or after a long name, odd markers
// eaten, and a name that holds a marker expanding for ever.
TEST(NameMarkers, EveryMarkerTakesItsNameAndOthersStay) {
  std::array<std::string, 6> names = {"零", "朝霧", "湊という名のとても長い名前", "", "", "五"};
  EXPECT_EQ(ReplaceNameMarkers("&1と&2", names), "朝霧と湊という名のとても長い名前");
  EXPECT_EQ(ReplaceNameMarkers("&2、&2！&0", names),
            "湊という名のとても長い名前、湊という名のとても長い名前！零");
  EXPECT_EQ(ReplaceNameMarkers("&3&5&", names), "五&");
  EXPECT_EQ(ReplaceNameMarkers("&6&a&&1", names), "&6&a&朝霧");
  names[1] = "&1&2";
  EXPECT_EQ(ReplaceNameMarkers("&1と&1", names), "&1&2と&1&2");
}

// Guards: markers replaced without the flag, or not with it.
TEST(NameMarkers, OnlyLinesFlaggedOneAreReplaced) {
  ScriptPlay play(ScenarioText({{.text = "&1くん", .subst = "1"},
                                {.text = "&1くん"},
                                {.text = "&1くん", .subst = "2"},
                                {}}));
  play.state().CharName[1] = "朝霧";
  EXPECT_EQ(play.Run(), "");
  EXPECT_EQ(play.Texts(), (std::vector<std::string>{"朝霧くん", "&1くん", "&1くん"}));
}

// Guards: "ts"/"tp" not starting a clean page or not setting the next
// message's request, and "t0" clearing the page it should leave.
TEST(TextMode, ClearsForPlayerPacedModesOnly) {
  ScriptPlay play(ScenarioText({{.text = "一"},
                                {.text = "二"},
                                {.cmd = "ts", .arg1 = "16"},
                                {.text = "三"},
                                {.cmd = "ts", .arg1 = "18"},
                                {.cmd = "tp", .arg1 = "200", .arg2 = "90"},
                                {}}));
  EXPECT_EQ(play.Run(), "");
  // "三" would be on the fourth line of the old page.
  EXPECT_EQ(NumberOf(play.Events("message").back(), "lineNo"), 0);
  EXPECT_EQ(play.state().NextFontSize, 18);
  EXPECT_EQ(play.state().CaptionX, 200);
  EXPECT_EQ(play.state().CaptionY, 90);

  ScriptPlay automatic(ScenarioText({{.text = "一"}, {.text = "二"}, {.cmd = "t0"}, {}}));
  automatic.state().DateTabOn = true;
  automatic.game().form().Blinker.shown = true;
  EXPECT_EQ(automatic.Run(), "");
  EXPECT_EQ(automatic.state().LineNo, 3);
  EXPECT_FALSE(automatic.state().ClickMode);
  EXPECT_FALSE(automatic.state().DateTabOn);
  EXPECT_FALSE(automatic.game().form().Blinker.shown);
  EXPECT_EQ(automatic.state().MsgMode, 3);
}

// Guards: waits of the wrong length: none given is a second, "0" still
// lets events run once, a bad number counts as none.
TEST(Wait, LastsTheGivenTimeInFiftyMillisecondSteps) {
  ScriptPlay play(ScenarioText({{.cmd = "w"},
                                {.cmd = "w", .text = "0"},
                                {.cmd = "w", .text = "120"},
                                {.cmd = "w", .text = "半"},
                                {.cmd = "w", .text = "-5"},
                                {}}));
  EXPECT_EQ(play.Run(), "");
  std::vector<std::int64_t> times;
  for (const auto& e : play.Events("line")) times.push_back(NumberOf(e, "t"));
  ASSERT_EQ(times.size(), 5u);
  EXPECT_EQ(times[1] - times[0], 1050);
  EXPECT_EQ(times[2] - times[1], 50);
  EXPECT_EQ(times[3] - times[2], 150);
  EXPECT_EQ(times[4] - times[3], 1050);
  EXPECT_EQ(play.platform().Ticks() - times[4], 0);
}

// Guards: a redrawn place for the same number, a text shown on a scene
// change line, or odd fields changing the scene.
TEST(SceneFields, ChangesDecideWhetherTheTextShows) {
  ScriptPlay play(ScenarioText({{.place = "3", .text = "DI"},
                                {.place = "3", .text = "同じ場所"},
                                {.doll = "11", .text = "L"},
                                {.face = "2", .text = "表情"},
                                {.place = "abc", .doll = "x", .face = "300", .text = "そのまま"},
                                {.place = "40000", .face = "-1", .text = "範囲外"},
                                {.place = "4", .text = "HB"},
                                {}}));
  EXPECT_EQ(play.Run(), "");
  // "x" names character 0: a sprite change for no one, so the text stays
  // unshown like that of any sprite line.
  EXPECT_EQ(play.Texts(), (std::vector<std::string>{"同じ場所", "表情", "範囲外"}));
  EXPECT_EQ(play.state().PlaceLast, 4);
  EXPECT_EQ(play.state().PlaceNo, 4);
  EXPECT_EQ(play.state().DollNo, 0);  // a new place has no one on it
  EXPECT_EQ(play.state().DollPose, 1);
  EXPECT_EQ(play.state().FaceNo, 2);
}

// Guards: numbers read past the 16-bit range or with junk around them.
TEST(ScriptNumbers, SignedSixteenBitDecimalsOnly) {
  EXPECT_EQ(ScriptNumber("32767"), 32767);
  EXPECT_EQ(ScriptNumber("-32768"), -32768);
  EXPECT_EQ(ScriptNumber("+5"), 5);
  for (const char* bad : {"32768", "-32769", "", "-", "+", "+-1", "1x", "１", "1 "}) {
    EXPECT_FALSE(ScriptNumber(bad).has_value()) << bad;
  }
  EXPECT_EQ(TrimSpaces("  a　b \t "), "a　b \t");
}

}  // namespace
}  // namespace kovan
