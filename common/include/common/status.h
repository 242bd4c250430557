// What a file operation ends with: done, or the system's error number with its text.
#pragma once

#include <optional>
#include <string>
#include <utility>

namespace common {

class Status {
 public:
  Status() = default;  // done
  // A failure with the error number `error` (an errno value) and its text; without a text
  // given, the system's own (strerror).
  static Status Failed(int error, std::string reason = {});

  bool ok() const { return error_ == 0; }
  explicit operator bool() const { return ok(); }
  int error() const { return error_; }
  const std::string& reason() const { return reason_; }

 private:
  int error_ = 0;
  std::string reason_;
};

// A value, or the failure that kept it from being made.
template <typename T>
class Result {
 public:
  Result(T value) : value_(std::move(value)) {}
  Result(Status failure) : status_(std::move(failure)) {}

  explicit operator bool() const { return value_.has_value(); }
  T& value() { return *value_; }
  const T& value() const { return *value_; }
  T* operator->() { return &*value_; }
  const T* operator->() const { return &*value_; }
  const Status& status() const { return status_; }
  int error() const { return status_.error(); }
  const std::string& reason() const { return status_.reason(); }

 private:
  std::optional<T> value_;
  Status status_;
};

}  // namespace common
