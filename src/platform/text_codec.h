// Conversion between the game's double-byte Japanese code page (CP932) and
// the UTF-8 used inside the program.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/result.h"

namespace kovan {

// CP932 bytes to UTF-8. Invalid or cut-off byte sequences are an error that
// gives the byte offset of the first bad sequence.
[[nodiscard]] Result<std::string> Cp932ToUtf8(std::string_view cp932);
// UTF-8 to CP932. Characters the code page lacks (and invalid UTF-8) are an
// error naming the offending character.
[[nodiscard]] Result<std::string> Utf8ToCp932(std::string_view utf8);

// Length of the well-formed UTF-8 sequence starting at s[i], or 0 when the
// bytes there don't form one (stray continuation, overlong form, surrogate,
// beyond U+10FFFF, or cut off by the end).
std::size_t Utf8SequenceLength(std::string_view s, std::size_t i);
// The code point at s[i], moving i past it; a byte that starts no
// well-formed sequence stands for itself.
char32_t Utf8Next(std::string_view s, std::size_t& i);

// Appends the UTF-8 form of a code point (a surrogate or a value beyond
// U+10FFFF becomes U+FFFD).
void AppendUtf8(std::string& out, char32_t cp);

// Number of code points in a UTF-8 string (a "character" as the game counts).
std::size_t Utf8Length(std::string_view utf8);
// The first n code points of a UTF-8 string; the part after them.
std::string Utf8Left(std::string_view utf8, std::size_t n);
std::string Utf8Mid(std::string_view utf8, std::size_t start);

}  // namespace kovan
