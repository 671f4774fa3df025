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

// The first character and the last three, counted in characters.
TEST(CodedNumber, FirstCharacterAndLastThree) {
  const std::pair<const char*, std::optional<std::int16_t>> cases[] = {
      {"1234", 1234}, {"1xyz234", 1234}, {"5xy012", 5012}, {"123", 1123},
      {"-123", -123}, {"3あい276", 3276}, {"4xx000000", 4000}, {"", std::nullopt},
      {"num", std::nullopt}, {"12a4", std::nullopt}, {"-", std::nullopt},
      {"１２３４", std::nullopt}};
  for (const auto& [field, number] : cases) EXPECT_EQ(CodedNumber(field), number) << field;
}

TEST(ReadRecords, QuotesBlanksAndRecordsOverSeveralLines) {
  auto r = ReadRecords(Cp932("  1 ,\"a, b\" ,x\r\n\r\n  \r\n2,\"表\r\n裏\",9\r\n1,a,"), 3, "92.dat");
  ASSERT_TRUE(r.ok()) << r.error();
  ASSERT_EQ(r->size(), 3u);
  EXPECT_EQ((*r)[0].fields, (std::vector<std::string>{"1", "a, b", "x"}));
  // A quoted field may run over a line end; the record is still one line.
  EXPECT_EQ((*r)[1].fields, (std::vector<std::string>{"2", "表\r\n裏", "9"}));
  EXPECT_EQ((*r)[1].line, 4);
  EXPECT_EQ((*r)[2].fields, (std::vector<std::string>{"1", "a", ""}));  // a trailing comma
}

TEST(ReadRecords, FaultsNameTheFileAndRecord) {
  Bytes badByte = Cp932("1,a,1\r\n2,");
  badByte.insert(badByte.end(), {0x85, ',', '3'});  // a lead byte with no trail
  const std::pair<Bytes, const char*> cases[] = {
      {Cp932("1,a,1\r\n2,b\r\n"), "92.dat record 2 (line 2): cut short, 2 of 3 fields"},
      {Cp932("1,\"open,1\r\n"), "92.dat line 1: a quote is never closed"},
      {badByte, "92.dat record 2 (line 2), field 2"},
  };
  for (const auto& [text, error] : cases) {
    auto r = ReadRecords(text, 3, "92.dat");
    ASSERT_FALSE(r.ok()) << error;
    EXPECT_EQ(r.error().rfind(error, 0), 0u) << r.error();
  }
}

TEST(ScenarioTables, NumMarkersTakeNoSlotAndTargetsBecomeLines) {
  EngineState s;
  const std::string seq = Line("1000", "", "", "a") + "num,,,,,,,,,,,,\r\n" +
                          Line("1000", "g", "1010") + Line("1010") + Line("1000") + Line("1020");
  ASSERT_TRUE(LoadScenarioTables(s, Cp932(seq), Cp932("1010,\"行く\",1020\r\n1010,x,1999\r\n")));
  EXPECT_EQ(s.Seq[1].Command + s.Seq[0].Text + s.Sct[0].Text, "ga行く");
  // Section 1000 comes in two runs and gets two entries (the third at line
  // 3); a target names a section's first line, a missing section keeps its
  // number.
  EXPECT_EQ(std::vector<int>({s.SeqLast, s.Seq[1].JumpTo, s.Seq[0].JumpTo, s.NumCount, s.Num[2].Section,
                              s.Num[2].Line, s.Sct[0].Target, s.Sct[1].Target, s.SctLast}),
            std::vector<int>({4, 1010, 0, 4, 1000, 3, 4, 1999, 1}));
  EXPECT_EQ(FindChoiceSet(s, 1010), 0);
  EXPECT_FALSE(FindChoiceSet(s, 1000));
}

TEST(ScenarioTables, LimitsAreEnforcedAndARefusedFileChangesNothing) {
  std::string full;
  for (int i = 0; i < kSeqCapacity; ++i) full += Line(std::to_string(1000 + i / 10));
  EngineState s;
  ASSERT_TRUE(LoadScenarioTables(s, Cp932(full), {}));
  EXPECT_EQ(s.SeqLast, kSeqCapacity - 1);

  std::string runs, options;
  for (int i = 0; i <= kNumCapacity; ++i) runs += Line(std::to_string(1000 + i));
  for (int i = 0; i <= kSctCapacity; ++i) options += "1,a,1\r\n";
  const std::pair<std::string, std::string> refused[] = {
      {full + Line("9999"), ""}, {runs, ""}, {Line("1"), options},
      {Line("1x"), ""},          {Line("1000", "g", "1o1o"), ""}, {Line("1"), "1,a,\r\n"}};
  for (const auto& [seq, sct] : refused) {
    EXPECT_FALSE(LoadScenarioTables(s, Cp932(seq), Cp932(sct)).ok()) << seq.substr(0, 40);
  }
  EXPECT_EQ(s.SeqLast, kSeqCapacity - 1);
}

EngineState WithSections(const std::vector<std::int16_t>& sections) {
  EngineState s;
  for (std::size_t i = 0; i < sections.size(); ++i) {
    s.Num.push_back(NumEntry{sections[i], static_cast<std::int32_t>(i * 10)});
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
  for (std::int16_t missing : {1001, 999, 2000}) EXPECT_FALSE(FindSectionLine(s, missing));
  EXPECT_FALSE(FindSectionLine(WithSections({}), 1000));
}

// Sections need not be in order: the search's middle is rounded half to
// even, which decides what an unordered index finds.
TEST(SeqJump, MiddleRoundsHalfToEven) {
  // With four entries the first middle is 1.5: rounded to 2 it meets 20 at
  // once; cut down to 1 the search would go left and miss it.
  EXPECT_EQ(FindSectionLine(WithSections({10, 30, 20, 40}), 20), 20);
  // With six entries the middle 2.5 goes to 2, not 3.
  EXPECT_EQ(FindSectionLine(WithSections({1, 2, 5, 3, 9, 9}), 5), 20);
}

}  // namespace
}  // namespace kovan
