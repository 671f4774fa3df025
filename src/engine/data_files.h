// The data folder: the checks made before the game starts, the scenario
// files and "90.dat" read into memory, and the pictures, whose scrambled
// headers are repaired in memory as they are read. The game never writes
// into the folder through this class.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/engine_state.h"
#include "engine/scenario.h"
#include "platform/pictures.h"
#include "platform/result.h"
#include "platform/surface.h"

namespace kovan {

// The file layer's error numbers shown in the "broken file" message.
constexpr int kErrFileNotFound = 53;
constexpr int kErrDeviceIo = 57;
constexpr int kErrInputPastEnd = 62;
constexpr int kErrPermissionDenied = 70;
constexpr int kErrBadFormat = 321;

// The largest data files the game reads. A scenario line or an option is
// far below 2 KiB, so these hold full tables with room to spare; a larger
// file is refused before it is read.
constexpr std::uint64_t kMaxScenarioBytes = std::uint64_t{16} << 20;  // "91.dat"
constexpr std::uint64_t kMaxChoicesBytes = std::uint64_t{1} << 20;    // "92.dat"
constexpr std::uint64_t kMaxConfigBytes = std::uint64_t{64} << 10;    // "90.dat"

// The player's texts for a missing and a broken data file.
std::string MissingFileMessage(const std::string& name);
std::string BrokenFileMessage(int errorNumber, const std::string& detail = {});

// The numbered sprite and face-sheet pictures, then the places 1..14, whose
// first two bytes are scrambled while the game isn't running.
const std::vector<std::string>& BitmapPictureNumbers();
constexpr int kPlaceCount = 14;

// Restores ('B'/'b' bitmap "BM", 'J'/'j' JPEG FF D8) or scrambles ("JF") the
// first two bytes of pathWithoutExt + ".dat", rewriting the file through a
// temporary file. Only a regular file of two bytes or more is touched: a
// link, a shorter file or a missing one is an error and stays as it was.
[[nodiscard]] Status HeaderRestore(const std::string& pathWithoutExt, char kind);
[[nodiscard]] Status HeaderScramble(const std::string& pathWithoutExt);

// Splits text into lines at CR LF, CR or LF; a last line without an end
// counts.
std::vector<std::string> SplitLines(std::string_view text);

// Takes the 25 lines of "90.dat" (CP932) into the names and the music and
// further file names of s. The error is the player's message.
[[nodiscard]] Status ParseConfig(const std::vector<std::uint8_t>& cp932, EngineState& s);

// Decodes the picture file `name` of the data folder from its bytes. A
// numbered sprite or place picture gets its signature put back first, and
// one that holds the other kind of picture is refused, naming what it
// holds. The error doesn't name the file. maxSide as for DecodePicture.
[[nodiscard]] Result<Surface> DecodeDataPicture(std::string_view name,
                                                std::vector<std::uint8_t> bytes,
                                                int maxSide = kMaxPictureSide);

class DataFiles {
 public:
  // dataPath ends with '/'. Whether the folder takes writes (for the log
  // and the saves) is found out unless told.
  explicit DataFiles(std::string dataPath, std::optional<bool> writable = std::nullopt);

  // The path of a data file; names match regardless of case.
  std::string PathOf(std::string_view name) const;
  const std::string& DataPath() const { return dataPath_; }

  // Checks every file the game needs, reads the scenario files into memory
  // and "90.dat" into s. The error is the player's message.
  [[nodiscard]] Status DataPrepare(EngineState& s);
  // Fills the scenario tables from the files DataPrepare read. The error is
  // the player's message.
  [[nodiscard]] Status ScenarioLoad(EngineState& s);
  // Restores or scrambles the header of every managed picture that exists,
  // whatever state it is in (kovan-tool). The error lists the files that
  // were left alone and why.
  [[nodiscard]] Status PatchAllHeaders(bool scramble) const;

  // Loads a picture of the data folder, with its header repaired in memory.
  [[nodiscard]] Result<Surface> LoadPicture(std::string_view name) const;

  bool Writable() const { return writable_; }

 private:
  [[nodiscard]] Status Check(const std::string& name, const std::string& shownName) const;
  [[nodiscard]] Status ScenarioDecode();
  [[nodiscard]] Status CheckPictures() const;
  [[nodiscard]] Status ReadConfig(EngineState& s);

  std::string dataPath_;
  bool writable_ = false;
  Bytes scenarioPlain_;
  Bytes choicesPlain_;
};

}  // namespace kovan
