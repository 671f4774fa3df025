// The demo data folder the build generates: every file the game opens, in
// the form the game reads it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/files.h"
#include "platform/pictures.h"
#include "platform/text_codec.h"
#include "test_support.h"

namespace kovan::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes ReadDemo(const std::string& name) {
  Result<Bytes> bytes = ReadFileBytes(DemoDataDir() + name);
  EXPECT_TRUE(bytes.ok()) << name << ": " << bytes.error();
  return bytes.ok() ? *bytes : Bytes{};
}

// The 25 lines of "90.dat" in UTF-8.
std::vector<std::string> ConfigLines() {
  const Bytes raw = ReadDemo("90.dat");
  Result<std::string> utf8 = Cp932ToUtf8(std::string(raw.begin(), raw.end()));
  EXPECT_TRUE(utf8.ok()) << utf8.error();
  std::vector<std::string> lines;
  std::istringstream in(utf8.ok() ? *utf8 : std::string());
  for (std::string line; std::getline(in, line);) lines.push_back(line.substr(0, line.size() - 1));
  return lines;
}

// A picture of the folder: a scrambled one ("JF") gets its signature back
// first, as the game does.
Surface Demo(const std::string& name) {
  Bytes b = ReadDemo(name);
  if (b.size() >= 2 && b[0] == 'J' && b[1] == 'F') {
    const bool bitmap = name[0] != 'p';
    b[0] = bitmap ? 'B' : 0xFF;
    b[1] = bitmap ? 'M' : 0xD8;
  }
  Result<Surface> s = DecodePicture(b);
  EXPECT_TRUE(s.ok()) << name << ": " << (s.ok() ? "" : s.error());
  return s.ok() ? *s : Surface{};
}

// The sprites and the face sheet are scrambled; the places too, 640 x 480
// but the tall opening picture; the logos are plain. A sprite is keyed on pure black at its
// corner, stands on its bottom edge and has near-black outlines.
TEST(DemoData, PicturesAreScrambledAndHaveTheirSizes) {
  const struct {
    const char* name;
    int w, h;
  } pictures[] = {{"11.dat", 280, 420}, {"13.dat", 280, 420}, {"15.dat", 200, 300},
                  {"17.dat", 200, 300}, {"32.dat", 280, 440}, {"36.dat", 260, 400},
                  {"72.dat", 240, 380}, {"60.dat", 620, 840}};
  for (const auto& p : pictures) {
    EXPECT_EQ(ReadDemo(p.name)[0], 'J') << p.name;
    const Surface s = Demo(p.name);
    EXPECT_EQ(std::vector<int>({s.Width(), s.Height()}), std::vector<int>({p.w, p.h})) << p.name;
    if (p.name[0] == '6') continue;
    EXPECT_EQ(s.Point(0, 0), kBlack) << p.name;
    EXPECT_NE(s.Point(s.Width() / 2, s.Height() - 1), kBlack) << p.name;
    EXPECT_NE(std::find(s.Pixels().begin(), s.Pixels().end(), MakeRgb(0, 0, 1)), s.Pixels().end());
  }
  for (const char* name : {"P98.dat", "P99.dat"}) EXPECT_FALSE(Demo(name).Empty()) << name;
  for (int n = 1; n <= 14; ++n) {
    const std::string name = "p" + std::to_string(n) + ".dat";
    EXPECT_EQ(ReadDemo(name)[0], 'J') << name;
    const Surface place = Demo(name);
    EXPECT_EQ(std::vector<int>({place.Width(), place.Height()}),
              std::vector<int>({640, n == 11 ? 960 : 480}));
  }
}

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
  const Surface sheet = Demo("60.dat");
  for (const auto& c : columns) {
    const Surface sprite = Demo(c.sprite);
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

TEST(DemoData, ConfigurationIs25CrLfLinesNamingFilesThatExist) {
  const Bytes raw = ReadDemo("90.dat");
  std::string text(raw.begin(), raw.end());
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 25);
  EXPECT_TRUE(text.ends_with("\r\n"));
  EXPECT_NE(text.find('\x5C'), std::string::npos) << "a name with a 0x5C trail byte";
  for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;) text.erase(at, 2);
  EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << "a line end other than CR LF";
  const std::vector<std::string> lines = ConfigLines();
  ASSERT_EQ(lines.size(), 25u);
  EXPECT_EQ(lines[8], "") << "music 3 is left out";
  for (int i = 6; i < 24; ++i) {
    EXPECT_TRUE(lines[i].empty() || FileExists(DemoDataDir() + lines[i])) << lines[i];
  }
}

