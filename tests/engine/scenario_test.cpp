// The scenario and choice files: fields, records, the tables and lookups.
#include "engine/scenario.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/text_codec.h"

namespace kovan {
namespace {

Bytes Cp932(const std::string& utf8) {
  auto s = Utf8ToCp932(utf8);
  EXPECT_TRUE(s.ok()) << utf8;
  return Bytes(s->begin(), s->end());
}

// A scenario line with the given section, command, jump field and text.
std::string Line(const std::string& section, const std::string& cmd = "",
                 const std::string& jump = "", const std::string& text = "") {
  return section + "," + cmd + "," + jump + ",,,,,," + text + ",,,,\r\n";
}

TEST(CodedNumber, FirstCharacterAndLastThree) {
  EXPECT_EQ(CodedNumber("1234"), 1234);
  EXPECT_EQ(CodedNumber("1xyz234"), 1234);
  EXPECT_EQ(CodedNumber("5xy012"), 5012);
  EXPECT_EQ(CodedNumber("123"), 1123);
  EXPECT_EQ(CodedNumber("-123"), -123);
  EXPECT_EQ(CodedNumber("3あい276"), 3276);  // characters, not bytes
}

TEST(CodedNumber, RefusesWhatIsNoNumber) {
  EXPECT_FALSE(CodedNumber(""));
  EXPECT_FALSE(CodedNumber("num"));
  EXPECT_FALSE(CodedNumber("12a4"));
  EXPECT_EQ(CodedNumber("4xx000000"), 4000);
  EXPECT_FALSE(CodedNumber("-"));
  EXPECT_FALSE(CodedNumber("１２３４"));  // full-width digits
}

TEST(ReadRecords, QuotesBlanksAndBlankLines) {
  const Bytes text = Cp932("  1 ,\"a, b\" ,x\r\n\r\n  \r\n2,\"表\r\n裏\",9\r\n");
  auto r = ReadRecords(text, 3, "92.dat");
  ASSERT_TRUE(r.ok()) << r.error();
  ASSERT_EQ(r->size(), 2u);
  EXPECT_EQ((*r)[0].fields, (std::vector<std::string>{"1", "a, b", "x"}));
  // A quoted field may run over a line end; the record is still one line.
  EXPECT_EQ((*r)[1].fields, (std::vector<std::string>{"2", "表\r\n裏", "9"}));
  EXPECT_EQ((*r)[1].line, 4);
}

TEST(ReadRecords, TrailingCommaEndsAnEmptyField) {
  auto r = ReadRecords(Cp932("1,a,"), 3, "92.dat");
  ASSERT_TRUE(r.ok()) << r.error();
  EXPECT_EQ((*r)[0].fields[2], "");
}

TEST(ReadRecords, FaultsNameTheFileAndRecord) {
  auto cut = ReadRecords(Cp932("1,a,1\r\n2,b\r\n"), 3, "92.dat");
  ASSERT_FALSE(cut.ok());
  EXPECT_NE(cut.error().find("92.dat record 2 (line 2)"), std::string::npos) << cut.error();

  auto quote = ReadRecords(Cp932("1,\"open,1\r\n"), 3, "92.dat");
  ASSERT_FALSE(quote.ok());
  EXPECT_NE(quote.error().find("92.dat line 1"), std::string::npos) << quote.error();

  Bytes bad = Cp932("1,a,1\r\n2,");
  bad.push_back(0x85);  // a lead byte with no trail
  bad.push_back(',');
  bad.push_back('3');
  auto cp = ReadRecords(bad, 3, "92.dat");
  ASSERT_FALSE(cp.ok());
  EXPECT_NE(cp.error().find("92.dat record 2 (line 2), field 2"), std::string::npos)
      << cp.error();
}

TEST(ScenarioTables, NumMarkersTakeNoSlotAndEmptyJumpIsZero) {
  EngineState s;
  const std::string seq = Line("1000", "", "", "a") + "num,,,,,,,,,,,,\r\n" +
                          Line("1000", "g", "1010") + Line("1010") + Line("1000") + Line("1020");
  ASSERT_TRUE(LoadScenarioTables(s, Cp932(seq), Cp932("1010,\"行く\",1020\r\n1010,x,1999\r\n")));
  EXPECT_EQ(s.SeqLast, 4);
  EXPECT_EQ(s.Seq[1].Command, "g");
  EXPECT_EQ(s.Seq[1].JumpTo, 1010);
  EXPECT_EQ(s.Seq[0].JumpTo, 0);
  EXPECT_EQ(s.Seq[0].Text, "a");
  // Section 1000 comes in two runs and gets two entries.
  ASSERT_EQ(s.NumCount, 4);
  EXPECT_EQ(s.Num[2].Section, 1000);
  EXPECT_EQ(s.Num[2].Line, 3);
  // Targets become line indexes; a missing section keeps its number.
  EXPECT_EQ(s.Sct[0].Target, 4);
  EXPECT_EQ(s.Sct[1].Target, 1999);
  EXPECT_EQ(s.Sct[0].Text, "行く");
  EXPECT_EQ(s.SctLast, 1);
}

TEST(ScenarioTables, LimitsAreEnforcedAndARefusedFileChangesNothing) {
  std::string full;
  for (int i = 0; i < kSeqCapacity; ++i) full += Line(std::to_string(1000 + i / 10));
  EngineState s;
  ASSERT_TRUE(LoadScenarioTables(s, Cp932(full), {}));
  EXPECT_EQ(s.SeqLast, kSeqCapacity - 1);
  EXPECT_EQ(s.SctLast, -1);

  Status tooLong = LoadScenarioTables(s, Cp932(full + Line("9999")), {});
  ASSERT_FALSE(tooLong.ok());
  EXPECT_NE(tooLong.error().find("91.dat record 3002"), std::string::npos) << tooLong.error();
  EXPECT_EQ(s.SeqLast, kSeqCapacity - 1);

  std::string runs;
  for (int i = 0; i <= kNumCapacity; ++i) runs += Line(std::to_string(1000 + i));
  EXPECT_FALSE(LoadScenarioTables(s, Cp932(runs), {}).ok());

  std::string options;
  for (int i = 0; i <= kSctCapacity; ++i) options += "1,a,1\r\n";
  EXPECT_FALSE(LoadScenarioTables(s, Cp932(Line("1")), Cp932(options)).ok());

  EXPECT_FALSE(LoadScenarioTables(s, Cp932(Line("1x")), {}).ok());
  EXPECT_FALSE(LoadScenarioTables(s, Cp932(Line("1000", "g", "1o1o")), {}).ok());
  EXPECT_FALSE(LoadScenarioTables(s, Cp932(Line("1")), Cp932("1,a,\r\n")).ok());
  EXPECT_EQ(s.SeqLast, kSeqCapacity - 1);
}

EngineState WithSections(const std::vector<std::int16_t>& sections) {
  EngineState s;
  for (std::size_t i = 0; i < sections.size(); ++i) {
    s.Num[i] = NumEntry{sections[i], static_cast<std::int32_t>(i * 10)};
  }
  s.NumCount = static_cast<std::int32_t>(sections.size());
  return s;
}

TEST(SeqJump, FindsEverySectionInAscendingOrder) {
  std::vector<std::int16_t> sections;
  for (int i = 0; i < 37; ++i) sections.push_back(static_cast<std::int16_t>(1000 + 7 * i));
  const EngineState s = WithSections(sections);
  for (std::size_t i = 0; i < sections.size(); ++i) {
    EXPECT_EQ(FindSectionLine(s, sections[i]), static_cast<std::int32_t>(i * 10));
  }
  EXPECT_FALSE(FindSectionLine(s, 1001));
  EXPECT_FALSE(FindSectionLine(s, 999));
  EXPECT_FALSE(FindSectionLine(s, 2000));
  EXPECT_FALSE(FindSectionLine(WithSections({}), 1000));
}

TEST(SeqJump, MiddleRoundsHalfToEven) {
  // With four entries the first middle is 1.5: rounded to 2 it meets 20 at
  // once; cut down to 1 the search would go left and miss it.
  EXPECT_EQ(FindSectionLine(WithSections({10, 30, 20, 40}), 20), 20);
  // With six entries the middle 2.5 goes to 2, not 3.
  EXPECT_EQ(FindSectionLine(WithSections({1, 2, 5, 3, 9, 9}), 5), 20);
}

TEST(SctFind, FirstOptionOfTheSet) {
  EngineState s;
  s.Sct[0].SetNo = 5;
  s.Sct[1].SetNo = 7;
  s.Sct[2].SetNo = 7;
  s.SctLast = 2;
  EXPECT_EQ(FindChoiceSet(s, 7), 1);
  EXPECT_FALSE(FindChoiceSet(s, 6));
}

TEST(Complement, IsItsOwnInverse) {
  Bytes all;
  for (int i = 0; i < 256; ++i) all.push_back(static_cast<std::uint8_t>(i));
  const Bytes once = Complement(all);
  EXPECT_EQ(once[0], 255);
  EXPECT_EQ(once[200], 55);
  EXPECT_EQ(Complement(once), all);
}

}  // namespace
}  // namespace kovan
