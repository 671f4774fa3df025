// The save file's bytes and the state string, against the layout the
// original program reads, with glibc's iconv as the oracle for CP932.
#include "savegame/save_record.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include "platform/save_places.h"

namespace kovan {
namespace {

// UTF-8 to CP932 by the C library, independent of the program's codec.
std::vector<std::uint8_t> Cp932(std::string utf8) {
  iconv_t cd = iconv_open("CP932", "UTF-8");
  std::vector<char> out(utf8.size() * 2 + 8);
  char* in = utf8.data();
  char* o = out.data();
  std::size_t inLeft = utf8.size(), outLeft = out.size();
  EXPECT_NE(iconv(cd, &in, &inLeft, &o, &outLeft), static_cast<std::size_t>(-1));
  iconv_close(cd);
  return std::vector<std::uint8_t>(out.data(), o);
}

EngineState Defaults() {
  EngineState s;
  SetStartValues(s);
  return s;
}

TEST(StateString, PacksEachFieldToItsWidthAndReadsBack) {
  struct Case {
    const char* what;
    void (*set)(EngineState&);
    const char* packed;
  };
  const Case cases[] = {
      {"start values", [](EngineState&) {}, "00000000000000000060-1-103000000"},
      {"effects off, mode 2, density 0.35",
       [](EngineState& s) {
         s.SeOn = false;
         s.MsgMode = 2;
         s.WakuDensity = 0.35f;
       },
       "00000000000000000035-10002000000"},
      {"counters, place, section, line, track",
       [](EngineState& s) {
         s.Kou = 12;
         s.Pap = 7;
         s.Rub = 345;
         s.PlaceNo = 14;
         s.SectionNo = 1090;
         s.SeqPos = 123;
         s.BgmNo = 5;
         s.BgmOn = false;
       },
       "0120073450141090006000-103012305"},
      {"negative counters that fit", [](EngineState& s) { s.Kou = -5; s.Rub = -99; },
       "0-5000-9900000000060-1-103000000"},
      {"values beyond a field are held at its end",
       [](EngineState& s) {
         s.Kou = 1234;
         s.Pap = -150;
         s.SeqPos = 12345;
       },
       "999-9900000000000060-1-103999900"},
  };
  for (const Case& c : cases) {
    EngineState s = Defaults();
    c.set(s);
    const std::string packed = PackState(s);
    EXPECT_EQ(packed, c.packed) << c.what;
    Result<SavedState> back = UnpackState(packed);
    ASSERT_TRUE(back.ok()) << c.what << ": " << back.error();
    EngineState restored = Defaults();
    ApplyState(back.value(), restored);
    EXPECT_EQ(PackState(restored), packed) << c.what;
  }
  EXPECT_EQ(WithTrack(std::string(45, ' '), 7).substr(30, 2), "07");
}

TEST(SaveFile, BytesAreSixCp932LinesAndReadBack) {
  const SaveFile file{"2001/08/15 21:07", "第一話　新学期", "00000000000000000060-1-103000000",
                      "朝霧", "湊"};
  const std::vector<std::uint8_t> bytes = EncodeSaveFile(file);
  EXPECT_EQ(bytes, Cp932("2001/08/15 21:07\r\n第一話　新学期\r\n00000000000000000060-1-103000000\r\n"
                         "朝霧\r\n湊\r\n\\\r\n"));
  Result<SaveFile> back = DecodeSaveFile(bytes);
  ASSERT_TRUE(back.ok()) << back.error();
  EXPECT_EQ(back->title, file.title);
  EXPECT_EQ(back->givenName, "湊");
  EXPECT_EQ(SlotTime(back->time), "08/15 21:07");

  // An empty title keeps its line: five items, the second empty.
  Result<SaveFile> untitled = DecodeSaveFile(
      Cp932("2001/08/15 21:07\r\n\r\n00000000000000000060-1-103000000\r\n朝霧\r\n湊\r\n\\\r\n"));
  ASSERT_TRUE(untitled.ok()) << untitled.error();
  EXPECT_EQ(untitled->title, "");
  EXPECT_EQ(untitled->familyName, "朝霧");
  EXPECT_EQ(EncodeSaveFile(untitled.value()).size(), bytes.size() - Cp932("第一話　新学期").size());

  // Control characters read as blanks, so what is read writes back the same.
  Result<SaveFile> stray = DecodeSaveFile(Cp932(
      "2001/08/15\t21:07\r\n\r\n00000000000000000060-1-103000000\r\n朝霧\r\r\n湊\r\n\\\r\n"));
  ASSERT_TRUE(stray.ok()) << stray.error();
  EXPECT_EQ(stray->time, "2001/08/15 21:07");
  EXPECT_EQ(stray->familyName, "朝霧 ");
  EXPECT_EQ(DecodeSaveFile(EncodeSaveFile(stray.value()))->familyName, "朝霧 ");
}

TEST(SaveFile, RefusesWhatDoesNotFollowTheFormat) {
  const std::string good = "00000000000000000060-1-103000000";
  const auto file = [](const std::string& state, const std::string& tail = "\\\r\n") {
    return Cp932("2001/08/15 21:07\r\nt\r\n" + state + "\r\na\r\nb\r\n" + tail);
  };
  struct Case {
    const char* what;
    std::vector<std::uint8_t> bytes;
  };
  std::vector<std::uint8_t> notCp932 = file(good);
  notCp932[18] = 0x81;  // a lead byte followed by a line end
  const Case cases[] = {
      {"cut after five lines", file(good, "")},
      {"last line without its end", file(good, "\\")},
      {"sixth line not a backslash", file(good, "x\r\n")},
      {"state a character short", file(good.substr(1))},
      {"state a character long", file(good + "0")},
      {"section not a number", file("000000000000100a0060-1-103000000")},
      {"sign inside the digits", file("00000000000010-00060-1-103000000")},
      {"message mode 7", file("00000000000000000060-1-107000000")},
      {"density above 100", file("00000000000000000101-1-103000000")},
      {"not CP932", notCp932},
      {"empty", {}},
  };
  for (const Case& c : cases) {
    Result<SaveFile> r = DecodeSaveFile(c.bytes);
    EXPECT_FALSE(r.ok()) << c.what;
    if (!r.ok()) {
      EXPECT_FALSE(r.error().empty()) << c.what;
    }
  }
  EXPECT_TRUE(DecodeSaveFile(file(good)).ok());
}

TEST(SaveFolder, DataFolderUnlessReadOnlyOrChosen) {
  struct Case {
    const char* data;
    const char* saveDir;
    bool writable;
    const char* xdg;
    const char* expected;
  };
  const Case cases[] = {
      {"/games/kovan/data/", "", true, "", "/games/kovan/data/"},
      {"/games/kovan/data/", "/mine", true, "/x", "/mine/"},
      {"/usr/share/games/kovan/data/", "", false, "/home/p/.xdg", "/home/p/.xdg/kovan/kovan/"},
      {"/usr/share/games/Kovan Demo/", "", false, "", "/home/p/.local/share/kovan/Kovan_Demo/"},
      {"/usr/share/games/kovan/DATA", "", false, "relative", "/home/p/.local/share/kovan/kovan/"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SaveFolderFor(c.data, c.saveDir, c.writable, c.xdg, "/home/p"), c.expected) << c.data;
  }
}

}  // namespace
}  // namespace kovan
