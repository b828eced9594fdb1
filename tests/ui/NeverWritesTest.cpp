#include <sys/inotify.h>
#include <sys/stat.h>

#include <QtTest>

#include "DisplayForm.h"
#include "EncodingMenu.h"
#include "FileEventRecorder.h"
#include "FollowCommand.h"
#include "ProgramRun.h"
#include "RunsView.h"
#include "TestLogs.h"
#include "WindowBench.h"
#include "WindowTest.h"

// The viewer only ever reads a log. Whatever the window and the headless modes do with it, the
// file keeps its bytes, its size and its times, nothing appears beside it, and every open of it
// is one for reading.

namespace {

// What a write to the file, or its replacement, would change. The access time is left out:
// reading may set it.
struct FileState {
  QByteArray bytes;
  qint64 size = -1;
  qint64 inode = -1;
  qint64 modified = -1;  // nanoseconds
  qint64 changed = -1;   // nanoseconds; any change of contents or attributes sets it
};

qint64 Nanoseconds(const timespec& time) {
  return qint64(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
}

FileState StateOf(const QString& path) {
  FileState state;
  struct stat info {};
  if (stat(QFile::encodeName(path).constData(), &info) != 0) return state;
  state.size = info.st_size;
  state.inode = qint64(info.st_ino);
  state.modified = Nanoseconds(info.st_mtim);
  state.changed = Nanoseconds(info.st_ctim);
  QFile file(path);
  if (file.open(QIODevice::ReadOnly)) state.bytes = file.readAll();
  return state;
}

constexpr uint32_t kWritingEvents =
    IN_CLOSE_WRITE | IN_MODIFY | IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF;

}  // namespace

class NeverWritesTest : public QObject {
  Q_OBJECT

 private slots:
  void everythingTheViewerDoesOnlyReads() {
    const QStringList dates = TestLogs::Dates(8);
    const QString path = logs_.Write(
        "watched.log", TestLogs::RunsWithDates(dates, {"one", "two"}, {0, 0, 0, 1, 1, 1, 1, 1}));
    const FileState before = StateOf(path);
    QVERIFY(!before.bytes.isEmpty());
    FileEventRecorder recorder(path);
    QVERIFY(recorder.Watching());

    ShowEverythingInTheWindow(path, dates.size());
    for (const QString mode : {"--list", "--dump"}) {
      const ProgramRun run = RunProgram({mode, path});
      QVERIFY2(run.finished && run.exitCode == 0, qPrintable(run.problem + run.errors));
      QVERIFY(!run.out.isEmpty());
    }
    if (QTest::currentTestFailed()) return;

    const FileEventRecorder::Events events = recorder.Take();
    QVERIFY(!events.overflowed);
    const QString seen = Describe(events.onFile);
    // Open, Reload, --list and --dump read the file at least once each.
    QVERIFY2(CountOf(events.onFile, IN_OPEN) >= 4, qPrintable(seen));
    QVERIFY2(CountOf(events.onFile, IN_CLOSE_NOWRITE) == CountOf(events.onFile, IN_OPEN),
             qPrintable(seen));
    QVERIFY2(CountOf(events.onFile, kWritingEvents) == 0, qPrintable(seen));
    QVERIFY2(events.inFolder.isEmpty(), qPrintable(Describe(events.inFolder)));

    const FileState after = StateOf(path);
    QCOMPARE(after.size, before.size);
    QCOMPARE(after.inode, before.inode);
    QCOMPARE(after.modified, before.modified);
    QCOMPARE(after.changed, before.changed);
    QVERIFY(after.bytes == before.bytes);
  }

 private:
  // Opens the log, follows it, reloads it, shows every run in every encoding, and closes the
  // window again, so that whatever the window does at its end is seen too.
  void ShowEverythingInTheWindow(const QString& path, int runs) {
    WindowBench window;
    TFormDisplay& form = window.Form();
    form.findChild<FollowCommand*>()->SetOn(true);
    window.Open(path);
    window.Reload();
    QCOMPARE(form.RunsView->RowCount(), runs);
    for (const EncodingChoice choice :
         {EncodingChoice::Windows1252, EncodingChoice::Utf8, EncodingChoice::Auto}) {
      form.findChild<EncodingMenu*>()->Choose(choice);
      for (int row = 0; row < runs; ++row) form.RunsView->SetSelectedIndex(row);
    }
    QCOMPARE(window.Errors(), QStringList());
    form.close();
  }

  TestLogs logs_;
};

WINDOW_TEST_MAIN(NeverWritesTest)

#include "NeverWritesTest.moc"
