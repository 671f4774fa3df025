// The demo data folder the build generates: every file the game opens, in
// the form the game reads it.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "platform/files.h"
#include "platform/pictures.h"
#include "platform/text_codec.h"
#include "test_support.h"

namespace kovan {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes ReadDemo(const std::string& name) {
  Result<Bytes> bytes = ReadFileBytes(testing::DemoDataDir() + name);
  EXPECT_TRUE(bytes.ok()) << name << ": " << bytes.error();
  return bytes.ok() ? *bytes : Bytes{};
}

std::string AsText(const Bytes& b) { return std::string(b.begin(), b.end()); }

// The 25 lines of "90.dat" in UTF-8.
std::vector<std::string> ConfigLines() {
  Result<std::string> utf8 = Cp932ToUtf8(AsText(ReadDemo("90.dat")));
  EXPECT_TRUE(utf8.ok()) << utf8.error();
  std::vector<std::string> lines;
  std::istringstream in(utf8.ok() ? *utf8 : std::string());
  for (std::string line; std::getline(in, line);) lines.push_back(line.substr(0, line.size() - 1));
  return lines;
}

// A picture of the folder decoded the way the game does once it has put
// the format's signature back.
Surface LoadScrambled(const std::string& name, bool bitmap) {
  Bytes b = ReadDemo(name);
  EXPECT_GE(b.size(), 2u) << name;
  if (b.size() < 2) return {};
  EXPECT_EQ(b[0], 'J') << name;
  EXPECT_EQ(b[1], 'F') << name;
  b[0] = bitmap ? 'B' : 0xFF;
  b[1] = bitmap ? 'M' : 0xD8;
  Result<Surface> s = DecodePicture(b);
  EXPECT_TRUE(s.ok()) << name << ": " << (s.ok() ? "" : s.error());
  return s.ok() ? *s : Surface{};
}

struct Sprite {
  int code;
  int width;
  int height;
};
constexpr Sprite kSprites[] = {{11, 280, 420}, {13, 280, 420}, {15, 200, 300}, {17, 200, 300},
                               {32, 280, 440}, {36, 260, 400}, {72, 240, 380}};

// A face column of "60.dat" and the sprite rectangle its faces cover.
struct FaceColumn {
  int sheetX, w, h, count, sprite, x1, y1;
};
constexpr FaceColumn kColumns[] = {{0, 135, 120, 7, 11, 130, 90},
                                   {135, 135, 120, 7, 13, 130, 90},
                                   {270, 140, 120, 7, 32, 120, 100},
                                   {410, 105, 85, 9, 15, 65, 75},
                                   {515, 105, 85, 9, 17, 65, 75}};

TEST(DemoData, ScrambledPicturesStartWithJfAndDecodeOnceRestored) {
  for (const Sprite& sp : kSprites) {
    const Surface s = LoadScrambled(std::to_string(sp.code) + ".dat", true);
    EXPECT_EQ(s.Width(), sp.width) << sp.code;
    EXPECT_EQ(s.Height(), sp.height) << sp.code;
  }
  const Surface sheet = LoadScrambled("60.dat", true);
  EXPECT_EQ(sheet.Width(), 620);
  EXPECT_EQ(sheet.Height(), 840);
  for (int n = 1; n <= 14; ++n) {
    const Surface place = LoadScrambled("p" + std::to_string(n) + ".dat", false);
    EXPECT_EQ(place.Width(), 640) << n;
    if (n == 11) {
      EXPECT_GT(place.Height(), 480);
    } else {
      EXPECT_EQ(place.Height(), 480) << n;
    }
  }
}

TEST(DemoData, PlainPicturesDecodeAsTheyAre) {
  for (const char* name : {"61.dat", "P98.dat", "P99.dat"}) {
    Result<Surface> s = DecodePicture(ReadDemo(name));
    EXPECT_TRUE(s.ok()) << name << ": " << (s.ok() ? "" : s.error());
  }
  Result<Surface> skin = DecodePicture(ReadDemo("61.dat"));
  ASSERT_TRUE(skin.ok());
  EXPECT_GE(skin->Width(), 352);
  EXPECT_GE(skin->Height(), 340);
  const Rgb fill = skin->Point(24, 24);
  EXPECT_GT(BlueOf(fill), RedOf(fill) + 20) << "the window fill is a dark blue";
  EXPECT_LT(RedOf(fill) + GreenOf(fill) + BlueOf(fill), 200);
  EXPECT_EQ(skin->Point(48, 26), kBlack) << "the date tab's corner is keyed out";
  EXPECT_NE(skin->Point(108, 40), kBlack) << "the date tab itself is opaque";
  for (int i = 0; i < 4; ++i) {
    const int y = 148 + 50 * i + 19;
    EXPECT_NE(skin->Point(4 + 5, y), kBlack) << "button " << i;
    EXPECT_NE(skin->Point(4 + 5, y), skin->Point(179 + 5, y)) << "button " << i << " lit";
  }
}

TEST(DemoData, SpritesKeyOnBlackAndKeepANearBlackOutline) {
  for (const Sprite& sp : kSprites) {
    const Surface s = LoadScrambled(std::to_string(sp.code) + ".dat", true);
    int black = 0, ink = 0;
    for (Rgb p : s.Pixels()) {
      black += p == kBlack;
      ink += p == MakeRgb(0, 0, 1);
    }
    EXPECT_GT(black, 0) << sp.code;
    EXPECT_GT(ink, 0) << sp.code;
    EXPECT_EQ(s.Point(0, 0), kBlack) << sp.code;
    EXPECT_NE(s.Point(s.Width() / 2, s.Height() - 1), kBlack)
        << sp.code << " stands on the bottom edge";
  }
}

// Faces are pasted over the sprite through the sheet's black-keyed mask: the
// first face must be the sprite's own, and every face must cover exactly
// what the sprite covers there, or pasting would leave holes or halos.
TEST(DemoData, FacesMatchTheirSpriteRectangle) {
  const Surface sheet = LoadScrambled("60.dat", true);
  for (const FaceColumn& c : kColumns) {
    const Surface sprite = LoadScrambled(std::to_string(c.sprite) + ".dat", true);
    EXPECT_NE(sprite.Point(c.x1 + c.w / 2, c.y1 + c.h / 2), kBlack)
        << "face middle of " << c.sprite;
    for (int n = 0; n < c.count; ++n) {
      int differs = 0, silhouetteMismatch = 0;
      for (int y = 0; y < c.h; ++y) {
        for (int x = 0; x < c.w; ++x) {
          const Rgb f = sheet.Point(c.sheetX + x, n * c.h + y);
          const Rgb s = sprite.Point(c.x1 + x, c.y1 + y);
          differs += f != s;
          silhouetteMismatch += (f == kBlack) != (s == kBlack);
        }
      }
      EXPECT_EQ(silhouetteMismatch, 0) << "column " << c.sheetX << " face " << n + 1;
      if (n == 0) {
        EXPECT_EQ(differs, 0) << "column " << c.sheetX;
      } else {
        EXPECT_GT(differs, 20) << "column " << c.sheetX << " face " << n + 1
                               << " looks like face 1";
      }
    }
  }
}

TEST(DemoData, ConfigurationIs25CrLfLinesNamingFilesThatExist) {
  const std::string raw = AsText(ReadDemo("90.dat"));
  std::size_t crlf = 0;
  for (std::size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] == '\n') {
      ASSERT_GT(i, 0u);
      EXPECT_EQ(raw[i - 1], '\r') << "bare LF at byte " << i;
      ++crlf;
    }
  }
  EXPECT_EQ(crlf, 25u);
  EXPECT_TRUE(raw.ends_with("\r\n"));
  EXPECT_NE(raw.find('\x5C'), std::string::npos) << "a name with a 0x5C trail byte";
  const std::vector<std::string> lines = ConfigLines();
  ASSERT_EQ(lines.size(), 25u);
  EXPECT_EQ(lines[8], "") << "music 3 is left out";
  int music = 0;
  for (int i = 6; i < 24; ++i) {
    if (lines[i].empty()) continue;
    music += i < 15;
    EXPECT_TRUE(FileExists(testing::DemoDataDir() + lines[i]))
        << "line " << i + 1 << ": " << lines[i];
  }
  EXPECT_GE(music, 5);
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

