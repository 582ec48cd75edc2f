#pragma once
// The error that an action raises, for tests that look into it. No
// platform header.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>

namespace testsupport {

// Runs the action and gives the error of the class that it raised; none,
// and a failure of the test, when it raised none.
template <class Error, class Action>
std::optional<Error> RaisedBy(Action&& action) {
  try {
    action();
  } catch (const Error& error) {
    return error;
  }
  ADD_FAILURE() << "no error raised";
  return std::nullopt;
}

// The message of the error of the class that the action raised.
template <class Error, class Action>
std::wstring MessageRaisedBy(Action&& action) {
  const std::optional<Error> error = RaisedBy<Error>(std::forward<Action>(action));
  return error ? error->Message() : L"(no error raised)";
}

}  // namespace testsupport
