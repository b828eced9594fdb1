#pragma once

#include <QApplication>

// The application object. An exception that escapes an event handler is shown to the user and
// the event loop goes on, so a log that cannot be read never ends the program.
class TApplication : public QApplication {
  Q_OBJECT

 public:
  TApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;
};
