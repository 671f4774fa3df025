// The built programs as a user runs them: kovan-tool and a headless start
// of the demo data, including leaving on a signal.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/files.h"
#include "test_support.h"

namespace kovan {
namespace {

using testing::CopyDemoData;
using testing::DemoDataDir;
using testing::HeaderOf;
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

TEST(KovanTool, HeadersRestoreAndScramble) {
  TempDir dir;
  CopyDemoData(dir.path());
  ASSERT_EQ(Shell(testing::KovanToolBinary() + " headers restore " + dir.path()), 0);
  EXPECT_EQ(HeaderOf(dir.path() + "72.dat"), "BM");
  EXPECT_EQ(HeaderOf(dir.path() + "p11.dat"), "\xFF\xD8");
  EXPECT_EQ(HeaderOf(dir.path() + "61.dat"), "BM");
  ASSERT_EQ(Shell(testing::KovanToolBinary() + " headers scramble " + dir.path()), 0);
  EXPECT_EQ(HeaderOf(dir.path() + "72.dat"), "JF");
  EXPECT_EQ(HeaderOf(dir.path() + "61.dat"), "BM");  // a plain picture: left alone
}

TEST(Kovan, HeadlessStartOfTheDemoEndsCleanly) {
  TempDir dir;
  CopyDemoData(dir.path());
  const std::string trace = dir.path() + "trace.jsonl";
  ASSERT_EQ(Shell(testing::KovanBinary() + " --headless --data " + dir.path() + " --trace " + trace), 0);
  const std::string t = ReadAll(trace);
  EXPECT_EQ(t.rfind("{\"t\":0,\"ev\":\"start\"", 0), 0u) << t;
  EXPECT_NE(t.find("\"ev\":\"exit\",\"reason\":\"close\"}"), std::string::npos) << t;
  EXPECT_EQ(t.find("msgbox"), std::string::npos) << t;
  EXPECT_EQ(HeaderOf(dir.path() + "11.dat"), "JF");
  EXPECT_TRUE(FileExists(dir.path() + "kovan.log"));
}

// Starts a headless game on dir that plays on until it is stopped, and
// waits until it has restored its picture headers.
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
  for (int i = 0; i < 500 && HeaderOf(dir + "11.dat") != "BM"; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return pid;
}

TEST(Kovan, TerminationSignalRunsTheShutdown) {
  TempDir dir;
  CopyDemoData(dir.path());
  const std::string trace = dir.path() + "trace.jsonl";
  const pid_t pid = StartLongGame(dir.path(), trace);
  ASSERT_GT(pid, 0);
  EXPECT_EQ(HeaderOf(dir.path() + "11.dat"), "BM");
  kill(pid, SIGTERM);
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(HeaderOf(dir.path() + "11.dat"), "JF");
  EXPECT_NE(ReadAll(trace).find("\"ev\":\"exit\",\"reason\":\"close\""), std::string::npos);
}

TEST(Kovan, SecondCopyOnTheSameFolderIsRefused) {
  TempDir dir;
  CopyDemoData(dir.path());
  const pid_t pid = StartLongGame(dir.path(), dir.path() + "first.jsonl");
  ASSERT_GT(pid, 0);
  const std::string trace = dir.path() + "second.jsonl";
  EXPECT_EQ(Shell(testing::KovanBinary() + " --headless --data " + dir.path() + " --trace " + trace), 1);
  EXPECT_NE(ReadAll(trace).find("既に起動しています。"), std::string::npos);
  EXPECT_EQ(HeaderOf(dir.path() + "11.dat"), "BM");  // the first copy is untouched
  kill(pid, SIGTERM);
  int status = 0;
  waitpid(pid, &status, 0);
  EXPECT_EQ(HeaderOf(dir.path() + "11.dat"), "JF");
}

}  // namespace
}  // namespace kovan
