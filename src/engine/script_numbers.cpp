#include "engine/script_numbers.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace kovan {

std::string TrimSpaces(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(' ');
  return std::string(text.substr(first, last - first + 1));
}

std::optional<std::int16_t> ScriptNumber(std::string_view text) {
  if (!text.empty() && text.front() == '+') {
    text.remove_prefix(1);
    // from_chars takes a '-' of its own; after a '+' it would be a second sign.
    if (!text.empty() && text.front() == '-') return std::nullopt;
  }
  std::int16_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::int16_t NumberOrZero(std::string_view text) { return ScriptNumber(text).value_or(0); }

std::optional<std::uint8_t> DigitOf(char c) {
  if (c < '0' || c > '9') return std::nullopt;
  return static_cast<std::uint8_t>(c - '0');
}

std::int16_t SaturatedSum(std::int16_t counter, std::int16_t amount) {
  const int sum = int{counter} + int{amount};
  return static_cast<std::int16_t>(std::clamp(sum, int{std::numeric_limits<std::int16_t>::min()},
                                              int{std::numeric_limits<std::int16_t>::max()}));
}

}  // namespace kovan
