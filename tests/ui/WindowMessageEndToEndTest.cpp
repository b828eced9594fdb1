#include <QProcess>
#include <QScopeGuard>
#include <QtTest>
#include <memory>

#include "DisplayForm.h"
#include "ErrorDisplay.h"
#include "OpenDialog.h"
#include "RunsView.h"
#include "SenderRun.h"
#include "TestLogs.h"
#include "TextPane.h"
#include "WindowTest.h"

// The viewer's window in this process on the Windows platform, and the real sender in another
// one, reaching it with window message 74.
class WindowMessageEndToEndTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    settings_.reset(new ScratchSettings);
    SetExceptionPresenter([](const QString& message) { QFAIL(qPrintable(message)); });
    form_.reset(new TFormDisplay);
    // Rows 1 and 2 belong to entry A, rows 3 to 6 to entry B.
    const QString path =
        logs_.Write("run log with blanks.log",
                    TestLogs::RunsWithDates(TestLogs::Dates(6), {"A", "B"}, {0, 0, 1, 1, 1, 1}));
    TOpenDialog::SetRunner([path](const TOpenDialog&) { return path; });
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    form_->OpenMenuItemClick(form_->OpenMenuItem);
    TOpenDialog::SetRunner({});
    QCOMPARE(form_->RunsView->SelectedIndex(), 0);
  }
  void cleanup() { form_.reset(); }

  void senderSelectsTheRow_data() {
    QTest::addColumn<QString>("row");
    QTest::addColumn<bool>("byProcessId");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<int>("selected");
    QTest::addColumn<QString>("logLine");
    QTest::addColumn<QString>("scriptLine");
    QTest::newRow("row 3 of this viewer") << "3" << true << 0 << 2 << "run 2 line 1"
                                          << "script B";
    QTest::newRow("row 3 of the newest viewer") << "3" << false << 0 << 2 << "run 2 line 1"
                                                << "script B";
    QTest::newRow("last row") << "6" << true << 0 << 5 << "run 5 line 1"
                              << "script B";
    QTest::newRow("zero: delivered, ignored") << "0" << true << 0 << 0 << "run 0 line 1"
                                              << "script A";
    QTest::newRow("minus one: delivered, ignored") << "-1" << true << 0 << 0 << "run 0 line 1"
                                                   << "script A";
    QTest::newRow("one past the rows: delivered, ignored")
        << "7" << true << 0 << 0 << "run 0 line 1"
        << "script A";
    QTest::newRow("malformed") << "x" << true << 2 << 0 << "run 0 line 1"
                               << "script A";
  }
  void senderSelectsTheRow() {
    QFETCH(QString, row);
    QFETCH(bool, byProcessId);
    QFETCH(int, exitCode);
    QFETCH(int, selected);
    QFETCH(QString, logLine);
    QFETCH(QString, scriptLine);
    QStringList arguments = {"--select-run", row};
    if (byProcessId) arguments << "--pid" << QString::number(QCoreApplication::applicationPid());
    QCOMPARE(RunSender(arguments), exitCode);
    QCOMPARE(form_->RunsView->SelectedIndex(), selected);
    QVERIFY(form_->LogMemo->Text().contains(logLine));
    QVERIFY(form_->ScriptMemo->Text().contains(scriptLine));
  }

  void viewerKeepsAnsweringAfterIgnoredRequests() {
    for (const char* ignored : {"0", "-1", "7", "x"}) RunSender({"--select-run", ignored});
    QCOMPARE(RunSender({"--select-run", "4"}), 0);
    QCOMPARE(form_->RunsView->SelectedIndex(), 3);
    QVERIFY(form_->LogMemo->Text().contains("run 3 line 1"));
  }

  void withoutProcessIdTheViewerStartedLastIsAsked() {
    QProcess newer;
    newer.start(MLD_EXECUTABLE, {form_->CurrentFile()});
    QVERIFY(newer.waitForStarted());
    const auto stopNewer = qScopeGuard([&newer] {
      newer.kill();
      newer.waitForFinished();
    });
    const QString newerPid = QString::number(newer.processId());
    // The sender answers 0 only once that viewer's window is there.
    QTRY_COMPARE_WITH_TIMEOUT(RunSender({"--select-run", "1", "--pid", newerPid}), 0, 20000);
    QCOMPARE(RunSender({"--select-run", "3"}), 0);
    QCOMPARE(form_->RunsView->SelectedIndex(), 0);
  }

  void noViewerWithThatProcessIdMeansExitOne() {
    // Windows gives processes ids divisible by four.
    QCOMPARE(RunSender({"--select-run", "3", "--pid", "999999"}), 1);
    QVERIFY2(senderError_.contains("no viewer with process id 999999"), qPrintable(senderError_));
    QCOMPARE(form_->RunsView->SelectedIndex(), 0);
  }

 private:
  int RunSender(const QStringList& arguments) { return ::RunSender(arguments, senderError_); }

  QScopedPointer<ScratchSettings> settings_;
  TestLogs logs_;
  std::unique_ptr<TFormDisplay> form_;
  QString senderError_;
};

WINDOW_TEST_MAIN(WindowMessageEndToEndTest)

#include "WindowMessageEndToEndTest.moc"
