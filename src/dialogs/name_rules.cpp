#include "dialogs/name_rules.h"

#include "platform/text_codec.h"

namespace kovan {

namespace {

constexpr std::string_view kIdeographicSpace = "\u3000";

}  // namespace

std::optional<ProtagonistName> SplitName(std::string_view text) {
  std::size_t at = text.find(kIdeographicSpace);
  std::size_t width = kIdeographicSpace.size();
  if (at == std::string_view::npos) {
    at = text.find(' ');
    width = 1;
  }
  if (at == std::string_view::npos || Utf8Length(text) > kNameMaxLength) return std::nullopt;
  std::string given(text.substr(at + width));
  if (given.empty()) return std::nullopt;
  return ProtagonistName{std::string(text.substr(0, at)), std::move(given)};
}

std::string JoinName(std::string_view family, std::string_view given) {
  std::string out(family);
  out += kIdeographicSpace;
  out += given;
  return out;
}

std::optional<std::string> FirstUnsavableCharacter(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t start = i;
    (void)Utf8Next(text, i);
    const std::string_view one = text.substr(start, i - start);
    if (!Utf8ToCp932(one)) return std::string(one);
  }
  return std::nullopt;
}

}  // namespace kovan
