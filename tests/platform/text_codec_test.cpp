#include "platform/text_codec.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <initializer_list>
#include <memory>
#include <regex>
#include <string>
#include <tuple>
#include <vector>

namespace kovan {
namespace {

std::string Bytes(std::initializer_list<int> bytes) {
  std::string s;
  for (int b : bytes) s.push_back(static_cast<char>(b));
  return s;
}

std::string Utf8Of(char32_t c) {
  if (c < 0x80) return Bytes({static_cast<int>(c)});
  if (c < 0x800) return Bytes({0xC0 | int(c >> 6), 0x80 | int(c & 0x3F)});
  return Bytes({0xE0 | int(c >> 12), 0x80 | int((c >> 6) & 0x3F), 0x80 | int(c & 0x3F)});
}

// glibc's own table of the code page, as (bytes, UTF-8) pairs.
std::vector<std::pair<std::string, std::string>> SystemTable() {
  std::vector<std::pair<std::string, std::string>> table;
  std::unique_ptr<FILE, int (*)(FILE*)> in(
      popen("gzip -dc /usr/share/i18n/charmaps/WINDOWS-31J.gz", "r"), pclose);
  if (!in) return table;
  const std::regex entry(R"(^<U([0-9A-F]{4})>\s+/x([0-9a-f]{2})(?:/x([0-9a-f]{2}))?)");
  char line[512];
  while (std::fgets(line, sizeof line, in.get()) != nullptr) {
    std::cmatch m;
    if (!std::regex_search(line, m, entry)) continue;
    std::string bytes(1, static_cast<char>(std::stoi(m[2], nullptr, 16)));
    if (m[3].matched) bytes += static_cast<char>(std::stoi(m[3], nullptr, 16));
    table.emplace_back(bytes, Utf8Of(static_cast<char32_t>(std::stoul(m[1], nullptr, 16))));
  }
  return table;
}

// Every code of the system's table decodes to its character, and the
// character encodes back to it (half-width kana, the NEC and IBM rows, the
// 0x5C trail bytes and the wave dash among them).
TEST(Cp932, EveryCodeOfTheSystemTableRoundTrips) {
  const auto table = SystemTable();
  ASSERT_GT(table.size(), 9000u) << "the locales package's WINDOWS-31J charmap";
  int wrong = 0;
  for (const auto& [cp932, utf8] : table) {
    const Result<std::string> decoded = Cp932ToUtf8(cp932);
    const Result<std::string> encoded = Utf8ToCp932(utf8);
    const bool ok = decoded.ok() && *decoded == utf8 && encoded.ok() && *encoded == cp932;
    if (!ok && ++wrong <= 5) ADD_FAILURE() << "code " << std::hex << (cp932[0] & 0xFF);
  }
  EXPECT_EQ(wrong, 0);
  // Text of mixed widths, as a whole.
  EXPECT_EQ(Cp932ToUtf8(Bytes({'A', 0x95, 0x5C, 0x5C, 'n', 0xB1, 0x81, 0x60})).value(),
            "A表\\nｱ～");
}

// Math signs of the NEC row that also sit in JIS row 2 decode alike and
// encode to the row-2 code, as Windows does.
TEST(Cp932, NecTwinsEncodeToTheirJisCode) {
  for (auto [nec, jis] : {std::pair{0x8790, 0x81E0}, {0x8791, 0x81DF}, {0x8792, 0x81E7},
                          {0x8795, 0x81E3}, {0x879A, 0x81E6}, {0x879C, 0x81BE}}) {
    const Result<std::string> fromNec = Cp932ToUtf8(Bytes({nec >> 8, nec & 0xFF}));
    ASSERT_TRUE(fromNec.ok()) << std::hex << nec;
    EXPECT_EQ(Utf8ToCp932(*fromNec).value(), Bytes({jis >> 8, jis & 0xFF})) << std::hex << nec;
  }
}

TEST(Cp932, BadTextGivesTheOffsetAndTheBytes) {
  const std::tuple<bool, std::string, std::string> cases[] = {  // decoding?, text, error
      {true, Bytes({'a', 'b', 0x82, 0xA0, 'c', 0x85, 0x40}), "invalid CP932 byte 0x85 at offset 5"},
      {true, Bytes({0x80}), "invalid CP932 byte 0x80 at offset 0"},
      {true, Bytes({'x', 0xA0}), "invalid CP932 byte 0xA0 at offset 1"},
      {true, Bytes({'x', 'y', 0xFD, 'z'}), "invalid CP932 byte 0xFD at offset 2"},
      {true, Bytes({0x82, 0xA0, 0x82, 0x0A}), "invalid CP932 sequence 0x82 0x0A at offset 2"},
      {true, Bytes({0xEB, 0x40}), "invalid CP932 byte 0xEB at offset 0"},
      {true, Bytes({0x95, 0x5C, 0x95}), "truncated CP932 sequence 0x95 at offset 2"},
      {false, "ok ☃", "character U+2603 at offset 3 has no CP932 code"},
      {false, "あ😀", "character U+1F600 at offset 3 has no CP932 code"},
      {false, "ab\xFF", "invalid UTF-8 byte 0xFF at offset 2"},
      {false, "a\xC3(", "invalid UTF-8 byte 0xC3 at offset 1"},
      {false, "a\xE3\x81", "truncated UTF-8 sequence 0xE3 at offset 1"},
  };
  for (const auto& [decoding, text, error] : cases) {
    const Result<std::string> r = decoding ? Cp932ToUtf8(text) : Utf8ToCp932(text);
    EXPECT_EQ(r.ok() ? "converted" : r.error(), error);
  }
}

// Code points are counted and cut whole. A stray continuation, a lead
// without its follower, an overlong form, a surrogate, beyond U+10FFFF:
// every byte of them counts as one; a sequence cut by the end of the view
// is not completed from beyond it.
TEST(Utf8, CountsCodePoints) {
  const std::string whole = "xあ";
  const std::string_view cut(whole.data(), 3);
  const std::pair<std::string_view, std::size_t> lengths[] = {
      {"", 0},         {"aé漢😀", 4},          {"\x80", 1},         {"a\xE3\x81", 3},
      {"\xC0\xAF", 2}, {"\xE0\x80\xAF", 3},    {"\xF0\x8F\xBF\xBF", 4}, {"\xF4\x90\x80\x80", 4},
      {"\xED\xA0\x80", 3}, {"\xF5\x80\x80\x80", 4}, {cut, 3}};
  for (const auto& [text, n] : lengths) EXPECT_EQ(Utf8Length(text), n) << text;
  const std::tuple<bool, std::string_view, std::size_t, std::string> parts[] = {  // left?, text, n
      {true, "aé漢😀z", 3, "aé漢"},   {true, "aé漢", 0, ""},  {true, "aé漢", 10, "aé漢"},
      {false, "aé漢😀z", 2, "漢😀z"}, {false, "aé漢", 99, ""}, {true, "\xE3\x81" "a", 2, "\xE3\x81"},
      {false, "\xFF" "あ", 1, "あ"},  {true, cut, 2, "x\xE3"}};
  for (const auto& [left, text, n, part] : parts) {
    EXPECT_EQ(left ? Utf8Left(text, n) : Utf8Mid(text, n), part) << text;
  }
}

}  // namespace
}  // namespace kovan
