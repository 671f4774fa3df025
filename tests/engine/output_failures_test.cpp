// Writes that fail are failures: kovan-tool and the headless runner end
// with a non-zero status and a message when an output can't be written in
// full, a failed write leaves the old file as it was, and an input that
// isn't a file is refused at once instead of waited on.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "test_support.h"

namespace kovan {
namespace {

using testing::TempDir;

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

struct Failing {
  const char* name;
  // The shell command, given the work folder (ending with '/').
  std::function<std::string(const std::string& dir)> command;
  int exitCode;
  const char* says;  // part of what the command writes to stderr ("" = anything)
  // What must hold in the folder afterwards.
  std::function<void(const std::string& dir)> check;
};

void PrintTo(const Failing& f, std::ostream* out) { *out << f.name; }

class OutputFailure : public ::testing::TestWithParam<Failing> {};

TEST_P(OutputFailure, IsReportedAndLosesNothing) {
  const Failing& f = GetParam();
  TempDir dir;
  // A scenario text longer than one 512-byte block, and an old output.
  std::string csv;
  for (int i = 0; i < 40; ++i) csv += "1000,,,,,,,,\"行 " + std::to_string(i) + "\",,,,\r\n";
  std::ofstream(dir.path() + "scenario.csv") << csv;
  std::ofstream(dir.path() + "91.dat") << "the old scenario";
  ::mkfifo((dir.path() + "pipe.dat").c_str(), 0600);
  std::filesystem::copy(testing::DemoDataDir(), dir.path() + "data");

  const std::string command = "cd " + dir.path() + " && " + f.command(dir.path()) + " 2>err.txt";
  const int status = std::system(("timeout 30 sh -c '" + command + "'").c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), f.exitCode);
  EXPECT_NE(ReadAll(dir.path() + "err.txt").find(f.says), std::string::npos)
      << ReadAll(dir.path() + "err.txt");
  f.check(dir.path());
}

const std::string kTool = testing::KovanToolBinary();
const std::string kGame = testing::KovanBinary();

// A write beyond 512 bytes fails as on a full disk ("trap" keeps the
// signal from ending the program before it sees the failure).
const std::string kSmallDisk = "trap \"\" XFSZ; ulimit -f 1; ";

void OldScenarioKept(const std::string& dir) {
  EXPECT_EQ(ReadAll(dir + "91.dat"), "the old scenario");
  for (const auto& e : std::filesystem::directory_iterator(dir)) {
    EXPECT_EQ(e.path().filename().string().rfind(".91.dat", 0), std::string::npos)
        << "a temporary file was left: " << e.path();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Outputs, OutputFailure,
    ::testing::Values(
        Failing{"EncodeOnAFullDisk",
                [](const std::string&) { return kSmallDisk + kTool + " encode scenario.csv 91.dat"; },
                1, "91.dat", OldScenarioKept},
        Failing{"DecodeToAFullDevice",
                [](const std::string&) { return kTool + " decode data/91.dat > /dev/full"; }, 1,
                "cannot write the decoded text", [](const std::string&) {}},
        Failing{"DecodeANamedPipe",
                [](const std::string&) { return kTool + " decode pipe.dat"; }, 1,
                "not a regular file", [](const std::string&) {}},
        Failing{"TraceToAFullDevice",
                [](const std::string&) {
                  return kGame + " --headless --data data --trace /dev/full";
                },
                1, "could not be written", [](const std::string&) {}},
        Failing{"EncodeThroughALink",
                [](const std::string& dir) {
                  std::filesystem::create_symlink(dir + "91.dat", dir + "link.dat");
                  return kTool + " encode scenario.csv link.dat";
                },
                0, "",
                [](const std::string& dir) {
                  EXPECT_EQ(ReadAll(dir + "91.dat"), "the old scenario");
                  EXPECT_TRUE(std::filesystem::is_regular_file(
                      std::filesystem::symlink_status(dir + "link.dat")));
                }}),
    [](const ::testing::TestParamInfo<Failing>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kovan
