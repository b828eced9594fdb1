#include "ErrorDisplay.h"

#include <QApplication>
#include <QMessageBox>

namespace {

ExceptionPresenter& Presenter() {
  static ExceptionPresenter presenter;
  return presenter;
}

void ShowMessageBox(const QString& message) {
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

void SetExceptionPresenter(ExceptionPresenter presenter) { Presenter() = std::move(presenter); }
