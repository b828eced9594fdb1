#pragma once

#include <QString>
#include <functional>

// How an error that reached the event loop is shown to the user: a modal message box with its
// message. Tests put a recorder in its place so that no box ever blocks a test run.
using ExceptionPresenter = std::function<void(const QString& message)>;

void ShowException(const QString& message);
// An empty presenter brings back the message box.
void SetExceptionPresenter(ExceptionPresenter presenter);
