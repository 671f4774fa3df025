// Small result types for expected failures.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace kovan {

// Either a value or an error text.
template <typename T>
class [[nodiscard]] Result {
 public:
  Result(T value) : v_(std::in_place_index<0>, std::move(value)) {}  // NOLINT: implicit on purpose
  static Result Error(std::string message) { return Result(ErrorTag{}, std::move(message)); }

  bool ok() const { return v_.index() == 0; }
  explicit operator bool() const { return ok(); }
  T& value() { return std::get<0>(v_); }
  const T& value() const { return std::get<0>(v_); }
  T& operator*() { return value(); }
  const T& operator*() const { return value(); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }
  const std::string& error() const { return std::get<1>(v_); }

 private:
  struct ErrorTag {};
  Result(ErrorTag, std::string message) : v_(std::in_place_index<1>, std::move(message)) {}
  std::variant<T, std::string> v_;
};

// Success or an error text.
class [[nodiscard]] Status {
 public:
  Status() = default;
  static Status Error(std::string message) {
    Status s;
    s.error_ = std::move(message);
    return s;
  }
  bool ok() const { return !error_.has_value(); }
  explicit operator bool() const { return ok(); }
  const std::string& error() const { return *error_; }

 private:
  std::optional<std::string> error_;
};

}  // namespace kovan
