// kovan.log in the data folder: the machine report written at every start,
// then one line for each thing a player or modder should know about (where
// the saves go, a missing SoundFont, ...). The file is CP932 with CR LF line
// ends. Every change rewrites the whole file through a temporary file
// renamed into place, so the log is never half-written and never written
// through a link.
#pragma once

#include <string>

#include "platform/result.h"

namespace kovan {

class GameLog {
 public:
  // Starts the log anew at path with the report's text (UTF-8, CR LF line
  // ends). Lines added before are kept and follow the report.
  [[nodiscard]] Status Start(std::string path, const std::string& report);
  // Adds one line (UTF-8, without its end). Before Start it is only kept.
  // A folder that takes no writes keeps the log in memory; the game goes on.
  void Line(const std::string& utf8);
  // Everything logged so far, UTF-8.
  const std::string& Text() const { return text_; }

 private:
  [[nodiscard]] Status Write() const;

  std::string path_;
  std::string text_;
};

// CP932 bytes of a UTF-8 text; characters the code page lacks become '?'.
std::string ToCp932Lenient(const std::string& utf8);

}  // namespace kovan
