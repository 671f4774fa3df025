#include "platform/text_codec.h"

#include <iconv.h>

#include <cerrno>
#include <cstdio>

namespace kovan {

namespace {

constexpr const char* kCp932 = "CP932";
constexpr const char* kUtf8 = "UTF-8";

std::string Hex(unsigned char c) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "0x%02X", static_cast<unsigned>(c));
  return buf;
}

// The number of bytes the code point (or lone invalid byte) at s[i] takes.
std::size_t StepLength(std::string_view s, std::size_t i) {
  const std::size_t len = Utf8SequenceLength(s, i);
  return len == 0 ? 1 : len;
}

// Byte offset just past the first n code points.
std::size_t OffsetOf(std::string_view s, std::size_t n) {
  std::size_t i = 0;
  for (; n > 0 && i < s.size(); --n) i += StepLength(s, i);
  return i;
}

char32_t DecodeAt(std::string_view s, std::size_t i, std::size_t len) {
  const auto at = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
  static constexpr unsigned char kLeadMask[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
  char32_t cp = at(i) & kLeadMask[len];
  for (std::size_t k = 1; k < len; ++k) cp = (cp << 6) | (at(i + k) & 0x3F);
  return cp;
}

// Lead bytes of the double-byte codes the code page assigns (0xF0..0xF9 are
// the user-defined area). 0x85, 0x86, 0xEB, 0xEC and 0xEF start nothing.
bool IsCp932Lead(unsigned char c) {
  return (c >= 0x81 && c <= 0x84) || (c >= 0x87 && c <= 0x9F) || (c >= 0xE0 && c <= 0xEA) ||
         c == 0xED || c == 0xEE || (c >= 0xF0 && c <= 0xFC);
}

// One conversion descriptor, closed when it goes out of scope.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (Ok()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  bool Ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  struct Outcome {
    bool ok = true;
    int error = 0;           // errno of the failure: EILSEQ or EINVAL
    std::size_t offset = 0;  // input offset of the failure
  };

  // Converts all of in, appending to out.
  Outcome Run(std::string_view in, std::string& out, std::size_t sizeGuess) {
    char* inPtr = const_cast<char*>(in.data());  // iconv's signature; it doesn't write
    std::size_t inLeft = in.size();
    out.resize(sizeGuess + 16);
    std::size_t used = 0;
    while (true) {
      char* outPtr = out.data() + used;
      std::size_t outLeft = out.size() - used;
      const std::size_t r = iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft);
      const int error = errno;
      used = static_cast<std::size_t>(outPtr - out.data());
      if (r != static_cast<std::size_t>(-1) && inLeft == 0) break;
      if (r == static_cast<std::size_t>(-1) && error != E2BIG) {
        out.resize(used);
        return {false, error, static_cast<std::size_t>(inPtr - in.data())};
      }
      out.resize(out.size() * 2);
    }
    out.resize(used);
    return {};
  }

 private:
  iconv_t cd_;
};

}  // namespace

Result<std::string> Cp932ToUtf8(std::string_view cp932) {
  std::string out;
  if (cp932.empty()) return out;
  Converter conv(kUtf8, kCp932);
  if (!conv.Ok()) return Result<std::string>::Error("the system cannot convert CP932 to UTF-8");
  // A CP932 byte becomes at most three UTF-8 bytes (half-width kana); most
  // text is double-byte, which grows by half.
  const auto outcome = conv.Run(cp932, out, cp932.size() + cp932.size() / 2);
  if (outcome.ok) return out;
  const std::size_t at = outcome.offset;
  if (at >= cp932.size()) return Result<std::string>::Error("truncated CP932 text");
  const auto lead = static_cast<unsigned char>(cp932[at]);
  const std::string where = " at offset " + std::to_string(at);
  if (IsCp932Lead(lead) && at + 1 == cp932.size()) {
    return Result<std::string>::Error("truncated CP932 sequence " + Hex(lead) + where);
  }
  if (IsCp932Lead(lead)) {
    const auto trail = static_cast<unsigned char>(cp932[at + 1]);
    return Result<std::string>::Error("invalid CP932 sequence " + Hex(lead) + " " + Hex(trail) +
                                      where);
  }
  return Result<std::string>::Error("invalid CP932 byte " + Hex(lead) + where);
}

Result<std::string> Utf8ToCp932(std::string_view utf8) {
  std::string out;
  if (utf8.empty()) return out;
  Converter conv(kCp932, kUtf8);
  if (!conv.Ok()) return Result<std::string>::Error("the system cannot convert UTF-8 to CP932");
  // No character takes more bytes in CP932 than in UTF-8.
  const auto outcome = conv.Run(utf8, out, utf8.size());
  if (outcome.ok) return out;
  const std::size_t at = outcome.offset;
  if (at >= utf8.size()) return Result<std::string>::Error("truncated UTF-8 text");
  const std::string where = " at offset " + std::to_string(at);
  const std::size_t len = Utf8SequenceLength(utf8, at);
  if (len == 0) {
    const std::string kind =
        outcome.error == EINVAL ? "truncated UTF-8 sequence " : "invalid UTF-8 byte ";
    return Result<std::string>::Error(kind + Hex(static_cast<unsigned char>(utf8[at])) + where);
  }
  char code[16];
  std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(DecodeAt(utf8, at, len)));
  return Result<std::string>::Error("character " + std::string(code) + where +
                                    " has no CP932 code");
}

std::size_t Utf8Length(std::string_view utf8) {
  std::size_t n = 0;
  for (std::size_t i = 0; i < utf8.size(); i += StepLength(utf8, i)) ++n;
  return n;
}

std::string Utf8Left(std::string_view utf8, std::size_t n) {
  return std::string(utf8.substr(0, OffsetOf(utf8, n)));
}

std::string Utf8Mid(std::string_view utf8, std::size_t start) {
  return std::string(utf8.substr(OffsetOf(utf8, start)));
}

std::size_t Utf8SequenceLength(std::string_view s, std::size_t i) {
  const auto at = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned char c = at(i);
  if (c < 0x80) return 1;
  std::size_t len = 0;
  unsigned char lo = 0x80, hi = 0xBF;  // range of the second byte
  if (c >= 0xC2 && c <= 0xDF) {
    len = 2;
  } else if (c >= 0xE0 && c <= 0xEF) {
    len = 3;
    if (c == 0xE0) lo = 0xA0;
    if (c == 0xED) hi = 0x9F;
  } else if (c >= 0xF0 && c <= 0xF4) {
    len = 4;
    if (c == 0xF0) lo = 0x90;
    if (c == 0xF4) hi = 0x8F;
  } else {
    return 0;
  }
  if (s.size() - i < len) return 0;
  if (at(i + 1) < lo || at(i + 1) > hi) return 0;
  for (std::size_t k = 2; k < len; ++k) {
    if (at(i + k) < 0x80 || at(i + k) > 0xBF) return 0;
  }
  return len;
}

char32_t Utf8Next(std::string_view s, std::size_t& i) {
  const std::size_t len = Utf8SequenceLength(s, i);
  const auto lead = static_cast<unsigned char>(s[i]);
  if (len <= 1) {
    ++i;
    return lead;
  }
  char32_t cp = lead & (0x7F >> len);
  for (std::size_t k = 1; k < len; ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
  i += len;
  return cp;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

}  // namespace kovan
