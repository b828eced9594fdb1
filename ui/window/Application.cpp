#include "Application.h"

#include <QIcon>

#include "ErrorDisplay.h"
#include "Version.h"

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
  setOrganizationName(QStringLiteral(MLD_ORGANIZATION_NAME));
  setApplicationName(QStringLiteral(MLD_APPLICATION_NAME));
  setApplicationVersion(QStringLiteral(MLD_VERSION_TEXT));
  QIcon icon;
  for (const int size : {16, 32, 48}) {
    icon.addFile(QStringLiteral(":/icons/message-log-display-%1.png").arg(size), QSize(size, size));
  }
  setWindowIcon(icon);
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (...) {
    ShowCurrentException();
  }
  return false;
}
