#include "ErrorDisplay.h"

#include <QApplication>
#include <QMessageBox>
#include <exception>
#include <iostream>

namespace {

ExceptionPresenter& Presenter() {
  static ExceptionPresenter presenter;
  return presenter;
}

void ShowMessageBox(const QString& message) {
  // Before the application object exists (or when it could not be made) there is no box to show.
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
    std::cerr << message.toLocal8Bit().constData() << '\n';
    return;
  }
  QMessageBox::critical(QApplication::activeWindow(), QApplication::applicationDisplayName(),
                        message);
}

}  // namespace

void ShowException(const QString& message) {
  if (Presenter()) {
    Presenter()(message);
  } else {
    ShowMessageBox(message);
  }
}

void SetExceptionPresenter(ExceptionPresenter presenter) {
  Presenter() = std::move(presenter);
}

void ShowCurrentException() {
  try {
    throw;
  } catch (const std::exception& error) {
    // The model writes its messages, file names included, in UTF-8 on every system.
    ShowException(QString::fromUtf8(error.what()));
  } catch (...) {
    ShowException(QString());
  }
}

void RunShowingErrors(const std::function<void()>& handler) {
  try {
    handler();
  } catch (...) {
    ShowCurrentException();
  }
}