// Walks one MIDI file: header, one track chunk whose length is exact, and
// events (system exclusive ones too) up to an end-of-track that closes the
// chunk, with a tempo and as many notes stopped as started.
void CheckMidi(const Bytes& b, const std::string& name) {
  const auto be = [&](std::size_t at, int n) {
    std::uint32_t v = 0;
    for (int i = 0; i < n; ++i) v = (v << 8) | b.at(at + i);
    return v;
  };
  ASSERT_GE(b.size(), 22u) << name;
  ASSERT_EQ(AsText(Bytes(b.begin(), b.begin() + 4)), "MThd") << name;
  EXPECT_EQ(be(4, 4), 6u);
  EXPECT_EQ(be(8, 2), 0u) << "format 0";
  EXPECT_EQ(be(10, 2), 1u);
  EXPECT_EQ(be(12, 2), 480u);
  ASSERT_EQ(AsText(Bytes(b.begin() + 14, b.begin() + 18)), "MTrk") << name;
  ASSERT_EQ(be(18, 4), b.size() - 22) << name << ": track length";
  std::size_t at = 22;
  int on = 0, off = 0;
  bool tempo = false, ended = false;
  while (at < b.size() && !ended) {
    for (int n = 0; b.at(at++) & 0x80; ++n) ASSERT_LT(n, 3) << name << ": delta too long";
    const std::uint8_t status = b.at(at++);
    ASSERT_TRUE(status & 0x80) << name << ": data byte where an event starts at " << at - 1;
    if (status == 0xFF) {
      const std::uint8_t type = b.at(at++);
      const std::uint8_t len = b.at(at++);
      tempo |= type == 0x51 && len == 3;
      ended = type == 0x2F && len == 0;
      at += len;
    } else if (status == 0xF0) {
      const std::uint8_t len = b.at(at++);
      at += len;
      EXPECT_EQ(b.at(at - 1), 0xF7) << name << ": system exclusive ends in F7";
    } else {
      const int kind = status & 0xF0;
      on += kind == 0x90;
      off += kind == 0x80;
      at += kind == 0xC0 || kind == 0xD0 ? 1 : 2;
    }
  }
  EXPECT_TRUE(ended) << name;
  EXPECT_EQ(at, b.size()) << name << ": end-of-track closes the chunk";
  EXPECT_TRUE(tempo) << name;
  EXPECT_GT(on, 32) << name;
  EXPECT_EQ(on, off) << name;
}

