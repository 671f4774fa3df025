// How the interpreter reads the texts of a scenario line: trimming, numbers
// and the counters' arithmetic.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kovan {

// The text without leading and trailing space characters (only those:
// a full-width space or a tab stays).
std::string TrimSpaces(std::string_view text);

// The text read as a signed 16-bit decimal number: an optional sign and
// ASCII digits, nothing else. Nothing when the text isn't such a number
// or lies outside -32768..32767.
std::optional<std::int16_t> ScriptNumber(std::string_view text);

// The number of a text where the script expects one; a text that isn't a
// number counts as 0.
std::int16_t NumberOrZero(std::string_view text);

// The value of an ASCII digit; nothing for any other character.
std::optional<std::uint8_t> DigitOf(char c);

// counter + amount, held at the ends of the 16-bit range instead of
// wrapping round to the other end.
std::int16_t SaturatedSum(std::int16_t counter, std::int16_t amount);

}  // namespace kovan
