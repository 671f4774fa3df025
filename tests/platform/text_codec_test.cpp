#include "platform/text_codec.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace kovan {
namespace {

std::string Bytes(std::initializer_list<int> bytes) {
  std::string s;
  for (int b : bytes) s.push_back(static_cast<char>(b));
  return s;
}

std::string Hex(const std::string& s) {
  std::string out;
  char buf[4];
  for (unsigned char c : s) {
    std::snprintf(buf, sizeof buf, "%02X ", c);
    out += buf;
  }
  return out;
}

// Decodes and encodes back; the bytes must come out unchanged.
void ExpectRoundTrip(const std::string& cp932, const std::string& utf8) {
  auto decoded = Cp932ToUtf8(cp932);
  ASSERT_TRUE(decoded.ok()) << Hex(cp932) << ": " << decoded.error();
  EXPECT_EQ(decoded.value(), utf8) << Hex(cp932);
  auto encoded = Utf8ToCp932(decoded.value());
  ASSERT_TRUE(encoded.ok()) << Hex(cp932) << ": " << encoded.error();
  EXPECT_EQ(Hex(encoded.value()), Hex(cp932));
}

TEST(Cp932, TextRoundTrips) {
  ExpectRoundTrip("", "");
  ExpectRoundTrip("ABC xyz 012\r\n", "ABC xyz 012\r\n");
  ExpectRoundTrip(Bytes({0x82, 0xA0, 0x83, 0x41, 0x8A, 0xBF}), "あア漢");
  // Trail byte 0x5C, the same value as the backslash.
  ExpectRoundTrip(Bytes({0x95, 0x5C, 0x83, 0x5C, 0x94, 0x5C}), "表ソ能");
  ExpectRoundTrip(Bytes({0x95, 0x5C, 0x5C, 0x6E}), "表\\n");
  // Single-byte backslash and tilde stay ASCII.
  ExpectRoundTrip(Bytes({0x5C, 0x7E}), "\\~");
  // The wave dash of CP932 is the full-width tilde.
  ExpectRoundTrip(Bytes({0x81, 0x60}), "\uFF5E");
}

TEST(Cp932, HalfWidthKanaRoundTrip) {
  for (int b = 0xA1; b <= 0xDF; ++b) {
    const std::string one(1, static_cast<char>(b));
    const std::string utf8 = Cp932ToUtf8(one).value();
    const char32_t expected = 0xFF61 + (b - 0xA1);
    EXPECT_EQ(utf8, Bytes({0xEF, 0x80 | static_cast<int>((expected >> 6) & 0x3F),
                           0x80 | static_cast<int>(expected & 0x3F)}))
        << std::hex << b;
    ExpectRoundTrip(one, utf8);
  }
}

TEST(Cp932, NecRow13RoundTripsExceptJisTwins) {
  // Assigned codes of 0x8740..0x878F: circled and Roman numerals, units, era
  // names and the like. Each comes back as itself.
  std::vector<int> codes;
  for (int c = 0x8740; c <= 0x875D; ++c) codes.push_back(c);
  for (int c = 0x875F; c <= 0x8775; ++c) codes.push_back(c);
  codes.push_back(0x877E);
  for (int c = 0x8780; c <= 0x878F; ++c) codes.push_back(c);
  for (int c : codes) {
    const std::string cp932 = Bytes({c >> 8, c & 0xFF});
    auto utf8 = Cp932ToUtf8(cp932);
    ASSERT_TRUE(utf8.ok()) << std::hex << c << ": " << utf8.error();
    ExpectRoundTrip(cp932, utf8.value());
  }
  EXPECT_EQ(Cp932ToUtf8(Bytes({0x87, 0x40})).value(), "①");
  EXPECT_EQ(Cp932ToUtf8(Bytes({0x87, 0x54})).value(), "Ⅰ");

  // 0x8790..0x879C: math signs that also sit in JIS row 2. They decode, but
  // encode to the row-2 code, as Windows does; the four without a twin
  // come back as themselves.
  const std::pair<int, int> twins[] = {
      {0x8790, 0x81E0}, {0x8791, 0x81DF}, {0x8792, 0x81E7}, {0x8793, 0x8793}, {0x8794, 0x8794},
      {0x8795, 0x81E3}, {0x8796, 0x81DB}, {0x8797, 0x81DA}, {0x8798, 0x8798}, {0x8799, 0x8799},
      {0x879A, 0x81E6}, {0x879B, 0x81BF}, {0x879C, 0x81BE},
  };
  for (auto [nec, jis] : twins) {
    auto fromNec = Cp932ToUtf8(Bytes({nec >> 8, nec & 0xFF}));
    auto fromJis = Cp932ToUtf8(Bytes({jis >> 8, jis & 0xFF}));
    ASSERT_TRUE(fromNec.ok() && fromJis.ok()) << std::hex << nec;
    EXPECT_EQ(fromNec.value(), fromJis.value()) << std::hex << nec;
    EXPECT_EQ(Hex(Utf8ToCp932(fromNec.value()).value()), Hex(Bytes({jis >> 8, jis & 0xFF})));
  }
  EXPECT_EQ(Cp932ToUtf8(Bytes({0x87, 0x90})).value(), "≒");
}

TEST(Cp932, BadBytesGiveTheirOffset) {
  struct Case {
    std::string bytes;
    std::string error;
  };
  const Case cases[] = {
      {Bytes({'a', 'b', 0x82, 0xA0, 'c', 'd', 'e', 'f', 'g', 'h', 'i', 'j', 0x85, 0x40}),
       "invalid CP932 byte 0x85 at offset 12"},
      {Bytes({0x80}), "invalid CP932 byte 0x80 at offset 0"},
      {Bytes({'x', 0xA0}), "invalid CP932 byte 0xA0 at offset 1"},
      {Bytes({'x', 'y', 0xFD, 'z'}), "invalid CP932 byte 0xFD at offset 2"},
      {Bytes({0x82, 0xA0, 0x82, 0x0A}), "invalid CP932 sequence 0x82 0x0A at offset 2"},
      {Bytes({0xEB, 0x40}), "invalid CP932 byte 0xEB at offset 0"},
      {Bytes({0x86}), "invalid CP932 byte 0x86 at offset 0"},
      {Bytes({'a', 0x82}), "truncated CP932 sequence 0x82 at offset 1"},
      {Bytes({0x95, 0x5C, 0x95}), "truncated CP932 sequence 0x95 at offset 2"},
  };
  for (const Case& c : cases) {
    auto r = Cp932ToUtf8(c.bytes);
    ASSERT_FALSE(r.ok()) << Hex(c.bytes);
    EXPECT_EQ(r.error(), c.error);
  }
}

TEST(Cp932, EncodingRefusesWhatTheCodePageLacks) {
  struct Case {
    std::string utf8;
    std::string error;
  };
  const Case cases[] = {
      {"ok ☃", "character U+2603 at offset 3 has no CP932 code"},
      {"あ😀", "character U+1F600 at offset 3 has no CP932 code"},
      {"ab\xFF", "invalid UTF-8 byte 0xFF at offset 2"},
      {"a\xC3(", "invalid UTF-8 byte 0xC3 at offset 1"},
      {"a\xE3\x81", "truncated UTF-8 sequence 0xE3 at offset 1"},
  };
  for (const Case& c : cases) {
    auto r = Utf8ToCp932(c.utf8);
    ASSERT_FALSE(r.ok()) << c.utf8;
    EXPECT_EQ(r.error(), c.error);
  }
}

TEST(Utf8, CountsCodePoints) {
  EXPECT_EQ(Utf8Length(""), 0u);
  EXPECT_EQ(Utf8Length("abc"), 3u);
  EXPECT_EQ(Utf8Length("aé漢😀"), 4u);
  EXPECT_EQ(Utf8Left("aé漢😀z", 3), "aé漢");
  EXPECT_EQ(Utf8Left("aé漢", 0), "");
  EXPECT_EQ(Utf8Left("aé漢", 10), "aé漢");
  EXPECT_EQ(Utf8Mid("aé漢😀z", 2), "漢😀z");
  EXPECT_EQ(Utf8Mid("aé漢", 3), "");
  EXPECT_EQ(Utf8Mid("aé漢", 99), "");
}

TEST(Utf8, InvalidBytesCountOneEach) {
  // A stray continuation, a lead without its follower, an overlong form,
  // a surrogate: every byte of them is one.
  EXPECT_EQ(Utf8Length("\x80"), 1u);
  EXPECT_EQ(Utf8Length("a\xE3\x81"), 3u);
  EXPECT_EQ(Utf8Length("\xC0\xAF"), 2u);
  EXPECT_EQ(Utf8Length("\xE0\x80\xAF"), 3u);
  EXPECT_EQ(Utf8Length("\xF0\x8F\xBF\xBF"), 4u);
  EXPECT_EQ(Utf8Length("\xF4\x90\x80\x80"), 4u);
  EXPECT_EQ(Utf8Length("\xED\xA0\x80"), 3u);
  EXPECT_EQ(Utf8Length("\xF5\x80\x80\x80"), 4u);
  const std::string cutThenA = std::string("\xE3\x81") + "a";
  EXPECT_EQ(Utf8Left(cutThenA, 2), "\xE3\x81");
  EXPECT_EQ(Utf8Mid(std::string("\xFF") + "あ", 1), "あ");

  // A sequence cut by the end of the view is not completed from beyond it.
  const std::string whole = "xあ";
  const std::string_view cut(whole.data(), 3);
  EXPECT_EQ(Utf8Length(cut), 3u);
  EXPECT_EQ(Utf8Mid(cut, 1), "\xE3\x81");
  EXPECT_EQ(Utf8Left(cut, 2), "x\xE3");
}

}  // namespace
}  // namespace kovan