TEST(DemoData, MusicFilesAreWellFormedMidi) {
  const std::vector<std::string> lines = ConfigLines();
  ASSERT_EQ(lines.size(), 25u);
  for (int i = 6; i < 15; ++i) {
    if (!lines[i].empty()) CheckMidi(ReadDemo(lines[i]), lines[i]);
  }
}

// Runs the generator; returns its exit status and what it printed.
int RunGenerator(const std::string& src, const std::string& out, std::string& printed) {
  const std::string log = out + "log.txt";
  const std::string cmd = std::string(KOVAN_BINARY_DIR) + "/make_demo_data '" + src + "' '" + out +
                          "data' > '" + log + "' 2>&1";
  const int status = std::system(cmd.c_str());
  std::ifstream in(log);
  printed.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return status;
}

TEST(DemoGenerator, SameSourcesGiveTheSameBytes) {
  testing::TempDir a, b;
  std::string printed;
  const std::string src = std::string(KOVAN_SOURCE_DIR) + "/demo";
  ASSERT_EQ(RunGenerator(src, a.path(), printed), 0) << printed;
  ASSERT_EQ(RunGenerator(src, b.path(), printed), 0) << printed;
  int files = 0;
  for (const auto& e : std::filesystem::directory_iterator(a.path() + "data")) {
    const std::string name = e.path().filename().string();
    Result<Bytes> x = ReadFileBytes(e.path().string());
    Result<Bytes> y = ReadFileBytes(b.path() + "data/" + name);
    ASSERT_TRUE(x.ok() && y.ok()) << name;
    EXPECT_TRUE(*x == *y) << name << " differs between runs";
    ++files;
  }
  EXPECT_GE(files, 30);
}

TEST(DemoGenerator, BrokenSourcesStopItWithTheFileAndLine) {
  const auto write = [](const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
  };
  std::string config;
  for (int i = 0; i < 25; ++i) config += (i == 0 ? "朝霧" : "") + std::string("\n");
  struct Case {
    std::string config, scenario, expected;
  } cases[] = {
      {config.substr(0, config.size() - 1), "1000,,\n", "config.txt"},  // 24 lines
      {config, "1000,,\n1000,,,,,,,,\"\xF0\x9F\x98\x80\"\n", "scenario.csv line 2"},
      {config, "", "choices.csv"},  // choices.csv missing
  };
  for (const Case& c : cases) {
    testing::TempDir dir;
    write(dir.path() + "config.txt", c.config);
    write(dir.path() + "scenario.csv", c.scenario);
    if (c.expected != "choices.csv") write(dir.path() + "choices.csv", "1000,\"a\",1000\n");
    std::string printed;
    EXPECT_NE(RunGenerator(dir.path(), dir.path(), printed), 0) << c.expected;
    EXPECT_NE(printed.find(c.expected), std::string::npos) << printed;
  }
}

}  // namespace
}  // namespace kovan
