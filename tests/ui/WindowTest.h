#pragma once

#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include "Application.h"

// The program's settings (the recent files, following) in a folder of the test's own, for as
// long as it lives, so that no test reads or changes the user's.
class ScratchSettings {
 public:
  ScratchSettings() {
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder_.path());
  }

 private:
  QTemporaryDir folder_;
};

// The main of a test program that drives the window: errors that reach the event loop take the
// road through the program's own application object, as they do in the viewer.
#define WINDOW_TEST_MAIN(TestClass)         \
  int main(int argc, char** argv) {         \
    TApplication application(argc, argv);   \
    TestClass test;                         \
    return QTest::qExec(&test, argc, argv); \
  }
