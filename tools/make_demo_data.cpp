// make_demo_data SRC_DIR OUT_DIR
//
// Builds the demo data folder: "90.dat" from SRC_DIR/config.txt, the
// scrambled scenario files "91.dat" and "92.dat" from SRC_DIR/scenario.csv
// and SRC_DIR/choices.csv, every picture (drawn here, nothing is read),
// the music named in the configuration and its further files. The output
// is the same, byte for byte, on every run.

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "demo/midi.h"
#include "demo/places.h"
#include "demo/skin.h"
#include "demo/sprites.h"
#include "engine/scenario.h"
#include "platform/pictures.h"
#include "platform/result.h"
#include "platform/text_codec.h"

namespace kovan::demo {
namespace {

constexpr int kConfigLines = 25;
constexpr int kFirstMusicLine = 7;   // 1-based; lines 7..15 name music 1..9
constexpr int kFirstExtraLine = 16;  // lines 16..24 name further files
constexpr int kNamedFiles = 9;
constexpr int kJpegQuality = 85;

// Thrown for any failure; main prints it and exits non-zero.
struct Failure : std::runtime_error {
  using std::runtime_error::runtime_error;
};

std::string ReadText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw Failure("cannot read " + path.string());
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The UTF-8 lines of a source file: a byte-order mark is dropped, CR LF and
// LF both end a line, and a last line without an end still counts.
std::vector<std::string> TextLines(std::string text) {
  if (text.starts_with("\xEF\xBB\xBF")) text.erase(0, 3);
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    start = end + 1;
  }
  return lines;
}

// The lines in CP932, each ended by CR LF.
std::string ToCp932Lines(const std::vector<std::string>& lines, const std::string& fileName) {
  std::string out;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    Result<std::string> cp932 = Utf8ToCp932(lines[i]);
    if (!cp932) {
      throw Failure(fileName + " line " + std::to_string(i + 1) + ": " + cp932.error());
    }
    out += *cp932;
    out += "\r\n";
  }
  return out;
}

// The scenario files are stored with every byte complemented.
std::vector<std::uint8_t> EncodeScenario(std::string_view cp932) {
  return Complement(Bytes(cp932.begin(), cp932.end()));
}

// Writes the files into the output folder and remembers their names, which
// the game compares without regard to case.
class Output {
 public:
  explicit Output(std::filesystem::path dir) : dir_(std::move(dir)) {
    std::error_code ec;
    std::filesystem::create_directories(dir_, ec);
    if (ec || !std::filesystem::is_directory(dir_)) {
      throw Failure("cannot create the folder " + dir_.string());
    }
  }
  void Write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    std::string key = name;
    std::transform(key.begin(), key.end(), key.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    if (!written_.insert(key).second) throw Failure(name + " would be written twice");
    const std::filesystem::path path = dir_ / name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) throw Failure("cannot write " + path.string());
  }
  void Write(const std::string& name, std::string_view bytes) {
    Write(name, std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
  }
  bool Has(std::string name) const {
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    return written_.count(name) > 0;
  }

 private:
  std::filesystem::path dir_;
  std::set<std::string> written_;
};

// While the game isn't running its pictures start with "JF" instead of
// their format's signature.
std::vector<std::uint8_t> ScrambleHeader(std::vector<std::uint8_t> picture,
                                         std::string_view signature, const std::string& name) {
  if (picture.size() < 2 || picture[0] != static_cast<std::uint8_t>(signature[0]) ||
      picture[1] != static_cast<std::uint8_t>(signature[1])) {
    throw Failure("the encoder gave no picture for " + name);
  }
  picture[0] = 'J';
  picture[1] = 'F';
  return picture;
}

