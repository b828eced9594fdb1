// File > Save run as...: the selected run in a file of its own, in the log's own encoding or in
// UTF-8, written off the GUI thread whichever way the store holds the log, whole or not at all,
// and never over the log itself.
#include <QAction>
#include <QFileDialog>
#include <QMenu>
#include <QStatusBar>
#include <QtTest>
#include <cerrno>
#include <memory>

#include "DisplayForm.h"
#include "RunSaver.h"
#include "RunsView.h"
#include "SaveRunCommand.h"
#include "SaveRunDialog.h"
#include "SharedFile.h"
#include "StoreLimit.h"
#include "TestLogs.h"
#include "WindowBench.h"

namespace {

// Three runs of a Windows-1252 log; run 2 (row 1) logs an "é".
QByteArray LogWithAccent() {
  return TestLogs::RunsWithDates(TestLogs::Dates(3)).replace("run 1 line 2", "run 1 l\xe9ne 2");
}

QAction* SaveRunMenuItem(const TFormDisplay& form) {
  for (QAction* action : form.File1->actions()) {
    if (action->text() == QStringLiteral("Save run as...")) return action;
  }
  return nullptr;
}

QByteArray Contents(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(not there)");
}

}  // namespace

Q_DECLARE_METATYPE(SaveEncoding)

class SaveRunTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs); }

  void init() { bench_ = std::make_unique<WindowBench>(); }

  void cleanup() {
    bench_.reset();
    SetInMemoryLimit(std::nullopt);
    SetFileFaultHook({});
  }

  void savesTheSelectedRunInTheEncodingChosen_data() {
    QTest::addColumn<SaveEncoding>("encoding");
    QTest::addColumn<bool>("indexed");
    QTest::addColumn<QByteArray>("line");  // run 2's line with the "é", as saved

    QTest::newRow("own encoding") << SaveEncoding::LogOwn << false << QByteArray("l\xe9ne");
    QTest::newRow("UTF-8") << SaveEncoding::Utf8 << false << QByteArray("l\xc3\xa9ne");
    QTest::newRow("own encoding, indexed") << SaveEncoding::LogOwn << true << QByteArray("l\xe9ne");
    QTest::newRow("UTF-8, indexed") << SaveEncoding::Utf8 << true << QByteArray("l\xc3\xa9ne");
  }

  void savesTheSelectedRunInTheEncodingChosen() {
    QFETCH(SaveEncoding, encoding);
    QFETCH(bool, indexed);
    QFETCH(QByteArray, line);
    const QString log = logs_.Write("accent.log", LogWithAccent());
    if (indexed) SetInMemoryLimit(0);
    bench_->Open(log);
    TFormDisplay& form = bench_->Form();
    QCOMPARE(form.LogData().Indexed(), indexed);
    form.RunsView->SetSelectedIndex(1);
    WAIT_FOR_LOAD(form);

    QFileDialog* dialog = OpenSaveDialog();
    QVERIFY(dialog);
    QCOMPARE(QFileInfo(dialog->selectedFiles().value(0)).fileName(), "Script 1 - run 2.txt");
    const QString saved = logs_.Path("saved/run 2.txt");
    QVERIFY(QDir().mkpath(QFileInfo(saved).absolutePath()));
    Answer(*dialog, saved, encoding);
    QVERIFY(WaitForSaveEnded(QStringLiteral("saved as")));
    QVERIFY2(bench_->Errors().isEmpty(), qPrintable(bench_->Errors().join('\n')));

    const QByteArray text = Contents(saved);
    const QByteArray header = "Log file:        " + QDir::toNativeSeparators(log).toUtf8() +
                              "\r\nRun:             2\r\nDate/Time:       2026-12-01 10:01\r\n";
    QVERIFY2(text.startsWith(header), text.constData());
    QVERIFY2(text.contains("\r\nrun 1 line 1\r\nrun 1 " + line +
                           " 2\r\n--- Script, 1 line ---\r\n"
                           "script S\r\n"),
             text.constData());
    // The next dialog starts where this one saved.
    dialog = OpenSaveDialog();
    QVERIFY(dialog);
    QCOMPARE(QFileInfo(dialog->selectedFiles().value(0)).absolutePath(),
             QFileInfo(saved).absolutePath());
    dialog->reject();
  }

  void refusesTheLogItself_data() {
    QTest::addColumn<QString>("name");  // relative to the folder of the log "own.log"

    QTest::newRow("its name") << "own.log";
    QTest::newRow("another spelling") << "./sub/../own.log";
#ifndef Q_OS_WIN
    QTest::newRow("a link to it") << "link.log";
#endif
  }

  void refusesTheLogItself() {
    QFETCH(QString, name);
    const QByteArray bytes = LogWithAccent();
    const QString log = logs_.Write("own.log", bytes);
    QVERIFY(QDir().mkpath(logs_.Path("sub")));
    if (name == "link.log") QVERIFY(QFile::link(log, logs_.Path(name)));
    bench_->Open(log);
    const QStringList before = QDir(logs_.Path(".")).entryList(QDir::Files);
    SaveCommand().Save(0, QDir::toNativeSeparators(logs_.Path(name)), SaveEncoding::Utf8);
    QVERIFY(WaitForSaveEnded(QString()));
    QCOMPARE(bench_->Errors().size(), 1);
    QVERIFY2(bench_->Errors()[0].contains(QDir::toNativeSeparators(logs_.Path(name))) &&
                 bench_->Errors()[0].contains("the log itself"),
             qPrintable(bench_->Errors()[0]));
    QCOMPARE(Contents(log), bytes);
    QCOMPARE(QDir(logs_.Path(".")).entryList(QDir::Files), before);
  }

  // A save that fails half-way leaves the file that had the name as it was, and no part of
  // the new one.
  void aFailedSaveLeavesNothingWritten() {
    const QString log = logs_.Write("failing.log", LogWithAccent());
    const QString target = logs_.Write("target.txt", "kept");
    SetInMemoryLimit(0);
    bench_->Open(log);
    const QStringList before = QDir(logs_.Path(".")).entryList(QDir::Files);
    SetFileFaultHook([](FileStep step, const std::filesystem::path&) {
      return step == FileStep::Read ? EIO : 0;
    });
    SaveCommand().Save(0, target, SaveEncoding::LogOwn);
    QVERIFY(WaitForSaveEnded(QString()));
    QCOMPARE(bench_->Errors().size(), 1);
    QVERIFY2(bench_->Errors()[0].contains(QDir::toNativeSeparators(target)),
             qPrintable(bench_->Errors()[0]));
    QCOMPARE(Contents(target), QByteArray("kept"));
    QCOMPARE(QDir(logs_.Path(".")).entryList(QDir::Files), before);
  }

  void isOfferedOnlyWithARunSelected() {
    const TFormDisplay& form = bench_->Form();
    QAction* item = SaveRunMenuItem(form);
    QVERIFY(item);
    QVERIFY(!item->isEnabled());
    bench_->Open(logs_.Write("runs.log", LogWithAccent()));
    QVERIFY(item->isEnabled());
    form.RunsView->SetSelectedIndex(-1);
    QVERIFY(!item->isEnabled());
    bench_->Open(logs_.Write("none.log", "no runs\r\n"));
    QVERIFY(!item->isEnabled());
  }

 private:
  SaveRunCommand& SaveCommand() const {
    return *bench_->Form().findChild<SaveRunCommand*>();
  }

  // The dialog that File > Save run as... opens, not yet answered.
  QFileDialog* OpenSaveDialog() const {
    SaveRunMenuItem(bench_->Form())->trigger();
    // One answered before may not be gone yet.
    QFileDialog* dialog = nullptr;
    return QTest::qWaitFor([&] {
      for (QFileDialog* open : bench_->Form().findChildren<QFileDialog*>()) {
        if (open->isVisible()) dialog = open;
      }
      return dialog != nullptr;
    })
               ? dialog
               : nullptr;
  }

  static void Answer(QFileDialog& dialog, const QString& fileName, SaveEncoding encoding) {
    // A file of that name from an earlier row is not to stop the test with a question.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.selectNameFilter(SaveRunDialog::FileType(encoding, Encoding::Windows1252));
    dialog.selectFile(fileName);
    QMetaObject::invokeMethod(&dialog, "accept");
  }

  // Waits until no save runs any more and the status line or an error box has told how it
  // went; true when what it told holds `told` (the error box, when empty).
  bool WaitForSaveEnded(const QString& told) const {
    const TFormDisplay& form = bench_->Form();
    const RunSaver& saver = *SaveCommand().Saver();
    const auto ended = [&] {
      return !saver.Saving() &&
             (told.isEmpty() ? !bench_->Errors().isEmpty()
                             : form.statusBar()->currentMessage().contains(told));
    };
    return QTest::qWaitFor(ended, kLoadWaitMs);
  }

  TestLogs logs_;
  std::unique_ptr<WindowBench> bench_;
};

WINDOW_TEST_MAIN(SaveRunTest)
#include "SaveRunTest.moc"
