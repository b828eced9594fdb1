#pragma once

#include <QString>
#include <functional>
#include <type_traits>

// How an error that reached the event loop is shown to the user: a modal message box with its
// message. Tests put a recorder in its place so that no box ever blocks a test run. An error met
// while another process waits for this one's answer to a window message is shown once the event
// loop has it back, after the answer.
using ExceptionPresenter = std::function<void(const QString& message)>;

void ShowException(const QString& message);
// An empty presenter brings back the message box.
void SetExceptionPresenter(ExceptionPresenter presenter);

// Shows the exception being handled; call it only inside a catch block.
void ShowCurrentException();

// Runs an event handler and shows what escapes it, so that an error never unwinds through the
// toolkit's own code, which is not written to be unwound.
void RunShowingErrors(const std::function<void()>& handler);

// `handler` as a slot that shows its errors; a handler that takes no arguments ignores the
// signal's. The return type lets Qt find out, without an error, how many arguments it takes.
template <typename Handler>
auto ShowingErrors(Handler handler) {
  if constexpr (std::is_invocable_v<const Handler&>) {
    return [handler](auto&&... /*ignored*/) { RunShowingErrors(handler); };
  } else {
    return [handler](auto&&... arguments) -> decltype(handler(arguments...), void()) {
      RunShowingErrors([&] { handler(arguments...); });
    };
  }
}
