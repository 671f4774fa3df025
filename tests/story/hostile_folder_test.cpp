// Data folders made by someone else: links planted where the game might
// write, files missing or broken, tables that cancel out, pictures that
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

#include "data_folder.h"
#include "hostile_pictures.h"
#include "platform/headless/headless_platform.h"
#include "platform/text_codec.h"
#include "story/runner.h"
#include "test_support.h"

namespace kovan {
namespace {

namespace fs = std::filesystem;
using testing::PictureBytes;

std::string ReadStart(const std::string& path, std::size_t most) {
  std::ifstream in(path, std::ios::binary);
  std::string bytes(most, '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(most));
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  return bytes;
}

void WriteBytes(const std::string& path, const PictureBytes& bytes) {
  fs::remove(path);
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
}

void WriteScenario(const std::string& dir, const std::string& plainUtf8) {
  const auto cp932 = Utf8ToCp932(plainUtf8);
  PictureBytes stored(cp932->begin(), cp932->end());
  for (auto& b : stored) b = static_cast<std::uint8_t>(255 - b);
  WriteBytes(dir + "91.dat", stored);
}

// Every entry of a folder tree: a file by its bytes (a huge one by its size
// and start), a link by its target.
std::map<std::string, std::string> Snapshot(const std::string& dir) {
  std::map<std::string, std::string> out;
  for (auto it = fs::recursive_directory_iterator(dir); it != fs::recursive_directory_iterator();
       ++it) {
    const std::string name = it->path().lexically_relative(dir).string();
    if (it->is_symlink()) {
      out[name] = "link to " + fs::read_symlink(it->path()).string();
    } else if (it->is_directory()) {
      out[name] = "folder";
    } else {
      const auto size = it->file_size();
      out[name] = std::to_string(size) + " bytes: " +
                  ReadStart(it->path().string(), std::min<std::uintmax_t>(size, 1u << 20));
    }
  }
  return out;
}

struct Hostile {
  const char* name;
  // Spoils the data folder; `outside` is a folder beside it.
  std::function<void(const std::string& data, const std::string& outside)> spoil;
  int exitCode;
  const char* reason;
  const char* message;  // part of the message box; "" = the game plays
};

void PrintTo(const Hostile& h, std::ostream* out) { *out << h.name; }

class HostileFolder : public ::testing::TestWithParam<Hostile> {};

TEST_P(HostileFolder, IsReadNeverWrittenAndAnyFaultIsNamed) {
  const Hostile& h = GetParam();
  testing::TempDir data, outside;
  testing::WriteDataFolder(data.path());
  std::ofstream(outside.path() + "bashrc") << "the user's own file\n";
  WriteBytes(outside.path() + "photo.jpg", EncodeJpeg(Surface(4, 4, MakeRgb(9, 9, 9)), 90));
  h.spoil(data.path(), outside.path());
  auto before = Snapshot(data.path());
  before.erase("kovan.log");
  const auto outsideBefore = Snapshot(outside.path());

  HeadlessOptions options;
  auto platform = CreateHeadlessPlatform(options);
  ASSERT_TRUE(platform.ok());
  std::ostringstream trace;
  (*platform)->trace().SetStream(&trace);
  GameOptions go;
  go.appPath = data.path();
  go.dataPath = data.path();
  EXPECT_EQ(RunGame(**platform, go), h.exitCode);

  const auto boxes = testing::TraceEvents(trace.str(), "msgbox");
  if (h.message[0] == '\0') {
    EXPECT_TRUE(boxes.empty()) << trace.str();
  } else {
    ASSERT_EQ(boxes.size(), 1u) << trace.str();
    EXPECT_NE(boxes[0].find(h.message), std::string::npos) << boxes[0];
  }
  EXPECT_NE(trace.str().find("\"ev\":\"exit\",\"reason\":\"" + std::string(h.reason) + "\""),
            std::string::npos)
      << trace.str();

  auto after = Snapshot(data.path());
  if (after.count("kovan.log") != 0) {
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(data.path() + "kovan.log")));
    after.erase("kovan.log");
  }
  // Named, not dumped: the entries are whole pictures.
  for (const auto& [name, entry] : before) {
    EXPECT_TRUE(after.count(name) != 0 && after[name] == entry) << name << " changed";
  }
  for (const auto& [name, entry] : after) EXPECT_EQ(before.count(name), 1u) << name << " appeared";
  EXPECT_TRUE(Snapshot(outside.path()) == outsideBefore) << "a file outside the folder changed";
}

INSTANTIATE_TEST_SUITE_P(
    Folders, HostileFolder,
    ::testing::Values(
        Hostile{"PlainScenarioNamesAreLinks",
                [](const std::string& d, const std::string& o) {
                  fs::create_symlink(o + "bashrc", d + "91.cod");
                  fs::create_symlink(o + "bashrc", d + "92.cod");
                },
                0, "close", ""},
        Hostile{"LogIsALink",
                [](const std::string& d, const std::string& o) {
                  fs::create_symlink(o + "bashrc", d + "kovan.log");
                },
                0, "close", ""},
        Hostile{"PictureIsALinkToAJpegElsewhere",
                [](const std::string& d, const std::string& o) {
                  fs::remove(d + "p11.dat");  // shown by the opening
                  fs::create_symlink(o + "photo.jpg", d + "p11.dat");
                },
                0, "close", ""},
        Hostile{"EmptyPicture",
                [](const std::string& d, const std::string&) { WriteBytes(d + "13.dat", {}); },
                0, "close", ""},
        Hostile{"ShortConfiguration",
                [](const std::string& d, const std::string&) {
                  auto lines = testing::DefaultConfig();
                  lines.pop_back();
                  testing::WriteDataFolder(d, {lines, "", ""});
                },
                1, "data", "(62)"},
        Hostile{"MissingMusic",
                [](const std::string& d, const std::string&) { fs::remove(d + "bgm02.mid"); },
                1, "data", "filebgm02.mid"},
        Hostile{"FolderWhereAPictureBelongs",
                [](const std::string& d, const std::string&) {
                  fs::remove(d + "p3.dat");
                  fs::create_directory(d + "p3.dat");
                },
                1, "data", "p3\""},
        Hostile{"EmptyScenario", [](const std::string& d, const std::string&) { WriteScenario(d, ""); },
                1, "data", "91.dat: the scenario is empty"},
        Hostile{"RecordsThatCancelOut",
                [](const std::string& d, const std::string&) {
                  WriteScenario(d,
                                "1000,,,,,,,,a,,,\r\n1000,,,,,,,,b,,,,,\r\n1000,e,,,,,,,,,,,\r\n");
                },
                1, "data", "91.dat record 1 (line 1): cut short, 12 of 13 fields"},
        Hostile{"FieldMissingOnALineOfItsOwn",
                [](const std::string& d, const std::string&) {
                  WriteScenario(d,
                                "1000,,,,,,,,a,,,,\r\n1000,,,,,,,,b,,,\r\n1000,e,,,,,,,,,,,\r\n");
                },
                1, "data", "91.dat record 2 (line 2): cut short"},
        Hostile{"HundredMegabyteScenario",
                [](const std::string& d, const std::string&) {
                  fs::resize_file(d + "91.dat", std::uintmax_t{100} << 20);
                },
                1, "data", "91.dat: longer than the 16777216 bytes"},
        Hostile{"JpegWhereTheFaceSheetBelongs",
                [](const std::string& d, const std::string&) {
                  WriteBytes(d + "60.dat", testing::Scrambled(EncodeJpeg(Surface(4, 4), 90)));
                },
                1, "data", "60.dat: a JPEG picture where a BMP picture belongs"},
        Hostile{"HugeOneBitFaceSheet",
                [](const std::string& d, const std::string&) {
                  WriteBytes(d + "60.dat",
                             testing::Scrambled(testing::BmpHeaderClaiming(1, 16384, 16384)));
                },
                1, "data", "60.dat: a BMP picture of 16384 x 16384 pixels, beyond"},
        Hostile{"PlaceWithADecoyFrame",
                [](const std::string& d, const std::string&) {
                  WriteBytes(d + "p11.dat", testing::Scrambled(testing::JpegWithDecoyFrame()));
                },
                1, "data", "p11.dat: a JPEG picture of 64370 x 42761 pixels, beyond"}),
    [](const ::testing::TestParamInfo<Hostile>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kovan
