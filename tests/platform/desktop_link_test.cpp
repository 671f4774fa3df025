// Links handed to the desktop: a stand-in xdg-open on PATH writes down the
// arguments it was given.
#include "platform/desktop_link.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "test_support.h"

namespace kovan {
namespace {

// The fault: a link that a shell takes apart (spaces, quotes, "$(...)"), a
// game that waits for the browser, or an opener left behind as a zombie.
TEST(DesktopLink, TheLinkArrivesAsOneArgumentAndNothingIsLeftBehind) {
  testing::TempDir dir;
  const std::string out = dir.path() + "args";
  {
    std::ofstream opener(dir.path() + "xdg-open");
    opener << "#!/bin/sh\nprintf '%s|%s' \"$#\" \"$1\" > \"" << out << ".tmp\"\n"
           << "mv \"" << out << ".tmp\" \"" << out << "\"\nsleep 1\n";
  }
  std::filesystem::permissions(dir.path() + "xdg-open", std::filesystem::perms::owner_all);
  const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
  setenv("PATH", (dir.path() + ":/usr/bin:/bin").c_str(), 1);

  const std::string link = "mailto:a b@example.org?subject=\"$(touch x)\";'`id`'";
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(OpenWithDesktop(link).ok());
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2))
      << "returns without waiting for the opener";
  for (int i = 0; i < 200 && !std::filesystem::exists(out); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(testing::ReadAll(out), "1|" + link);
  EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1) << "no child of ours remains";
  EXPECT_EQ(errno, ECHILD);

  EXPECT_FALSE(OpenWithDesktop("--help").ok()) << "an option is no link";
  setenv("PATH", (dir.path() + "missing").c_str(), 1);
  EXPECT_FALSE(OpenWithDesktop("https://example.org/").ok());
  setenv("PATH", oldPath.c_str(), 1);
}

}  // namespace
}  // namespace kovan
