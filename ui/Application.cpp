#include "Application.h"

#include <QIcon>
#include <exception>

#include "ErrorDisplay.h"

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
  setOrganizationName(QStringLiteral("Vantrel"));
  setApplicationName(QStringLiteral("Message Log Display"));
  setApplicationVersion(QStringLiteral("2.2.0.2"));
  QIcon icon;
  for (const int size : {16, 32, 48}) {
    icon.addFile(QStringLiteral(":/icons/message-log-display-%1.png").arg(size), QSize(size, size));
  }
  setWindowIcon(icon);
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& error) {
    ShowException(QString::fromLocal8Bit(error.what()));
  } catch (...) {
    ShowException(QString());
  }
  return false;
}
