#include "engine/game_log.h"

#include <utility>
#include <vector>

#include "platform/files.h"
#include "platform/text_codec.h"

namespace kovan {

std::string ToCp932Lenient(const std::string& utf8) {
  if (auto all = Utf8ToCp932(utf8)) return all.value();
  std::string out;
  const std::size_t n = Utf8Length(utf8);
  for (std::size_t i = 0; i < n; ++i) {
    auto one = Utf8ToCp932(Utf8Left(Utf8Mid(utf8, i), 1));
    out += one ? one.value() : "?";
  }
  return out;
}

Status GameLog::Start(std::string path, const std::string& report) {
  path_ = std::move(path);
  text_ = report + text_;
  return Write();
}

void GameLog::Line(const std::string& utf8) {
  text_ += utf8 + "\r\n";
  if (!path_.empty()) (void)Write();
}

Status GameLog::Write() const {
  const std::string bytes = ToCp932Lenient(text_);
  return WriteFileBytes(path_, std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
}

}  // namespace kovan
