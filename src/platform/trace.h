// The trace: one JSON object per observable event, one per line.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <ostream>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace kovan {

struct TraceField {
  using Value = std::variant<std::int64_t, std::string, bool, std::vector<int>,
                             std::vector<std::string>>;
  TraceField(std::string_view k, std::int64_t v) : key(k), value(v) {}
  TraceField(std::string_view k, int v) : key(k), value(std::int64_t{v}) {}
  TraceField(std::string_view k, std::string v) : key(k), value(std::move(v)) {}
  TraceField(std::string_view k, const char* v) : key(k), value(std::string(v)) {}
  TraceField(std::string_view k, bool v) : key(k), value(v) {}
  TraceField(std::string_view k, std::vector<int> v) : key(k), value(std::move(v)) {}
  TraceField(std::string_view k, std::vector<std::string> v) : key(k), value(std::move(v)) {}
  std::string key;
  Value value;
};

// Writes events to a stream; without a stream it writes nothing. Each line
// is flushed so a trace survives an abrupt end; a line the stream didn't
// take is remembered (a full disk), so the run can't end as a success.
class Trace {
 public:
  Trace() = default;
  explicit Trace(std::ostream* out) : out_(out) {}
  void SetStream(std::ostream* out) { out_ = out; }
  bool Enabled() const { return out_ != nullptr; }
  // {"t":t,"ev":ev,...fields}
  void Event(std::int64_t t, std::string_view ev, std::initializer_list<TraceField> fields = {});
  // Some event could not be written.
  bool Failed() const { return failed_; }

 private:
  std::ostream* out_ = nullptr;
  bool failed_ = false;
};

// JSON string literal of a UTF-8 text, quotes included.
std::string JsonQuote(std::string_view text);

}  // namespace kovan
