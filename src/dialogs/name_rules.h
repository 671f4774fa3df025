// How the name box's text becomes the protagonist's two names.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kovan {

// The most characters the whole name may have, separator included.
constexpr std::size_t kNameMaxLength = 7;

struct ProtagonistName {
  std::string family;  // CharName(1); may be empty
  std::string given;   // CharName(2); never empty
  bool operator==(const ProtagonistName&) const = default;
};

// Splits the typed text at its separator: the first ideographic space
// (U+3000) or, when there is none, the first ASCII space. Characters are
// counted, not bytes. Nothing when there is no separator, nothing follows
// it, or the text is longer than kNameMaxLength characters; the names then
// stay as they were.
std::optional<ProtagonistName> SplitName(std::string_view text);

// The name joined as the box shows it: family name, ideographic space,
// given name.
std::string JoinName(std::string_view family, std::string_view given);

// The first character of the text that the save file's code page can't
// hold, or nothing when all of it can be saved.
std::optional<std::string> FirstUnsavableCharacter(std::string_view text);

}  // namespace kovan
