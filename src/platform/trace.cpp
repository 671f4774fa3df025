#include "platform/trace.h"

#include <cstdio>
#include <type_traits>

namespace kovan {

namespace {

// Length of the well-formed UTF-8 sequence at text[i], or 0 when the bytes
// there are not one (stray continuation, overlong form, surrogate, cut off).
std::size_t Utf8SequenceLength(std::string_view text, std::size_t i) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  std::size_t n = 0;
  unsigned char min2 = 0x80, max2 = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    n = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    n = 3;
    if (lead == 0xE0) min2 = 0xA0;
    if (lead == 0xED) max2 = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    n = 4;
    if (lead == 0xF0) min2 = 0x90;
    if (lead == 0xF4) max2 = 0x8F;
  } else {
    return 0;
  }
  if (i + n > text.size()) return 0;
  if (byte(i + 1) < min2 || byte(i + 1) > max2) return 0;
  for (std::size_t k = 2; k < n; ++k) {
    if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) return 0;
  }
  return n;
}

void AppendValue(std::string& out, const TraceField::Value& value) {
  std::visit(
      [&out](const auto& v) {
        using T = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<T, std::int64_t>) {
          out += std::to_string(v);
        } else if constexpr (std::is_same_v<T, std::string>) {
          out += JsonQuote(v);
        } else if constexpr (std::is_same_v<T, bool>) {
          out += v ? "true" : "false";
        } else {
          out += '[';
          for (std::size_t i = 0; i < v.size(); ++i) {
            if (i > 0) out += ',';
            if constexpr (std::is_same_v<T, std::vector<int>>) {
              out += std::to_string(v[i]);
            } else {
              out += JsonQuote(v[i]);
            }
          }
          out += ']';
        }
      },
      value);
}

}  // namespace

// Line ends and tabs take their short escapes, other control characters
// \u00XX; UTF-8 passes through unchanged, and a
// byte that isn't part of a well-formed sequence becomes U+FFFD so the line
// stays valid JSON.
std::string JsonQuote(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 2);
  out += '"';
  for (std::size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
      ++i;
    } else if (c == '\n' || c == '\r' || c == '\t') {
      out += c == '\n' ? "\\n" : c == '\r' ? "\\r" : "\\t";
      ++i;
    } else if (c < 0x20) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", c);
      out += buf;
      ++i;
    } else if (c < 0x80) {
      out += static_cast<char>(c);
      ++i;
    } else if (std::size_t n = Utf8SequenceLength(text, i); n > 0) {
      out.append(text.substr(i, n));
      i += n;
    } else {
      out += "\\ufffd";
      ++i;
    }
  }
  out += '"';
  return out;
}

void Trace::Event(std::int64_t t, std::string_view ev, std::initializer_list<TraceField> fields) {
  if (out_ == nullptr) return;
  std::string line = "{\"t\":" + std::to_string(t) + ",\"ev\":" + JsonQuote(ev);
  for (const TraceField& field : fields) {
    line += ',';
    line += JsonQuote(field.key);
    line += ':';
    AppendValue(line, field.value);
  }
  line += "}\n";
  out_->write(line.data(), static_cast<std::streamsize>(line.size()));
  out_->flush();
}

}  // namespace kovan
