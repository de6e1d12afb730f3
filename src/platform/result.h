#pragma once
// The one way an operation reports failure: a Result holds either the value
// it made or a Failure, the message the program shows with the detail that
// explains it (the reason the system gave, or where in a file the data went
// wrong). Shaped after std::expected (has_value, value, error), which not
// every compiler used here has.

#include <string>
#include <type_traits>
#include <utility>
#include <variant>

#include "platform/shell.h"

namespace kestrel {

// The message to show, with its icon and the detail that explains it.
struct Failure {
  Message message;
  // The user cancelled the work: there is nothing to show.
  bool cancelled = false;
};

// A failure with the program's text and, where known, its detail.
inline Failure Fail(std::string text, std::string detail = {}, MessageIcon icon = MessageIcon::None) {
  return Failure{Message{std::move(text), icon, std::move(detail)}};
}

// Work the user cancelled (Shell::ReportProgress answered false).
inline Failure Cancelled() { return Failure{{}, true}; }

// The same failure told with another text of the program, where a command
// has a message of its own for what a lower layer reports; the detail stays,
// and a cancel stays a cancel.
inline Failure Retold(Failure failure, std::string text) {
  if (!failure.cancelled) failure.message.text = std::move(text);
  return failure;
}

// Shows the failure's message through the shell; a cancel shows nothing.
inline void ShowFailure(Shell& shell, const Failure& failure) {
  if (!failure.cancelled) shell.ShowMessage(failure.message);
}

template <typename T>
class [[nodiscard]] Result {
  static_assert(!std::is_same_v<T, Failure>, "a Result of a Failure cannot tell the two apart");

 public:
  Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}  // NOLINT: implicit by design
  Result(Failure failure) : state_(std::in_place_index<1>, std::move(failure)) {}  // NOLINT

  bool has_value() const { return state_.index() == 0; }
  explicit operator bool() const { return has_value(); }

  T& value() & { return std::get<0>(state_); }
  const T& value() const& { return std::get<0>(state_); }
  T&& value() && { return std::get<0>(std::move(state_)); }
  T& operator*() & { return value(); }
  const T& operator*() const& { return value(); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }

  const Failure& error() const { return std::get<1>(state_); }

 private:
  std::variant<T, Failure> state_;
};

template <>
class [[nodiscard]] Result<void> {
 public:
  Result() = default;
  Result(Failure failure) : failure_(std::move(failure)), failed_(true) {}  // NOLINT: implicit by design

  bool has_value() const { return !failed_; }
  explicit operator bool() const { return has_value(); }
  const Failure& error() const { return failure_; }

 private:
  Failure failure_;
  bool failed_ = false;
};

// The detail of a failed system call on a file: "<name>: <strerror(error)>".
std::string SystemDetail(const std::string& name, int error);

}  // namespace kestrel
