// The script's sound command, the repeat timer and the fades, read from the
// trace of whole games on the headless clock.
#include <gtest/gtest.h>

#include <sstream>

#include "sound_play.h"

namespace kovan::testing {
namespace {

std::int64_t TimeOf(const std::string& event) { return NumberOf(event, "t"); }

// A quarter note and a little rest: 600 ms of music.
std::vector<std::uint8_t> ShortTune() {
  return TestMidi({{0, {0x90, 60, 90}}, {500, {0x80, 60, 0}}}, 600);
}

// The commands, split at blanks, as scenario lines ("w650" waits 650 ms),
// and a last line, which the interpreter stops at without running.
std::string Lines(const std::string& cmds) {
  std::string out;
  std::istringstream words(cmds);
  for (std::string c; words >> c;) {
    out += ScenarioText(
        {c[0] == 'w' ? ScriptLine{.cmd = "w", .text = c.substr(1)} : ScriptLine{.cmd = c}});
  }
  return out + ScenarioText({ScriptLine{}});
}

SoundSetup GameWith(const std::string& cmds) {
  SoundSetup s;
  s.scenario = Lines(cmds);
  // Music 4 is left out; 5 isn't MIDI and 6 is empty.
  s.music = {"bgm01.mid", "bgm02.mid", "bgm03.mid", "", "bgm05.mid", "bgm06.mid"};
  s.files = {{"bgm01.mid", ShortTune()},
             {"bgm02.mid", ShortTune()},
             {"bgm03.mid", ShortTune()},
             {"bgm05.mid", {'M', 'T', 'h', 'd', 0, 0, 0, 6}},
             {"bgm06.mid", {}}};
  return s;
}

// The music and effect events in trace order: "open 1", "effect 100".
std::string Heard(const SoundPlay& play) {
  std::string out;
  for (const std::string& e : play.Events("")) {
    const std::string ev = FieldOf(e, "ev"), file = FieldOf(e, "file");
    if (ev == "music") out += FieldOf(e, "op") + " " + file.substr(4, 1) + ", ";
    if (ev == "effect") out += "effect " + FieldOf(e, "no") + ", ";
  }
  return out.empty() ? out : out.substr(0, out.size() - 2);
}

struct CommandCase {
  const char* name;
  const char* cmds;
  bool bgmOn, seOn;
  const char* heard;  // the shutdown's stop included
  int bgmNo;
  bool bgmOnAfter;
};

TEST(CmdSound, SelectorsActAsTheOptionsAllow) {
  // clang-format off
  const CommandCase cases[] = {
      {"digits play effects 100 to 102; 104 has no sound", "a1 a2 a3 a5", true, true,
       "effect 100, effect 101, effect 102", 0, true},
      {"effects off: a digit selects nothing", "a1 ab", true, false, "open 2, play 2, stop 2", 2, true},
      {"both off: nothing at all", "a1 aa a0", false, false, "", 0, false},
      {"music off: letters do nothing", "aa aB aJ aK a3", false, true, "effect 102", 0, false},
      {"upper and lower case are the same music", "aB ab", true, true, "open 2, play 2, stop 2", 2, true},
      {"the music selected already isn't opened again", "ac aC", true, true, "open 3, play 3, stop 3", 3, true},
      {"an empty entry is ignored and keeps BgmNo", "aa ad", true, true, "open 1, play 1, stop 1", 1, true},
      {"a change fades out and closes the old music", "aa ab", true, true,
       "open 1, play 1, fadeout 1, stop 1, open 2, play 2, stop 2", 2, true},
      {"a change after the old music ended closes it first", "aa w650 ab", true, true,
       "open 1, play 1, stop 1, open 2, play 2, stop 2", 2, true},
      {"stop", "aa a0", true, true, "open 1, play 1, fadeout 1, stop 1", 0, true},
      {"a file that isn't MIDI switches music off", "ae ab", true, true, "open 5", 5, false},
      {"so does an empty one", "af", true, true, "open 6", 6, false},
      {"other selectors do nothing", "aL az a! a\xEF\xBC\xA1", true, true, "", 0, true},
  };
  // clang-format on
  for (const CommandCase& c : cases) {
    SCOPED_TRACE(c.name);
    SoundSetup setup = GameWith(c.cmds);
    setup.bgmOn = c.bgmOn;
    setup.seOn = c.seOn;
    SoundPlay play(setup);
    EXPECT_EQ(Heard(play), c.heard);
    EXPECT_EQ(play.state().BgmNo, c.bgmNo);
    EXPECT_EQ(play.state().BgmOn, c.bgmOnAfter);
    const bool logged = play.Log().find("can't be played") != std::string::npos;
    EXPECT_EQ(logged, c.bgmOn && !c.bgmOnAfter) << play.Log();
  }
}

// The repeat timer plays ended music again within half a second, and
// leaves it alone once the script has stopped it.
TEST(BGMLoop, RepeatsWithinHalfASecondOnlyWhileMusicIsSelected) {
  SoundPlay repeating(GameWith("aa w3000"));
  std::int64_t last = NumberOf(repeating.Events("music").at(1), "t");
  int restarts = 0;
  for (const std::string& e : repeating.Events("music")) {
    if (FieldOf(e, "op") != "restart") continue;
    EXPECT_GE(NumberOf(e, "t") - last, 600);
    EXPECT_LE(NumberOf(e, "t") - last, 1100);
    last = NumberOf(e, "t");
    ++restarts;
  }
  EXPECT_GE(restarts, 3);

  SoundPlay stopped(GameWith("aa a0 w3000"));
  for (const std::string& e : stopped.Events("music")) EXPECT_NE(FieldOf(e, "op"), "restart");
}

struct FadeCase {
  const char* name;
  const char* cmds;
  const char* input;
  std::vector<std::int64_t> volumes;
};

const std::vector<std::int64_t> kDown = {65535, 57344, 49153, 40962, 32771, 24580, 16389, 8198, 7};
const std::vector<std::int64_t> kUp = {0, 8191, 16382, 24573, 32764, 40955, 49146, 57337, 65528};

std::vector<std::int64_t> Join(std::vector<std::int64_t> a, const std::vector<std::int64_t>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// Every step of a fade holds 101 ms of game time; the shutdown puts
// VolumeSaved back last.
TEST(Fades, StepTheVolumeAndPutTheSavedOneBack) {
  // clang-format off
  const FadeCase cases[] = {
      {"a stop fades down to 7 and restores 65535", "aa a0", "", Join(kDown, {65535, 65535})},
      {"out and back in ends at 65528", "aa aJ aK", "", Join(Join(kDown, kUp), {65535})},
      {"from below 8 nothing fades", "aa aJ aJ", "", Join(kDown, {65535})},
      // The lowered volume becomes VolumeSaved at the change; "K" then has
      // steps of 0, which must not go on for ever.
      {"a fade in to 7 ends at once", "aa aJ ab aK", "", Join(kDown, {7, 7})},
      {"quitting in a fade leaves VolumeSaved", "aa a0", "wait 250\nquit\n", {65535, 57344, 49153, 65535}},
  };
  // clang-format on
  for (const FadeCase& c : cases) {
    SCOPED_TRACE(c.name);
    SoundSetup setup = GameWith(c.cmds);
    setup.input = c.input;
    SoundPlay play(setup);
    EXPECT_EQ(play.Volumes(), c.volumes);
    const std::vector<std::string> events = play.Events("volume");
    for (std::size_t i = 1; i < kDown.size() && c.volumes.size() > kDown.size(); ++i) {
      EXPECT_EQ(NumberOf(events.at(i), "t") - NumberOf(events.at(i - 1), "t"), 101) << i;
    }
  }
}

// The first music starts under the second logo, and the opening takes as
// long with it as without it.
TEST(Opening, StartsMusic1UnderTheSecondLogo) {
  SoundSetup with = GameWith("w0");
  with.opening = true;
  SoundSetup without = with;
  without.music = {};
  SoundPlay heard(with), silent(without);
  EXPECT_TRUE(Heard(heard).starts_with("open 1, play 1")) << Heard(heard);
  EXPECT_EQ(TimeOf(heard.Events("music").at(0)), 2000 + 2000 + 2000);
  EXPECT_EQ(Heard(silent), "");
  EXPECT_EQ(TimeOf(heard.Events("line").at(0)), TimeOf(silent.Events("line").at(0)));
}

}  // namespace
}  // namespace kovan::testing
