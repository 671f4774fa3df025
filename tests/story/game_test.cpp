// Start-up and shutdown of a whole game on the headless backend.
#include "story/game.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/files.h"
#include "platform/text_codec.h"
#include "test_game.h"

namespace kovan::testing {
namespace {

TEST(StartUp, DataFolderBesideTheProgramOrTheProgramFolderItself) {
  TempDir app;
  EXPECT_EQ(DataPathFor(app.path()), app.path());
  std::filesystem::create_directory(app.path() + "Data");
  EXPECT_EQ(DataPathFor(app.path()), app.path() + "Data/");
  EXPECT_EQ(AppPathOf("/"), "/");
  EXPECT_EQ(AppPathOf("/opt/game"), "/opt/game/");
}

TEST(StartUp, StartsAndEndsCleanly) {
  TestGame play({.prepare = [](const std::string& dir) {
                   std::ofstream(dir + "kovan.log") << "an old log that must go";
                 },
                 .start = false});
  const std::string data = play.dir();
  EXPECT_EQ(play.RunProgram(), 0);
  EXPECT_EQ(play.Strings("start", "data"), (std::vector<std::string>{data}));
  EXPECT_EQ(play.Events("exit").size(), 1u);
  EXPECT_EQ(HeaderOf(data + "13.dat"), "JF");
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

// A folder the game can't start from ends it through the shutdown with
// status 1, the player told why.
TEST(StartUp, FoldersItCannotStartFromAreRefused) {
  struct Case {
    GameSetup setup;
    std::string message;  // the start of the message box's text, after the folder
    bool logWritten;
  };
  const Case cases[] = {
      {{.prepare = [](const std::string& d) { (void)RemoveFile(d + "90.dat"); }},
       "フォルダの内容が不正です.\\n{}", false},
      {{.prepare = [](const std::string& d) { (void)RemoveFile(d + "p7.dat"); }},
       "実行に必要なﾌｧｲﾙがありません. file{}p7", true},
  };
  for (const Case& c : cases) {
    GameSetup setup = c.setup;
    setup.start = false;
    TestGame play(setup);
    std::string message = c.message;
    if (const auto at = message.find("{}"); at != std::string::npos) message.replace(at, 2, play.dir());
    EXPECT_EQ(play.RunProgram(), 1) << message;
    const auto boxes = play.Strings("msgbox", "text");
    ASSERT_EQ(boxes.size(), 1u) << message;
    EXPECT_EQ(boxes[0].rfind(message, 0), 0u) << boxes[0];
    EXPECT_EQ(play.Strings("exit", "reason"), (std::vector<std::string>{"data"}));
    EXPECT_EQ(FileExists(play.dir() + "kovan.log"), c.logWritten) << message;
    EXPECT_EQ(HeaderOf(play.dir() + "11.dat"), "JF");
  }
}

}  // namespace
}  // namespace kovan::testing
