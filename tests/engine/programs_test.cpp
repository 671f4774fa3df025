// The built programs as a user runs them: kovan-tool and a headless start
// of the demo data, including leaving on a signal.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <thread>

#include "platform/files.h"
#include "test_support.h"

namespace kovan {
namespace {

using testing::CopyDemoData;
using testing::DemoDataDir;
using testing::ReadAll;
using testing::Shell;
using testing::TempDir;

TEST(KovanTool, DecodeThenEncodeGivesTheSameBytes) {
  TempDir dir;
  for (const char* n : {"91", "92"}) {
    const std::string dat = DemoDataDir() + n + ".dat";
    const std::string csv = dir.path() + n + ".csv";
    const std::string back = dir.path() + n + ".dat";
    ASSERT_EQ(Shell(testing::KovanToolBinary() + " decode " + dat + " > " + csv), 0);
    EXPECT_NE(ReadAll(csv).find(n[1] == '1' ? "おはよう" : "掲示板"), std::string::npos);
    ASSERT_EQ(Shell(testing::KovanToolBinary() + " encode " + csv + " " + back), 0);
    EXPECT_EQ(ReadAll(back), ReadAll(dat));
  }
}

TEST(KovanTool, RefusesBadInputWithoutWritingAnything) {
  TempDir dir;
  std::ofstream(dir.path() + "bad.dat") << "\x7a";  // complement 0x85: a lone lead byte
  EXPECT_EQ(Shell(testing::KovanToolBinary() + " decode " + dir.path() + "bad.dat > /dev/null 2>&1"), 1);
  std::ofstream(dir.path() + "bad.csv") << "\xff\xfe";  // not UTF-8
  EXPECT_EQ(Shell(testing::KovanToolBinary() + " encode " + dir.path() + "bad.csv " + dir.path() +
                  "out.dat 2>/dev/null"),
            1);
  EXPECT_FALSE(FileExists(dir.path() + "out.dat"));
  EXPECT_EQ(Shell(testing::KovanToolBinary() + " frobnicate 2>/dev/null"), 2);
}

// Starts a headless game on dir that plays on until it is stopped, and
// waits until its story runs.
pid_t StartLongGame(const std::string& dir, const std::string& trace) {
  std::ofstream(dir + "input.txt") << "wait 999999999\n";
  const pid_t pid = fork();
  if (pid == 0) {
    const std::string bin = testing::KovanBinary();
    const std::string input = dir + "input.txt";
    execl(bin.c_str(), bin.c_str(), "--headless", "--data", dir.c_str(), "--input",
          input.c_str(), "--trace", trace.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  for (int i = 0; i < 1000 && ReadAll(trace).find("\"ev\":\"line\"") == std::string::npos; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return pid;
}

// Closing the terminal (SIGHUP) ends the game as SIGTERM and SIGINT do:
// through the shutdown, with the exit event written.
class CloseSignal : public ::testing::TestWithParam<int> {};

TEST_P(CloseSignal, RunsTheShutdown) {
  TempDir dir;
  CopyDemoData(dir.path());
  const std::string trace = dir.path() + "trace.jsonl";
  const pid_t pid = StartLongGame(dir.path(), trace);
  ASSERT_GT(pid, 0);
  ASSERT_NE(ReadAll(trace).find("\"ev\":\"line\""), std::string::npos);
  kill(pid, GetParam());
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_NE(ReadAll(trace).find("\"ev\":\"exit\",\"reason\":\"close\""), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Signals, CloseSignal, ::testing::Values(SIGTERM, SIGINT, SIGHUP),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return std::string(sigabbrev_np(info.param));
                         });

// A game killed outright, with no shutdown at all, leaves the folder as it
// found it: nothing is decoded or patched on disk while it runs.
TEST(Kovan, KilledGameLeavesTheFolderAsItWas) {
  TempDir dir, traces;
  CopyDemoData(dir.path());
  std::ofstream(dir.path() + "input.txt") << "wait 999999999\n";
  auto listing = [&] {
    std::map<std::string, std::string> files;
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) {
      const std::string name = e.path().filename().string();
      if (name != "kovan.log") files[name] = ReadAll(e.path().string());
    }
    return files;
  };
  const auto before = listing();
  const pid_t pid = StartLongGame(dir.path(), traces.path() + "trace.jsonl");
  ASSERT_GT(pid, 0);
  kill(pid, SIGKILL);
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  EXPECT_TRUE(listing() == before) << "the folder changed";
}

// The lock is the folder's own: a second copy with another runtime folder
// meets it all the same, and the first copy plays on.
TEST(Kovan, SecondCopyOnTheSameFolderIsRefused) {
  TempDir dir, runtime;
  CopyDemoData(dir.path());
  const pid_t pid = StartLongGame(dir.path(), dir.path() + "first.jsonl");
  ASSERT_GT(pid, 0);
  const std::string trace = dir.path() + "second.jsonl";
  EXPECT_EQ(Shell("XDG_RUNTIME_DIR=" + runtime.path() + " " + testing::KovanBinary() +
                  " --headless --data " + dir.path() + " --trace " + trace),
            1);
  EXPECT_NE(ReadAll(trace).find("既に起動しています。"), std::string::npos);
  EXPECT_EQ(kill(pid, 0), 0);  // the first copy still runs
  kill(pid, SIGTERM);
  int status = 0;
  waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status));
  // With the first copy gone, the folder is free again.
  EXPECT_EQ(Shell(testing::KovanBinary() + " --headless --data " + dir.path() + " --trace " + trace), 0);
}

}  // namespace
}  // namespace kovan
