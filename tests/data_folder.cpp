#include "data_folder.h"

#include <gtest/gtest.h>

#include <fstream>

#include "engine/scenario.h"
#include "platform/pictures.h"
#include "platform/text_codec.h"

namespace kovan::testing {
namespace {

void Write(const std::string& path, std::vector<std::uint8_t> bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
  ASSERT_TRUE(out.good()) << path;
}

std::vector<std::uint8_t> Cp932(const std::string& utf8) {
  auto s = Utf8ToCp932(utf8);
  EXPECT_TRUE(s.ok()) << utf8;
  return std::vector<std::uint8_t>(s->begin(), s->end());
}

std::vector<std::uint8_t> Scrambled(std::vector<std::uint8_t> picture) {
  picture[0] = 'J';
  picture[1] = 'F';
  return picture;
}

}  // namespace

std::vector<std::string> DefaultConfig() {
  std::vector<std::string> lines = {"朝霧", "湊", "白峰", "ソフィア", "能登", "opt"};
  lines.push_back("bgm01.mid");
  lines.push_back("bgm02.mid");
  lines.push_back("");  // music 3: none
  for (int i = 4; i <= 9; ++i) lines.push_back("");
  for (int i = 1; i <= 9; ++i) lines.push_back("");
  lines.push_back("end");
  return lines;
}

void WriteDataFolder(const std::string& dir, const DataFolderSpec& spec) {
  std::string config;
  for (const auto& l : spec.configLines.empty() ? DefaultConfig() : spec.configLines) {
    config += l + "\r\n";
  }
  Write(dir + "90.dat", Cp932(config));
  const std::string scenario =
      spec.scenario.empty() ? "1000,,,,,,,,\"はじめ\",,,,\r\n1000,e,,,,,,,,,,,\r\n" : spec.scenario;
  Write(dir + "91.dat", Complement(Cp932(scenario)));
  Write(dir + "92.dat", Complement(Cp932(spec.choices)));

  Surface picture(4, 4, MakeRgb(10, 20, 30));
  const auto bmp = Scrambled(EncodeBmp24(picture));
  const auto jpeg = Scrambled(EncodeJpeg(picture, 90));
  for (const char* n : {"11", "13", "15", "17", "32", "36", "60", "72"}) {
    Write(dir + n + ".dat", bmp);
  }
  for (int i = 1; i <= 14; ++i) Write(dir + "p" + std::to_string(i) + ".dat", jpeg);
  // The skin texture: a plain picture with the window's fill colour where
  // the frame tile keeps it.
  Surface skin(352, 340, MakeRgb(40, 40, 60));
  skin.SetPoint(24, 24, MakeRgb(16, 24, 64));
  Write(dir + "61.dat", EncodeBmp24(skin));
  // The logos of the opening: plain pictures.
  Write(dir + "P99.dat", EncodeJpeg(picture, 90));
  Write(dir + "P98.dat", EncodeJpeg(picture, 90));
  // One quarter note at 120 bpm: half a second of music.
  const std::vector<std::uint8_t> tune = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 1, 0xE0,
                                          'M', 'T', 'r', 'k', 0, 0, 0, 12, 0, 0x90, 60, 90,
                                          0x83, 0x60, 0x80, 60, 0, 0, 0xFF, 0x2F, 0};
  Write(dir + "bgm01.mid", tune);
  Write(dir + "bgm02.mid", tune);
}

std::string HeaderOf(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  char b[2] = {0, 0};
  if (!in.read(b, 2)) return "";
  return std::string(b, 2);
}

}  // namespace kovan::testing
