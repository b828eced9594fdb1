#pragma once

#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include "Application.h"
#include "DisplayForm.h"
#include "ErrorDisplay.h"
#include "LogDocument.h"
#include "RunsView.h"

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

// The messages of the error boxes, recorded instead of shown for as long as it lives.
class RecordedErrors {
 public:
  RecordedErrors() {
    SetExceptionPresenter([this](const QString& message) { messages_ << message; });
  }
  ~RecordedErrors() { SetExceptionPresenter({}); }
  RecordedErrors(const RecordedErrors&) = delete;
  RecordedErrors& operator=(const RecordedErrors&) = delete;

  const QStringList& Messages() const { return messages_; }

 private:
  QStringList messages_;
};

// The main of a test program that drives the window: errors that reach the event loop take the
// road through the program's own application object, as they do in the viewer.
#define WINDOW_TEST_MAIN(TestClass)         \
  int main(int argc, char** argv) {         \
    TApplication application(argc, argv);   \
    TestClass test;                         \
    return QTest::qExec(&test, argc, argv); \
  }

constexpr int kLoadWaitMs = 30'000;

// Whether the window `form` has loaded, has taken in what a followed file gained, and shows the
// lines of the row selected: all of these are read on threads of their own.
inline bool AtRest(const TFormDisplay& form) {
  const int selected = form.RunsView->SelectedIndex();
  return !form.Document().Loading() && !form.Document().ReadingGrowth() &&
         !form.Document().ReadingRun() && (selected < 0 || selected == form.ShownRow());
}

// Waits until the load that the window `form` runs, if any, has ended and the window is at
// rest: first the events that were posted are handled, as a command run from the
// event loop or the window's first show posts its work, and last the look at the file that a
// load posts when it ends. The wait is long, since the test files reach hundreds of megabytes
// and sanitizer and Wine builds read them slowly; it ends as soon as the load does.
#define WAIT_FOR_LOAD(form)                              \
  do {                                                   \
    QCoreApplication::processEvents();                   \
    QTRY_VERIFY_WITH_TIMEOUT(AtRest(form), kLoadWaitMs); \
    QCoreApplication::processEvents();                   \
  } while (false)
