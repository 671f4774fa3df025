// Writes that fail are failures: kovan-tool and the headless runner end
// with status 1 and say so when an output can't be written in full, a
// failed write leaves the old file as it was, and an input that isn't a
// file is refused at once instead of waited on.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "test_support.h"

namespace kovan {
namespace {

using testing::ReadAll;

TEST(OutputFailure, IsReportedAndLosesNothing) {
  const std::string tool = testing::KovanToolBinary();
  // "ulimit -f 1" fails writes beyond 512 bytes as a full disk would; the
  // trap keeps the signal from ending the program before it sees that.
  const struct {
    std::string command;
    const char* says;
  } cases[] = {
      {"trap \"\" XFSZ; ulimit -f 1; " + tool + " encode scenario.csv 91.dat", "91.dat"},
      {tool + " decode data/91.dat > /dev/full", "cannot write the decoded text"},
      {tool + " decode pipe.dat", "not a regular file"},
      {testing::KovanBinary() + " --headless --data data --trace /dev/full", "could not be written"},
  };
  for (const auto& c : cases) {
    testing::TempDir dir;
    std::string csv;
    for (int i = 0; i < 40; ++i) csv += "1000,,,,,,,,\"行 " + std::to_string(i) + "\",,,,\r\n";
    std::ofstream(dir.path() + "scenario.csv") << csv;
    std::ofstream(dir.path() + "91.dat") << "the old scenario";
    ::mkfifo((dir.path() + "pipe.dat").c_str(), 0600);
    std::filesystem::copy(testing::DemoDataDir(), dir.path() + "data");

    const std::string shell = "cd " + dir.path() + " && " + c.command + " 2>err.txt";
    const int status = std::system(("timeout 30 sh -c '" + shell + "'").c_str());
    EXPECT_EQ(WEXITSTATUS(status), 1) << c.command;
    EXPECT_NE(ReadAll(dir.path() + "err.txt").find(c.says), std::string::npos) << c.command;
    EXPECT_EQ(ReadAll(dir.path() + "91.dat"), "the old scenario");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 5)
        << "a temporary file was left by " << c.command;
  }
}

}  // namespace
}  // namespace kovan
