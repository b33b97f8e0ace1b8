#pragma once

// What a reader hands back: the data it decoded, or why it could not. Readers never
// print; the one place that reports a failure reads its kind (to choose the console
// line the program prints for it) and its reason (plain words for the user, naming
// what was wrong).

#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace zorvel {

enum class FailureKind {
  Undefined,      // no file was named
  CannotOpen,     // no such file, or no plain file, or it cannot be read
  WrongFormat,    // the bytes are not what the reader reads
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
class Result {
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

inline Failure failure(FailureKind kind, std::string reason) { return Failure{kind, std::move(reason)}; }

}  // namespace zorvel