TEST(DemoData, ScenarioFilesAreTheSourcesComplementedInCp932) {
  for (const auto& [dat, csv] :
       {std::pair{"91.dat", "scenario.csv"}, std::pair{"92.dat", "choices.csv"}}) {
    std::string plain;
    for (std::uint8_t b : ReadDemo(dat)) plain.push_back(static_cast<char>(255 - b));
    Result<std::string> utf8 = Cp932ToUtf8(plain);
    ASSERT_TRUE(utf8.ok()) << dat << ": " << utf8.error();
    std::ifstream in(std::string(KOVAN_SOURCE_DIR) + "/demo/" + csv, std::ios::binary);
    std::string expected;
    for (std::string line; std::getline(in, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      expected += line + "\r\n";
    }
    if (expected.starts_with("\xEF\xBB\xBF")) expected.erase(0, 3);
    EXPECT_EQ(*utf8, expected) << dat;
  }
}

// Each music file: a format 0 header, one track chunk whose length is
// exact, events (system exclusive ones too) up to an end-of-track that
// closes it, a tempo, and as many notes stopped as started.
TEST(DemoData, MusicFilesAreWellFormedMidi) {
  const std::vector<std::string> lines = ConfigLines();
  ASSERT_EQ(lines.size(), 25u);
  for (int i = 6; i < 15; ++i) {
    if (lines[i].empty()) continue;
    const Bytes b = ReadDemo(lines[i]);
    const auto be = [&](std::size_t at, int n) {
      std::uint32_t v = 0;
      for (int k = 0; k < n; ++k) v = (v << 8) | b.at(at + k);
      return v;
    };
    ASSERT_GE(b.size(), 22u) << lines[i];
    EXPECT_EQ(std::string(b.begin(), b.begin() + 4) + std::string(b.begin() + 14, b.begin() + 18),
              "MThdMTrk");
    EXPECT_EQ(std::vector<std::uint32_t>({be(4, 4), be(8, 2), be(10, 2), be(12, 2), be(18, 4)}),
              std::vector<std::uint32_t>({6, 0, 1, 480, static_cast<std::uint32_t>(b.size() - 22)}));
    std::size_t at = 22;
    int on = 0, off = 0;
    bool tempo = false, ended = false;
    while (at < b.size() && !ended) {
      while (b.at(at++) & 0x80) {}  // the delta time
      const std::uint8_t status = b.at(at++);
      ASSERT_TRUE(status & 0x80) << lines[i] << ": data byte where an event starts";
      if (status == 0xFF) {
        const std::uint8_t type = b.at(at++), len = b.at(at++);
        tempo |= type == 0x51 && len == 3;
        ended = type == 0x2F && len == 0;
        at += len;
      } else if (status == 0xF0) {  // system exclusive: a length, the body ending in F7
        at += b.at(at) + 1;
        EXPECT_EQ(b.at(at - 1), 0xF7) << lines[i];
      } else {
        on += (status & 0xF0) == 0x90;
        off += (status & 0xF0) == 0x80;
        at += (status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0 ? 1 : 2;
      }
    }
    EXPECT_TRUE(ended && tempo && at == b.size()) << lines[i];
    EXPECT_GT(on, 32) << lines[i];
    EXPECT_EQ(on, off) << lines[i];
  }
}

// Runs the generator; returns its exit status and what it printed.
int RunGenerator(const std::string& src, const std::string& out, std::string& printed) {
  const int status = Shell(std::string(KOVAN_BINARY_DIR) + "/make_demo_data '" + src + "' '" +
                           out + "data' > '" + out + "log.txt' 2>&1");
  printed = ReadAll(out + "log.txt");
  return status;
}

// Another run of the generator gives the very bytes the build made. (Under
// the sanitizers the build's own run already checks the generator; a second
// one would only repeat it, slowly.)
TEST(DemoGenerator, SameSourcesGiveTheSameBytes) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "checked by the build's own run";
#endif
  TempDir a;
  std::string printed;
  ASSERT_EQ(RunGenerator(std::string(KOVAN_SOURCE_DIR) + "/demo", a.path(), printed), 0) << printed;
  int files = 0;
  for (const auto& e : std::filesystem::directory_iterator(a.path() + "data")) {
    const std::string name = e.path().filename().string();
    EXPECT_TRUE(ReadAll(e.path().string()) == ReadAll(DemoDataDir() + name)) << name;
    ++files;
  }
  EXPECT_GE(files, 30);
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
