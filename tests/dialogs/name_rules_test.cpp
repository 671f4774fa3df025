// The name box's text as the protagonist's two names, and which names a
// save can hold (checked against the save file's own writer and reader).
#include "dialogs/name_rules.h"

#include <gtest/gtest.h>

#include "savegame/save_record.h"

namespace kovan {
namespace {

TEST(NameRules, SplitsAtTheFirstSeparatorCountingCharacters) {
  struct Case {
    const char* text;
    std::optional<ProtagonistName> name;
  };
  const Case cases[] = {
      {"ああ　いい", ProtagonistName{"ああ", "いい"}},
      {"ab cd", ProtagonistName{"ab", "cd"}},
      {"a b　c", ProtagonistName{"a b", "c"}},  // the ideographic space wins
      {"　いい", ProtagonistName{"", "いい"}},
      {"あ　い　う", ProtagonistName{"あ", "い　う"}},
      {"山田　太郎次郎", ProtagonistName{"山田", "太郎次郎"}},  // 7 characters, 21 bytes
      {"ДЖ　Ωαβγ", ProtagonistName{"ДЖ", "Ωαβγ"}},
      {"ｶﾀ ｶﾅ", ProtagonistName{"ｶﾀ", "ｶﾅ"}},
      {"いい", std::nullopt},
      {"ああ　", std::nullopt},
      {"ab ", std::nullopt},
      {"ああああ　いいい", std::nullopt},  // 8 characters
      {"", std::nullopt},
      {"　", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(SplitName(c.text), c.name) << c.text;
  EXPECT_EQ(SplitName(JoinName("朝霧", "湊")), (ProtagonistName{"朝霧", "湊"}));
}

// The fault: a name that the save file can't hold slipping through, so a
// save would come back with other names, or a good name refused.
TEST(NameRules, OnlyNamesTheSaveFileHoldsAreAccepted) {
  struct Case {
    const char* text;
    std::optional<std::string> refused;
  };
  const Case cases[] = {
      {"朝霧　湊", std::nullopt},     {"髙橋　①", std::nullopt},  {"ｶﾀ ｶﾅ", std::nullopt},
      {"Ωμέγα", "έ"},                 {"𠮷野　家", "𠮷"},         {"山田　😀", "😀"},
      {"한국", "한"},                 {"Café x", "é"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FirstUnsavableCharacter(c.text), c.refused) << c.text;
    const SaveFile file{"2001/08/15 21:07", "", "00000000000000000060-1-103000000", c.text, "x"};
    Result<SaveFile> back = DecodeSaveFile(EncodeSaveFile(file));
    const bool keeps = back.ok() && back->familyName == c.text;
    EXPECT_EQ(keeps, !c.refused.has_value()) << c.text << ": the save's own round trip";
  }
}

}  // namespace
}  // namespace kovan
