// Start-up checks of the data folder, the picture headers and "90.dat".
#include "engine/data_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/files.h"
#include "test_game.h"

namespace kovan {
namespace {

using testing::GameSetup;
using testing::HeaderOf;
using testing::TempDir;

// A folder whose scenario has two lines.
void WriteDataFolder(const std::string& dir, GameSetup setup = {}) {
  if (!setup.scenario) setup.scenario = "1000,,,,,,,,\"はじめ\",,,,\r\n1000,e,,,,,,,,,,,\r\n";
  testing::WriteGameFolder(dir, setup);
}

TEST(DataPrepare, ReadsNamesAndMusicAndRepairsPicturesInMemoryOnly) {
  TempDir dir;
  WriteDataFolder(dir.path());
  DataFiles files(dir.path());
  EngineState s;
  Status st = files.DataPrepare(s);
  ASSERT_TRUE(st.ok()) << st.error();
  EXPECT_EQ(s.CharName[1], "朝霧");
  EXPECT_EQ(s.CharName[4], "ソフィア");
  EXPECT_EQ(s.BgmFile[1], "bgm01.mid");
  EXPECT_EQ(s.BgmFile[3], "");  // an empty line means no music
  ASSERT_TRUE(files.ScenarioLoad(s).ok());
  EXPECT_EQ(s.SeqLast, 1);
  // The pictures keep their scrambled headers on disk (the games' folder
  // checks) and load all the same (every picture test).
}

TEST(DataPrepare, ShortOrBrokenConfigurationGivesTheSecondMessage) {
  TempDir dir;
  WriteDataFolder(dir.path(), {.config = std::vector<std::string>(24, "x")});
  EngineState s;
  Status st = DataFiles(dir.path()).DataPrepare(s);
  ASSERT_FALSE(st.ok());
  EXPECT_EQ(st.error().rfind("実行に必要なﾌｧｲﾙが異常です.(62)\n", 0), 0u) << st.error();
}

TEST(DataPrepare, NamesIgnoreCase) {
  TempDir dir;
  WriteDataFolder(dir.path());
  std::filesystem::rename(dir.path() + "p1.dat", dir.path() + "P1.DAT");
  std::filesystem::rename(dir.path() + "90.dat", dir.path() + "90.DAT");
  DataFiles files(dir.path());
  EngineState s;
  Status st = files.DataPrepare(s);
  ASSERT_TRUE(st.ok()) << st.error();
  EXPECT_TRUE(files.LoadPicture("p1.dat").ok());
}

// kovan-tool's header rewriting: the first two bytes of a regular file and
// nothing else; a link, a short file and a missing one are left as they are.
TEST(HeaderPatching, RewritesOnlyTheStartOfRegularFiles) {
  TempDir dir, elsewhere;
  WriteDataFolder(dir.path());
  const auto before = ReadFileBytes(dir.path() + "p3.dat");
  std::ofstream(dir.path() + "p4.dat", std::ios::trunc) << "B";
  std::ofstream(elsewhere.path() + "target") << "keep me";
  std::filesystem::remove(dir.path() + "p5.dat");
  std::filesystem::create_symlink(elsewhere.path() + "target", dir.path() + "p5.dat");
  const Status st = DataFiles(dir.path()).PatchAllHeaders(false);
  ASSERT_FALSE(st.ok());
  EXPECT_NE(st.error().find("p4.dat: too short"), std::string::npos) << st.error();
  EXPECT_NE(st.error().find("p5.dat: not a regular file"), std::string::npos) << st.error();
  EXPECT_EQ(HeaderOf(elsewhere.path() + "target"), "ke");
  EXPECT_EQ(*FileLength(dir.path() + "p4.dat"), 1u);
  auto after = ReadFileBytes(dir.path() + "p3.dat");
  ASSERT_EQ(before->size(), after->size());
  EXPECT_EQ((*after)[0], 0xFF);
  EXPECT_TRUE(std::equal(before->begin() + 2, before->end(), after->begin() + 2));
  ASSERT_TRUE(HeaderScramble(dir.path() + "p3").ok());
  EXPECT_EQ(*ReadFileBytes(dir.path() + "p3.dat"), *before);
}

TEST(SplitLines, AllLineEnds) {
  EXPECT_EQ(SplitLines("a\r\nb\rc\nd"), (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(SplitLines("a\r\n\r\n"), (std::vector<std::string>{"a", ""}));
  EXPECT_TRUE(SplitLines("").empty());
}

}  // namespace
}  // namespace kovan