void WritePictures(Output& out) {
  for (const SpriteLayout& sprite : SpriteLayouts()) {
    const std::string name = std::to_string(sprite.code) + ".dat";
    out.Write(name,
              ScrambleHeader(EncodeBmp24(DrawSprite(sprite, SheetExpression(0))), "BM", name));
  }
  out.Write("60.dat", ScrambleHeader(EncodeBmp24(DrawFaceSheet()), "BM", "60.dat"));
  out.Write("61.dat", EncodeBmp24(DrawSkin()));
  for (int n = 1; n <= 14; ++n) {
    const std::string name = "p" + std::to_string(n) + ".dat";
    out.Write(name, ScrambleHeader(EncodeJpeg(DrawPlace(n), kJpegQuality), "\xFF\xD8", name));
  }
  out.Write("P99.dat", EncodeJpeg(DrawLogo(300, 120, MakeRgb(60, 110, 190), 6), kJpegQuality));
  out.Write("P98.dat", EncodeJpeg(DrawLogo(240, 100, MakeRgb(210, 90, 110), 5), kJpegQuality));
}

// A name from the configuration must be a plain file name in the folder.
void CheckFileName(const std::string& name, int line) {
  if (name == "." || name == ".." || name.find_first_of("/\\") != std::string::npos) {
    throw Failure("config.txt line " + std::to_string(line) + ": \"" + name +
                  "\" is not a plain file name");
  }
}

// Any further file the configuration names: a short note in the game's
// code page.
std::string ExtraFileText(const std::string& name) {
  const std::vector<std::string> lines = {
      "KOVAN 体験版 デモデータ",
      "",
      "このフォルダの絵と音楽は、すべてプログラムが描いたものです。",
      "シナリオは demo フォルダの scenario.csv と choices.csv から作られます。",
      "",
      "(" + name + ")",
  };
  return ToCp932Lines(lines, name);
}

void WriteNamedFiles(Output& out, const std::vector<std::string>& config) {
  std::size_t song = 0;
  std::set<std::string> music;
  for (int j = 0; j < kNamedFiles; ++j) {
    const int line = kFirstMusicLine + j;
    const std::string& name = config[line - 1];
    if (name.empty() || !music.insert(name).second) continue;  // a tune may serve twice
    CheckFileName(name, line);
    if (out.Has(name)) {
      throw Failure("config.txt line " + std::to_string(line) + ": " + name +
                    " is already a data file");
    }
    out.Write(name, SongToSmf(Songs()[song++ % Songs().size()]));
  }
  for (int j = 0; j < kNamedFiles; ++j) {
    const int line = kFirstExtraLine + j;
    const std::string& name = config[line - 1];
    if (name.empty()) continue;
    CheckFileName(name, line);
    if (out.Has(name)) {
      throw Failure("config.txt line " + std::to_string(line) + ": " + name +
                    " is already a data file");
    }
    out.Write(name, ExtraFileText(name));
  }
}

void Run(const std::filesystem::path& src, const std::filesystem::path& dst) {
  const std::vector<std::string> config = TextLines(ReadText(src / "config.txt"));
  if (static_cast<int>(config.size()) != kConfigLines) {
    throw Failure("config.txt has " + std::to_string(config.size()) +
                  " lines; the game reads exactly " + std::to_string(kConfigLines));
  }
  // The text files are converted first, so a broken source stops the run
  // before any file is written.
  const std::string settings = ToCp932Lines(config, "config.txt");
  const std::vector<std::uint8_t> scenario =
      EncodeScenario(ToCp932Lines(TextLines(ReadText(src / "scenario.csv")), "scenario.csv"));
  const std::vector<std::uint8_t> choices =
      EncodeScenario(ToCp932Lines(TextLines(ReadText(src / "choices.csv")), "choices.csv"));
  Output out(dst);
  out.Write("90.dat", settings);
  out.Write("91.dat", scenario);
  out.Write("92.dat", choices);
  WritePictures(out);
  WriteNamedFiles(out, config);
}

}  // namespace
}  // namespace kovan::demo

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: make_demo_data SRC_DIR OUT_DIR\n";
    return 2;
  }
  try {
    kovan::demo::Run(argv[1], argv[2]);
  } catch (const std::exception& e) {
    std::cerr << "make_demo_data: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
