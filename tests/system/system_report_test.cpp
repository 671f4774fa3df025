// The machine report in the log: line layout, labels and the system table.
#include "system/system_report.h"

#include <gtest/gtest.h>


namespace kovan {
namespace {

// The total virtual memory is beyond 32 bits: it is written as it is.
SystemFacts PentiumFacts() {
  return SystemFacts{"2026/12/06 7:39:47", 0, 586, 6, 0x0803, 1, 1, 4, 10, 2222, " A",
                     "C:\\WINDOWS", "C:\\WINDOWS\\SYSTEM", 67108864, 1024, 2, 3,
                     25769803776ull, 5, 42};
}

TEST(SystemReport, LinesInOrderWithExactLabels) {
  const auto r = SystemReport(PentiumFacts(), DisplayInfo{1024, 768, 32}, "/g/", "/g/data/");
  EXPECT_EQ(r.text,
            "2026/12/06 7:39:47\r\n"
            "CPU = 0/586/6/2051/(Pentium)× 1\r\n"
            "CRT = 1024*768(32bits)\r\n"
            "OS = Windows 98 ver:4.10( A) build:2222\r\n"
            "WINﾌｫﾙﾀﾞ = C:\\WINDOWS\r\n"
            "ｼｽﾃﾑﾌｫﾙﾀﾞ = C:\\WINDOWS\\SYSTEM\r\n"
            "app = /g/\r\n"
            "data= /g/data/\r\n"
            "総物理ﾒﾓﾘ      = 67108864Bytes\r\n"
            "空物理ﾒﾓﾘ      = 1024Bytes\r\n"
            "総ﾍﾟｰｼﾞﾝｸﾞﾌｧｲﾙ = 2Bytes\r\n"
            "空ﾍﾟｰｼﾞﾝｸﾞﾌｧｲﾙ = 3Bytes\r\n"
            "総仮想ﾕｰｻﾞｰﾒﾓﾘ = 25769803776Bytes\r\n"
            "空仮想ﾕｰｻﾞｰﾒﾓﾘ = 5Bytes\r\n"
            "ﾒﾓﾘ使用量      = 42%\r\n");
  EXPECT_FALSE(r.modeFixed);
}

// Without a processor count the CPU line has no end of its own.
TEST(SystemReport, AMissingProcessorCountRunsOn) {
  SystemFacts f = PentiumFacts();
  f.processorCount = 0;
  f.processorType = 8664;
  const auto r = SystemReport(f, DisplayInfo{640, 480, 24}, "/", "/");
  EXPECT_NE(r.text.find("/(unknown)CRT = 640*480(24bits)\r\n"), std::string::npos) << r.text;
}

struct SystemCase {
  int platform, major, minor;
  const char* name;
  bool fixed;
};

class SystemNames : public ::testing::TestWithParam<SystemCase> {};

TEST_P(SystemNames, NameAndDisplayModeFlag) {
  const SystemCase c = GetParam();
  SystemFacts f = PentiumFacts();
  f.platformId = c.platform;
  f.majorVersion = c.major;
  f.minorVersion = c.minor;
  f.servicePack = "Service Pack 6a and a lot more text";
  const auto r = SystemReport(f, DisplayInfo{}, "/", "/");
  EXPECT_NE(r.text.find(std::string("OS = ") + c.name + " ver:" + std::to_string(c.major) + "." +
                        std::to_string(c.minor) + "(Service Pack 6a and ) build:"),
            std::string::npos)
      << r.text;
  EXPECT_EQ(r.modeFixed, c.fixed);
}

INSTANTIATE_TEST_SUITE_P(Table, SystemNames,
                         ::testing::Values(SystemCase{0, 3, 10, "Windows 3.1", true},
                                           SystemCase{1, 4, 0, "Windows 95", true},
                                           SystemCase{1, 4, 10, "Windows 98", false},
                                           SystemCase{1, 4, 90, "Windows ME", true},
                                           SystemCase{1, 4, 85, "Windows ME", false},
                                           SystemCase{2, 4, 0, "Windows NT4.0", true},
                                           SystemCase{2, 5, 1, "Windows 2000", false},
                                           SystemCase{2, 6, 0, "", false},
                                           SystemCase{3, 6, 1, "", false}));

}  // namespace
}  // namespace kovan
