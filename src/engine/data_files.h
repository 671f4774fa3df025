// The data folder: the checks and preparation made before the game starts,
// the picture headers that are restored while the game runs and scrambled
// again when it ends, and "90.dat".
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/engine_state.h"
#include "engine/scenario.h"
#include "platform/result.h"
#include "platform/surface.h"

namespace kovan {

// The file layer's error numbers shown in the "broken file" message.
constexpr int kErrFileNotFound = 53;
constexpr int kErrDeviceIo = 57;
constexpr int kErrInputPastEnd = 62;
constexpr int kErrPermissionDenied = 70;
constexpr int kErrBadFormat = 321;

// The player's texts for a missing and a broken data file.
std::string MissingFileMessage(const std::string& name);
std::string BrokenFileMessage(int errorNumber, const std::string& detail = {});

// The numbered sprite and face-sheet pictures, then the places 1..14, whose
// first two bytes are scrambled while the game isn't running.
const std::vector<std::string>& BitmapPictureNumbers();
constexpr int kPlaceCount = 14;

// Writes the kind's signature ('B'/'b' bitmap "BM", 'J'/'j' JPEG FF D8) over
// the first two bytes of pathWithoutExt + ".dat". Touches only files that
// exist; the error says why a patch failed.
[[nodiscard]] Status HeaderRestore(const std::string& pathWithoutExt, char kind);
// Writes "JF" over the first two bytes of pathWithoutExt + ".dat".
[[nodiscard]] Status HeaderScramble(const std::string& pathWithoutExt);

// Splits text into lines at CR LF, CR or LF; a last line without an end
// counts.
std::vector<std::string> SplitLines(std::string_view text);

class DataFiles {
 public:
  // dataPath ends with '/'. Whether the folder takes writes is found out
  // unless told.
  explicit DataFiles(std::string dataPath, std::optional<bool> writable = std::nullopt);

  // The path of a data file; names match regardless of case.
  std::string PathOf(std::string_view name) const;
  const std::string& DataPath() const { return dataPath_; }

  // Checks every file the game needs, decodes the scenario files, restores
  // the picture headers and reads "90.dat" into s. The error is the
  // player's message. In a folder we may not write to, the decoding and the
  // header repair happen in memory only.
  [[nodiscard]] Status DataPrepare(EngineState& s);
  // Fills the scenario tables from the decoded files and removes the plain
  // copies. The error is the player's message.
  [[nodiscard]] Status ScenarioLoad(EngineState& s);
  // Scrambles the headers again, if preparation got as far as repairing
  // them; safe to call more than once.
  void ScrambleHeaders();
  // Restores or scrambles the header of every managed picture that exists,
  // whatever state it is in; the error lists the files that failed.
  [[nodiscard]] Status PatchAllHeaders(bool scramble) const;

  // Loads a picture of the data folder, with its header repaired in memory.
  [[nodiscard]] Result<Surface> LoadPicture(std::string_view name) const;

  bool Writable() const { return writable_; }

 private:
  [[nodiscard]] Status Check(const std::string& name, const std::string& shownName) const;
  [[nodiscard]] Status ScenarioDecode();
  [[nodiscard]] Status PrepareHeaders();
  [[nodiscard]] Status ReadConfig(EngineState& s);

  std::string dataPath_;
  bool writable_ = false;
  bool headersTouched_ = false;
  Bytes scenarioPlain_;
  Bytes choicesPlain_;
};

}  // namespace kovan
