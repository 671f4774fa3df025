#include "engine/data_files.h"

#include <utility>

#include "platform/files.h"
#include "platform/pictures.h"
#include "platform/text_codec.h"

namespace kovan {
namespace {

constexpr int kConfigLines = 25;
constexpr std::uint8_t kScrambled[2] = {'J', 'F'};
constexpr std::uint8_t kBitmapSignature[2] = {'B', 'M'};
constexpr std::uint8_t kJpegSignature[2] = {0xFF, 0xD8};

std::string PlaceName(int n) { return "p" + std::to_string(n); }

// The kind a managed picture (name with or without ".dat") holds, if it is
// one.
std::optional<PictureKind> ManagedKind(std::string_view name) {
  std::string lower(name);
  for (auto& c : lower) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  if (lower.size() > 4 && lower.compare(lower.size() - 4, 4, ".dat") == 0) {
    lower.resize(lower.size() - 4);
  }
  for (const auto& n : BitmapPictureNumbers()) {
    if (lower == n) return PictureKind::kBmp;
  }
  for (int i = 1; i <= kPlaceCount; ++i) {
    if (lower == PlaceName(i)) return PictureKind::kJpeg;
  }
  return std::nullopt;
}

const std::uint8_t* SignatureOf(PictureKind kind) {
  return kind == PictureKind::kBmp ? kBitmapSignature : kJpegSignature;
}

// Puts a two-byte header on a regular file, through a temporary file
// renamed into place.
Status RewriteHeader(const std::string& path, const std::uint8_t* signature) {
  if (!PlainFileExists(path)) return Status::Error(path + ": not a regular file; left alone");
  auto bytes = ReadFileBytes(path);
  if (!bytes) return Status::Error(bytes.error());
  if (bytes->size() < 2) return Status::Error(path + ": too short for a header; left alone");
  if ((*bytes)[0] == signature[0] && (*bytes)[1] == signature[1]) return {};
  (*bytes)[0] = signature[0];
  (*bytes)[1] = signature[1];
  return WriteFileBytes(path, bytes.value());
}

}  // namespace

std::string MissingFileMessage(const std::string& name) {
  return "実行に必要なﾌｧｲﾙがありません. file" + name;
}

std::string BrokenFileMessage(int errorNumber, const std::string& detail) {
  std::string text = "実行に必要なﾌｧｲﾙが異常です.(" + std::to_string(errorNumber) + ")";
  if (!detail.empty()) text += "\n" + detail;
  return text;
}

const std::vector<std::string>& BitmapPictureNumbers() {
  static const std::vector<std::string> kNumbers = {"11", "13", "15", "17", "32", "36", "60", "72"};
  return kNumbers;
}

Status HeaderRestore(const std::string& pathWithoutExt, char kind) {
  const bool bitmap = kind == 'B' || kind == 'b';
  if (!bitmap && kind != 'J' && kind != 'j') return Status::Error("unknown picture kind");
  return RewriteHeader(pathWithoutExt + ".dat", bitmap ? kBitmapSignature : kJpegSignature);
}

Status HeaderScramble(const std::string& pathWithoutExt) {
  return RewriteHeader(pathWithoutExt + ".dat", kScrambled);
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.emplace_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

Status ParseConfig(const std::vector<std::uint8_t>& cp932, EngineState& s) {
  auto text = Cp932ToUtf8(std::string(cp932.begin(), cp932.end()));
  if (!text) return Status::Error(BrokenFileMessage(kErrBadFormat, "90.dat: " + text.error()));
  std::vector<std::string> lines = SplitLines(text.value());
  if (lines.size() < kConfigLines) {
    return Status::Error(BrokenFileMessage(
        kErrInputPastEnd,
        "90.dat: " + std::to_string(lines.size()) + " of " + std::to_string(kConfigLines) + " lines"));
  }
  for (int i = 1; i <= 5; ++i) s.CharName[i] = lines[i - 1];
  for (int j = 1; j <= 9; ++j) {
    s.BgmFile[j] = lines[6 + j - 1];
    s.ExtraFile[j] = lines[15 + j - 1];
  }
  return {};
}

Result<Surface> DecodeDataPicture(std::string_view name, std::vector<std::uint8_t> bytes,
                                  int maxSide) {
  if (const auto expected = ManagedKind(name); expected && bytes.size() >= 2) {
    // The repaired header would make any file look like the expected kind,
    // and its decoder would then report nonsense: say what the file holds.
    if (const auto found = PictureKindAfterSignature(bytes); found && *found != *expected) {
      return Result<Surface>::Error(std::string("a ") + PictureKindName(*found) +
                                    " picture where a " + PictureKindName(*expected) +
                                    " picture belongs");
    }
    bytes[0] = SignatureOf(*expected)[0];
    bytes[1] = SignatureOf(*expected)[1];
  }
  return DecodePicture(std::move(bytes), maxSide);
}

DataFiles::DataFiles(std::string dataPath, std::optional<bool> writable)
    : dataPath_(std::move(dataPath)), writable_(writable.value_or(DirWritable(dataPath_))) {}

std::string DataFiles::PathOf(std::string_view name) const {
  // Names from "90.dat" may use the other system's separator and name a
  // sub-folder; each part is matched regardless of case.
  std::string dir = dataPath_;
  std::string rest(name);
  for (auto& c : rest) c = c == '\\' ? '/' : c;
  for (std::size_t slash; (slash = rest.find('/')) != std::string::npos;) {
    if (slash > 0) dir = ResolveNoCase(dir, rest.substr(0, slash)) + "/";
    rest.erase(0, slash + 1);
  }
  return ResolveNoCase(dir, rest);
}

Status DataFiles::Check(const std::string& name, const std::string& shownName) const {
  if (!FileLength(PathOf(name))) return Status::Error(MissingFileMessage(shownName));
  return {};
}

// The scenario and choice table are complemented in memory: no plain copy
// is ever written, so nothing of it is left behind however the game ends.
Status DataFiles::ScenarioDecode() {
  for (const char* number : {"91", "92"}) {
    const bool scenario = number[1] == '1';
    auto bytes = ReadFileBytes(PathOf(std::string(number) + ".dat"),
                               scenario ? kMaxScenarioBytes : kMaxChoicesBytes);
    if (!bytes) return Status::Error(BrokenFileMessage(kErrBadFormat, bytes.error()));
    (scenario ? scenarioPlain_ : choicesPlain_) = Complement(std::move(bytes.value()));
  }
  return {};
}

Status DataFiles::CheckPictures() const {
  for (const auto& n : BitmapPictureNumbers()) {
    if (Status st = Check(n + ".dat", dataPath_ + n); !st) return st;
  }
  for (int i = 1; i <= kPlaceCount; ++i) {
    const std::string n = PlaceName(i);
    if (Status st = Check(n + ".dat", dataPath_ + n); !st) return st;
  }
  return {};
}

Status DataFiles::ReadConfig(EngineState& s) {
  auto bytes = ReadFileBytes(PathOf("90.dat"), kMaxConfigBytes);
  if (!bytes) return Status::Error(BrokenFileMessage(kErrBadFormat, bytes.error()));
  if (Status st = ParseConfig(bytes.value(), s); !st) return st;
  for (int j = 1; j <= 9; ++j) {
    for (const std::string* name : {&s.BgmFile[j], &s.ExtraFile[j]}) {
      if (!name->empty()) {
        if (Status st = Check(*name, *name); !st) return st;
      }
    }
  }
  return {};
}

Status DataFiles::DataPrepare(EngineState& s) {
  for (const char* number : {"90", "91", "92"}) {
    if (Status st = Check(std::string(number) + ".dat", dataPath_ + number); !st) return st;
  }
  if (Status st = ScenarioDecode(); !st) return st;
  if (Status st = CheckPictures(); !st) return st;
  return ReadConfig(s);
}

Status DataFiles::ScenarioLoad(EngineState& s) {
  Status st = LoadScenarioTables(s, scenarioPlain_, choicesPlain_);
  scenarioPlain_.clear();
  choicesPlain_.clear();
  if (!st) return Status::Error(BrokenFileMessage(kErrBadFormat, st.error()));
  return {};
}

Status DataFiles::PatchAllHeaders(bool scramble) const {
  std::string failed;
  auto patch = [&](const std::string& n, PictureKind kind) {
    const std::string path = PathOf(n + ".dat");
    if (!FileExists(path) && !PlainFileExists(path)) return;
    Status st = RewriteHeader(path, scramble ? kScrambled : SignatureOf(kind));
    if (!st) failed += (failed.empty() ? "" : "\n") + st.error();
  };
  for (const auto& n : BitmapPictureNumbers()) patch(n, PictureKind::kBmp);
  for (int i = 1; i <= kPlaceCount; ++i) patch(PlaceName(i), PictureKind::kJpeg);
  if (!failed.empty()) return Status::Error(failed);
  return {};
}

Result<Surface> DataFiles::LoadPicture(std::string_view name) const {
  const std::string path = PathOf(name);
  auto bytes = ReadFileBytes(path);
  if (!bytes) return Result<Surface>::Error(bytes.error());
  auto picture = DecodeDataPicture(name, std::move(bytes.value()));
  if (!picture) return Result<Surface>::Error(path + ": " + picture.error());
  return picture;
}

}  // namespace kovan
