// Data folders made by someone else: links planted where the game might
// write, files missing or broken, records that cancel out, pictures that
// lie about their size. Whatever the folder holds, the game writes nothing
// into it but its log (never through a link), touches nothing outside it,
// and either plays or says which file is wrong.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>

#include "hostile_pictures.h"
#include "platform/headless/headless_platform.h"
#include "platform/text_codec.h"
#include "story/runner.h"
#include "test_game.h"

namespace kovan {
namespace {

namespace fs = std::filesystem;
using testing::PictureBytes;

void Put(const std::string& path, const PictureBytes& bytes) {
  fs::remove(path);
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
}

void PutScenario(const std::string& dir, const std::string& utf8) {
  const auto cp932 = Utf8ToCp932(utf8);
  PictureBytes stored(cp932->begin(), cp932->end());
  for (auto& b : stored) b = static_cast<std::uint8_t>(255 - b);
  Put(dir + "91.dat", stored);
}

// Every entry of a folder: a file by its size and first megabyte, a link by
// its target.
std::map<std::string, std::string> Snapshot(const std::string& dir) {
  std::map<std::string, std::string> out;
  for (const auto& e : fs::directory_iterator(dir)) {
    const std::string name = e.path().filename().string();
    if (e.is_symlink()) {
      out[name] = "link to " + fs::read_symlink(e.path()).string();
    } else if (e.is_directory()) {
      out[name] = "folder";
    } else {
      std::ifstream in(e.path(), std::ios::binary);
      std::string start(std::min<std::uintmax_t>(e.file_size(), 1 << 20), '\0');
      in.read(start.data(), static_cast<std::streamsize>(start.size()));
      out[name] = std::to_string(e.file_size()) + " bytes: " + start;
    }
  }
  return out;
}

struct Hostile {
  const char* name;
  std::function<void(const std::string& data, const std::string& outside)> spoil;
  const char* reason;   // of the trace's exit event
  const char* message;  // part of the message box; "" = the game plays
};

void PrintTo(const Hostile& h, std::ostream* out) { *out << h.name; }

class HostileFolder : public ::testing::TestWithParam<Hostile> {};

TEST_P(HostileFolder, IsReadNeverWrittenAndAnyFaultIsNamed) {
  const Hostile& h = GetParam();
  testing::TempDir data, outside;
  testing::WriteGameFolder(data.path(), {.scenario = "1000,,,,,,,,\"はじめ\",,,,\r\n1000,e,,,,,,,,,,,\r\n"});
  std::ofstream(outside.path() + "bashrc") << "the user's own file\n";
  Put(outside.path() + "photo.jpg", EncodeJpeg(Surface(4, 4, MakeRgb(9, 9, 9)), 90));
  h.spoil(data.path(), outside.path());
  auto before = Snapshot(data.path());
  const auto outsideBefore = Snapshot(outside.path());

  auto platform = CreateHeadlessPlatform({});
  std::ostringstream trace;
  (*platform)->trace().SetStream(&trace);
  const int exitCode = RunGame(**platform, GameOptions{data.path(), data.path()});
  EXPECT_EQ(exitCode, h.message[0] == '\0' ? 0 : 1);
  const auto boxes = testing::TraceEvents(trace.str(), "msgbox");
  EXPECT_EQ(boxes.size(), h.message[0] == '\0' ? 0u : 1u) << trace.str();
  if (!boxes.empty()) {
    EXPECT_NE(boxes[0].find(h.message), std::string::npos) << boxes[0];
  }
  EXPECT_NE(trace.str().find("\"reason\":\"" + std::string(h.reason) + "\""), std::string::npos);

  // The log is the one file the game writes, and never through a link.
  auto after = Snapshot(data.path());
  if (after.erase("kovan.log") != 0) {
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(data.path() + "kovan.log")));
  }
  before.erase("kovan.log");
  for (const auto& [name, entry] : before) EXPECT_EQ(after[name], entry) << name << " changed";
  EXPECT_EQ(after.size(), before.size()) << "a file appeared";
  EXPECT_TRUE(Snapshot(outside.path()) == outsideBefore) << "a file outside the folder changed";
}

INSTANTIATE_TEST_SUITE_P(
    Folders, HostileFolder,
    ::testing::Values(
        Hostile{"PlainScenarioNamesAreLinks",
                [](auto d, auto o) {
                  fs::create_symlink(o + "bashrc", d + "91.cod");
                  fs::create_symlink(o + "bashrc", d + "92.cod");
                },
                "close", ""},
        Hostile{"LogIsALink", [](auto d, auto o) { fs::create_symlink(o + "bashrc", d + "kovan.log"); },
                "close", ""},
        Hostile{"OpeningPictureIsALinkToAJpegElsewhere",
                [](auto d, auto o) {
                  fs::remove(d + "p11.dat");
                  fs::create_symlink(o + "photo.jpg", d + "p11.dat");
                },
                "close", ""},
        Hostile{"EmptyPicture", [](auto d, auto) { Put(d + "13.dat", {}); }, "close", ""},
        Hostile{"MissingMusic", [](auto d, auto) { fs::remove(d + "bgm02.mid"); }, "data",
                "filebgm02.mid"},
        Hostile{"EmptyScenario", [](auto d, auto) { PutScenario(d, ""); }, "data",
                "91.dat: the scenario is empty"},
        Hostile{"RecordsThatCancelOut",
                [](auto d, auto) {
                  PutScenario(d, "1000,,,,,,,,a,,,\r\n1000,,,,,,,,b,,,,,\r\n1000,e,,,,,,,,,,,\r\n");
                },
                "data", "91.dat record 1 (line 1): cut short, 12 of 13 fields"},
        Hostile{"FieldMissingOnALineOfItsOwn",
                [](auto d, auto) {
                  PutScenario(d, "1000,,,,,,,,a,,,,\r\n1000,,,,,,,,b,,,\r\n1000,e,,,,,,,,,,,\r\n");
                },
                "data", "91.dat record 2 (line 2): cut short"},
        Hostile{"HundredMegabyteScenario",
                [](auto d, auto) { fs::resize_file(d + "91.dat", std::uintmax_t{100} << 20); },
                "data", "91.dat: longer than the 16777216 bytes"},
        Hostile{"JpegWhereTheFaceSheetBelongs",
                [](auto d, auto) { Put(d + "60.dat", testing::Scrambled(EncodeJpeg(Surface(4, 4), 90))); },
                "data", "60.dat: a JPEG picture where a BMP picture belongs"},
        Hostile{"HugeOneBitFaceSheet",
                [](auto d, auto) {
                  Put(d + "60.dat", testing::Scrambled(testing::BmpHeaderClaiming(1, 16384, 16384)));
                },
                "data", "60.dat: a BMP picture of 16384 x 16384 pixels, beyond"},
        Hostile{"OpeningPictureWithADecoyFrame",
                [](auto d, auto) { Put(d + "p11.dat", testing::Scrambled(testing::JpegWithDecoyFrame())); },
                "data", "p11.dat: a JPEG picture of 64370 x 42761 pixels, beyond"}),
    [](const ::testing::TestParamInfo<Hostile>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kovan
