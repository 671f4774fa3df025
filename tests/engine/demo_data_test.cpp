// The demo data folder the build generates: every file the game opens, in
// the form the game reads it.
#include <gtest/gtest.h>

#include <fstream>

#include "platform/files.h"
#include "test_game.h"

namespace kovan::testing {
namespace {


// Faces are pasted over the sprite through the sheet's black-keyed mask:
// the first face of a column is the sprite's own, and every face covers
// exactly what the sprite covers there, or pasting would leave holes.
TEST(DemoData, FacesMatchTheirSpriteRectangle) {
  const struct {
    int sheetX, w, h, count;
    const char* sprite;
    int x1, y1;
  } columns[] = {{0, 135, 120, 7, "11.dat", 130, 90},   {135, 135, 120, 7, "13.dat", 130, 90},
                 {270, 140, 120, 7, "32.dat", 120, 100}, {410, 105, 85, 9, "15.dat", 65, 75},
                 {515, 105, 85, 9, "17.dat", 65, 75}};
  TestGame g;  // the demo's pictures as the game reads them
  const Surface sheet = g.Picture("60.dat");
  for (const auto& c : columns) {
    const Surface sprite = g.Picture(c.sprite);
    for (int n = 0; n < c.count; ++n) {
      int differs = 0, holes = 0;
      for (int y = 0; y < c.h; ++y) {
        for (int x = 0; x < c.w; ++x) {
          const Rgb f = sheet.Point(c.sheetX + x, n * c.h + y);
          const Rgb s = sprite.Point(c.x1 + x, c.y1 + y);
          differs += f != s;
          holes += (f == kBlack) != (s == kBlack);
        }
      }
      EXPECT_EQ(holes, 0) << c.sprite << " face " << n + 1;
      if (n == 0) {
        EXPECT_EQ(differs, 0) << c.sprite;
      } else {
        EXPECT_GT(differs, 20) << c.sprite << " face " << n + 1 << " looks like face 1";
      }
    }
  }
}

// Runs the generator; returns its exit status and what it printed.
int RunGenerator(const std::string& src, const std::string& out, std::string& printed) {
  const int status = Shell(std::string(KOVAN_BINARY_DIR) + "/make_demo_data '" + src + "' '" +
                           out + "data' > '" + out + "log.txt' 2>&1");
  printed = ReadAll(out + "log.txt");
  return status;
}

TEST(DemoGenerator, BrokenSourcesStopItWithTheFileAndLine) {
  std::string config;
  for (int i = 0; i < 25; ++i) config += (i == 0 ? "朝霧" : "") + std::string("\n");
  const struct {
    std::string config, scenario, expected;
  } cases[] = {
      {config.substr(0, config.size() - 1), "1000,,\n", "config.txt"},  // 24 lines
      {config, "1000,,\n1000,,,,,,,,\"\xF0\x9F\x98\x80\"\n", "scenario.csv line 2"},
      {config, "", "choices.csv"},  // choices.csv missing
  };
  for (const auto& c : cases) {
    TempDir dir;
    std::ofstream(dir.path() + "config.txt", std::ios::binary) << c.config;
    std::ofstream(dir.path() + "scenario.csv", std::ios::binary) << c.scenario;
    if (c.expected != "choices.csv") {
      std::ofstream(dir.path() + "choices.csv", std::ios::binary) << "1000,\"a\",1000\n";
    }
    std::string printed;
    EXPECT_NE(RunGenerator(dir.path(), dir.path(), printed), 0) << c.expected;
    EXPECT_NE(printed.find(c.expected), std::string::npos) << printed;
  }
}

}  // namespace
}  // namespace kovan::testing
