#include "platform/trace.h"

#include "platform/text_codec.h"

#include <cstdio>
#include <type_traits>

namespace kovan {

namespace {


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
  if (!out_->good()) failed_ = true;
}

}  // namespace kovan
