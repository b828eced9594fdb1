#include "ErrorDisplay.h"

#include <QApplication>
#include <QMessageBox>
#include <exception>
#include <iostream>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

ExceptionPresenter& Presenter() {
  static ExceptionPresenter presenter;
  return presenter;
}

void ShowMessageBox(const QString& message) {
  // Before the application object exists (or when it could not be made) there is no box to show.
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
    std::cerr << message.toUtf8().constData() << '\n';
    return;
  }
  QMessageBox::critical(QApplication::activeWindow(), QApplication::applicationDisplayName(),
                        message);
}

// While this thread answers a window message that another thread or process sent (run selection
// by message 74), the sender waits for the answer; a box opened then would keep it waiting.
bool SenderIsWaiting() {
#ifdef Q_OS_WIN
  return InSendMessage() != FALSE;
#else
  return false;
#endif
}

}  // namespace

void ShowException(const QString& message) {
  if (SenderIsWaiting() && QCoreApplication::instance()) {
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [message] { ShowException(message); }, Qt::QueuedConnection);
    return;
  }
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
