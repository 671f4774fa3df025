// Start-up and shutdown of a whole game on the headless backend.
#include "story/game.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "data_folder.h"
#include "story/runner.h"
#include "platform/files.h"
#include "platform/headless/headless_platform.h"
#include "platform/text_codec.h"
#include "test_support.h"

namespace kovan {
namespace {

using testing::HeaderOf;
using testing::TempDir;
using testing::WriteDataFolder;

struct PlayResult {
  int exitCode = 0;
  std::string trace;
};

PlayResult Play(const std::string& appPath, const std::string& script = "") {
  HeadlessOptions options;
  options.inputScript = script;
  auto platform = CreateHeadlessPlatform(options);
  EXPECT_TRUE(platform.ok());
  std::ostringstream trace;
  (*platform)->trace().SetStream(&trace);
  GameOptions go;
  go.appPath = appPath;
  PlayResult r;
  r.exitCode = RunGame(**platform, go);
  r.trace = trace.str();
  return r;
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

TEST(StartUp, DataFolderBesideTheProgramOrTheProgramFolderItself) {
  TempDir app;
  EXPECT_EQ(DataPathFor(app.path()), app.path());
  std::filesystem::create_directory(app.path() + "Data");
  EXPECT_EQ(DataPathFor(app.path()), app.path() + "Data/");
  EXPECT_EQ(AppPathOf("/"), "/");
  EXPECT_EQ(AppPathOf("/opt/game"), "/opt/game/");
}

TEST(StartUp, StartsAndEndsCleanly) {
  TempDir app;
  std::filesystem::create_directory(app.path() + "data");
  const std::string data = app.path() + "data/";
  WriteDataFolder(data);
  std::ofstream(data + "kovan.log") << "an old log that must go";

  const PlayResult r = Play(app.path());
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_NE(r.trace.find("\"ev\":\"start\",\"data\":\"" + data + "\""), std::string::npos)
      << r.trace;
  EXPECT_NE(r.trace.find("\"ev\":\"exit\""), std::string::npos) << r.trace;
  EXPECT_EQ(HeaderOf(data + "13.dat"), "JF");
  EXPECT_EQ(HeaderOf(data + "p9.dat"), "JF");
  EXPECT_FALSE(FileExists(data + "91.cod"));

  const std::string log = ReadAll(data + "kovan.log");
  EXPECT_EQ(log.find("an old log"), std::string::npos);
  auto text = Cp932ToUtf8(log);
  ASSERT_TRUE(text.ok()) << text.error();
  EXPECT_NE(text->find("\r\nCPU = "), std::string::npos);
  EXPECT_NE(text->find("data= " + data + "\r\n"), std::string::npos);
  // The report, a blank line, then where the saves go.
  EXPECT_NE(text->find("\r\n\r\nセーブデータの保存先: " + data + "\r\n"), std::string::npos);
}

TEST(StartUp, FolderWithoutConfigurationIsRefused) {
  TempDir app;
  const PlayResult r = Play(app.path());
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.trace.find("\"text\":\"フォルダの内容が不正です.\\n" + app.path() + "\""),
            std::string::npos)
      << r.trace;
  EXPECT_FALSE(FileExists(app.path() + "kovan.log"));
}

TEST(StartUp, BrokenScenarioEndsThroughTheShutdown) {
  TempDir app;
  testing::DataFolderSpec spec;
  spec.scenario = "1000,,,,,,,,a,,,,\r\n1000,,,";  // cut short
  WriteDataFolder(app.path(), spec);
  const PlayResult r = Play(app.path());
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.trace.find("91.dat record 2 (line 2): cut short"), std::string::npos) << r.trace;
  EXPECT_NE(r.trace.find("\"reason\":\"data\""), std::string::npos) << r.trace;
  EXPECT_EQ(HeaderOf(app.path() + "60.dat"), "JF");
}

TEST(StartUp, MissingPlaceStopsWithItsPath) {
  TempDir app;
  WriteDataFolder(app.path());
  std::filesystem::remove(app.path() + "p7.dat");
  const PlayResult r = Play(app.path());
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.trace.find("実行に必要なﾌｧｲﾙがありません. file" + app.path() + "p7\""),
            std::string::npos)
      << r.trace;
  EXPECT_EQ(HeaderOf(app.path() + "p6.dat"), "JF");
  EXPECT_EQ(HeaderOf(app.path() + "11.dat"), "JF");
}

TEST(StartUp, SeveralGamesInOneProcess) {
  TempDir a, b;
  WriteDataFolder(a.path());
  WriteDataFolder(b.path());
  HeadlessOptions options;
  auto pa = CreateHeadlessPlatform(options);
  auto pb = CreateHeadlessPlatform(options);
  Game ga(**pa, GameOptions{a.path(), ""});
  Game gb(**pb, GameOptions{b.path(), ""});
  ga.StartUp();
  gb.StartUp();
  EXPECT_EQ(ga.state.DataPath, a.path());
  EXPECT_EQ(gb.state.DataPath, b.path());
  ga.state.Kou = 5;
  EXPECT_EQ(gb.state.Kou, 0);
  ga.FormUnload();
  gb.FormUnload();
}

}  // namespace
}  // namespace kovan
