// Errors crossing the core: a Status (code and message) or a Result<T>
// holding either a value or a failed Status. No exceptions.
#pragma once

#include <optional>
#include <string>
#include <utility>

namespace pelisto {

enum class StatusCode {
  kOk = 0,
  kNotFound,     // the file or alias does not exist
  kIoError,      // a read or write failed
  kNoSpace,      // the device is full
  kInvalid,      // bad argument or malformed input
  kUnsupported,  // valid input this program cannot handle
  kCancelled,    // the user cancelled
  kLimit,        // a fixed limit was reached (file numbers, sizes)
  kDenied,       // the user may not read or write there
  kExists,       // the name is taken
};

class Status {
 public:
  Status() = default;
  static Status ok() { return Status(); }
  static Status error(StatusCode code, std::string message) {
    return Status(code, std::move(message));
  }
  bool isOk() const { return m_code == StatusCode::kOk; }
  explicit operator bool() const { return isOk(); }
  StatusCode code() const { return m_code; }
  const std::string& message() const { return m_message; }

 private:
  Status(StatusCode code, std::string message) : m_code(code), m_message(std::move(message)) {}
  StatusCode m_code = StatusCode::kOk;
  std::string m_message;
};

template <typename T>
class Result {
 public:
  Result(T value) : m_value(std::move(value)) {}  // NOLINT: implicit by design
  Result(Status status) : m_status(std::move(status)) {}  // NOLINT: must be an error
  bool isOk() const { return m_value.has_value(); }
  explicit operator bool() const { return isOk(); }
  const Status& status() const { return m_status; }
  T& value() { return *m_value; }
  const T& value() const { return *m_value; }
  T* operator->() { return &*m_value; }
  T& operator*() { return *m_value; }

 private:
  std::optional<T> m_value;
  Status m_status;
};

}  // namespace pelisto
