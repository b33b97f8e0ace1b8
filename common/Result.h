#pragma once

// What a reader or a writer hands back: the data it decoded (or, for Result<void>, that
// it succeeded), or why it could not. Readers never print; the one place that reports
// a failure reads its kind (to choose the console line the program prints for it) and
// its reason (plain words for the user, naming what was wrong). A failure is passed up
// as it is: `if (!r) return r.failure();`.

#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace zorvel {

enum class FailureKind {
  Undefined,      // no file was named
  CannotOpen,     // no such file, or no plain file, or it cannot be read
  CannotWrite,    // the output cannot be made or written
  ToolMissing,    // a program this one runs is not installed
  WrongFormat,    // the bytes are not what the reader reads
  Malformed,      // the right kind of file, but a part is missing or unreadable
  Unsupported,    // a kind or variant of the format this reader does not take
  CutShort,       // the file ends before what it declares
  CountMismatch,  // a count that does not match what the caller has
  TooLarge,       // more than the caller accepts or memory holds
};

struct Failure {
  FailureKind kind = FailureKind::CannotOpen;
  std::string reason;
};

// Either a value or a Failure. Test it like a pointer before reading value().
template <class T>
class [[nodiscard]] Result {
 public:
  Result(T value) : state_(std::move(value)) {}
  Result(Failure failure) : state_(std::move(failure)) {}

  explicit operator bool() const { return std::holds_alternative<T>(state_); }
  T& value() { return std::get<T>(state_); }
  const T& value() const { return std::get<T>(state_); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }
  const Failure& failure() const { return std::get<Failure>(state_); }

 private:
  std::variant<T, Failure> state_;
};

// Success without a value, or a Failure.
template <>
class [[nodiscard]] Result<void> {
 public:
  Result() = default;
  Result(Failure failure) : failure_(std::move(failure)) {}

  explicit operator bool() const { return !failure_; }
  const Failure& failure() const { return *failure_; }

 private:
  std::optional<Failure> failure_;
};

inline Failure failure(FailureKind kind, std::string reason) { return Failure{kind, std::move(reason)}; }

}  // namespace zorvel
