// The window while a load comes in pieces: the first rows show at once, the commands that start
// another load or close the window stop it, and what waits for the end of a load (Reload's row,
// a request for a row not there yet) happens then.
#include <QStatusBar>
#include <QtTest>

#include "DisplayForm.h"
#include "FollowCommand.h"
#include "MRUList.h"
#include "RunsView.h"
#include "TestLogs.h"
#include "TextPane.h"
#include "WindowBench.h"
#include "WindowTest.h"

namespace {

constexpr int kRuns = 60;
// Pieces of a few lines, so that a load of a test log takes many turns of the event loop.
constexpr size_t kSmallPieces = 150;

QString Caption(const QString& fileName) {
  return AppTitle + " - \"" + fileName + "\"";
}

}  // namespace

class LoadingTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    window_ = std::make_unique<WindowBench>();
    form_ = &window_->Form();
    form_->Document().SetPieceBytes(kSmallPieces);
    path_ = logs_.Write("many.log", TestLogs::RunsWithDates(TestLogs::Dates(kRuns)));
  }
  void cleanup() { window_.reset(); }

  void theFirstRowsShowBeforeTheLoadEnds() {
    QSignalSpy rows(&form_->Document(), &LogDocument::RowsLoaded);
    Open(path_);
    // Each piece is shown when the spy hears of it.
    while (!form_->LogMemo->Text().contains(QStringLiteral("run 0 line 2"))) QVERIFY(rows.wait());
    QVERIFY(form_->Document().Loading());
    QVERIFY(form_->RunsView->RowCount() < kRuns);
    QCOMPARE(form_->RunsView->SelectedIndex(), 0);
    QVERIFY(form_->statusBar()->currentMessage().startsWith(QStringLiteral("Loading")));
    // The caption and the recent files name a file once it has loaded.
    QCOMPARE(form_->windowTitle(), AppTitle);
    QVERIFY(form_->MRUList1->Entries().isEmpty());

    WAIT_FOR_LOAD(*form_);
    QCOMPARE(form_->RunsView->RowCount(), kRuns);
    QCOMPARE(form_->RunsView->SelectedIndex(), 0);
    QCOMPARE(form_->windowTitle(), Caption(path_));
    QCOMPARE(form_->MRUList1->Entries(), QStringList{path_});
    QVERIFY(window_->Errors().isEmpty());
  }

  // Row 1's run is still coming when it is selected: its pane grows with the pieces.
  void theShownRunGrowsWithTheLoad() {
    const QByteArray log = TestLogs::FirstRunWithMessages(1, 300);
    const QString path = logs_.Write("long.log", log);
    QSignalSpy rows(&form_->Document(), &LogDocument::RowsLoaded);
    Open(path);
    while (form_->LogMemo->LineCount() == 0) QVERIFY(rows.wait());
    const int linesFirst = form_->LogMemo->LineCount();
    WAIT_FOR_LOAD(*form_);
    const LogStore& store = form_->LogData();
    QVERIFY(linesFirst < 300);
    QCOMPARE(form_->LogMemo->LineCount(), static_cast<int>(store.LogOf(store.RunOfRow(0)).Count));
    QVERIFY(form_->LogMemo->Text().contains(QStringLiteral("run 0 line 2\nmessage 0\n")));
    QVERIFY(form_->LogMemo->Text().endsWith(QStringLiteral("\nmessage 299")));
  }

  // Runs that share their start fold into one row as their headers come, which takes the row
  // before away again while the window is on screen.
  void foldedRowsComeRightInPieces() {
    QStringList dates;
    for (int k = 0; k < kRuns; ++k) dates << QStringLiteral("2026-12-01 10:%1").arg(k / 3);
    const QString path = logs_.Write("folded.log", TestLogs::RunsWithDates(dates));
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_));
    WAIT_FOR_LOAD(*form_);
    // As the user's scrolling would, the table paints its rows between the pieces.
    connect(&form_->Document(), &LogDocument::RowsLoaded, form_,
            [this] { RunShowingErrors([this] { form_->RunsView->viewport()->repaint(); }); });
    Open(path);
    WAIT_FOR_LOAD(*form_);
    QCOMPARE(form_->RunsView->RowCount(), kRuns / 3);
    QCOMPARE(form_->LogData().RowToRun.size(), size_t{kRuns / 3});
    QVERIFY(form_->LogMemo->Text().contains(QStringLiteral("run 2 line 1")));
    QVERIFY(window_->Errors().isEmpty());
  }

  void openingAnotherFileStopsTheLoad() {
    const QString other = logs_.Write("few.log", TestLogs::RunsWithDates(TestLogs::Dates(3)));
    QSignalSpy rows(&form_->Document(), &LogDocument::RowsLoaded);
    QSignalSpy loaded(form_, &TFormDisplay::LogLoaded);
    Open(path_);
    QVERIFY(rows.wait());
    Open(other);
    WAIT_FOR_LOAD(*form_);
    QCOMPARE(loaded.size(), 1);
    QCOMPARE(form_->RunsView->RowCount(), 3);
    QCOMPARE(form_->windowTitle(), Caption(other));
    QCOMPARE(form_->MRUList1->Entries(), QStringList{other});
  }

  void closingTheWindowStopsTheLoad() {
    QSignalSpy rows(&form_->Document(), &LogDocument::RowsLoaded);
    Open(path_);
    QVERIFY(rows.wait());
    const int rowsShown = form_->RunsView->RowCount();
    form_->close();
    QVERIFY(!form_->Document().Loading());
    QCoreApplication::processEvents();
    QCOMPARE(form_->RunsView->RowCount(), rowsShown);
    QVERIFY(window_->Errors().isEmpty());
  }

  void reloadSelectsItsRowOnceTheLoadHasFinished() {
    Open(path_);
    WAIT_FOR_LOAD(*form_);
    form_->RunsView->SetSelectedIndex(40);
    QSignalSpy rows(&form_->Document(), &LogDocument::RowsLoaded);
    form_->ReloadMenuItemClick(form_->ReloadMenuItem);
    QVERIFY(rows.wait());
    QCOMPARE(form_->RunsView->SelectedIndex(), -1);
    WAIT_FOR_LOAD(*form_);
    QCOMPARE(form_->RunsView->SelectedIndex(), 40);
    QVERIFY(form_->LogMemo->Text().contains(QStringLiteral("run 40 line 1")));
  }

  // Requests come from the other program while the load runs, each when the rows so far end
  // before the row it asks for.
  void aRequestForARowNotThereYetIsCarriedOutAtTheEnd_data() {
    QTest::addColumn<QList<int>>("requests");
    QTest::addColumn<int>("selected");
    QTest::newRow("one request") << QList<int>{kRuns - 5} << kRuns - 6;
    QTest::newRow("the last request counts") << QList<int>{kRuns, kRuns - 1} << kRuns - 2;
    QTest::newRow("a row the file does not have") << QList<int>{kRuns + 1} << 0;
    QTest::newRow("a later request for a row there") << QList<int>{kRuns, 1} << 0;
  }
  void aRequestForARowNotThereYetIsCarriedOutAtTheEnd() {
    QFETCH(QList<int>, requests);
    QFETCH(int, selected);
    QSignalSpy rows(&form_->Document(), &LogDocument::RowsLoaded);
    Open(path_);
    QVERIFY(rows.wait());
    for (const int row : requests) {
      QVERIFY(form_->RunsView->RowCount() < kRuns - 5);
      TMessage message{kSelectRunMessage, row, 0, 0};
      form_->Dispatch(message);
    }
    QCOMPARE(form_->RunsView->SelectedIndex(), 0);
    WAIT_FOR_LOAD(*form_);
    QCOMPARE(form_->RunsView->SelectedIndex(), selected);
    QVERIFY(window_->Errors().isEmpty());
  }

  // The file is gone by the time its load reads it: the error shows, and the window shows no
  // rows of it, as after any load that fails.
  void aFailedLoadShowsTheError() {
    Open(path_);
    WAIT_FOR_LOAD(*form_);
    const QString gone = logs_.Path(QStringLiteral("gone.log"));
    Open(gone);
    WAIT_FOR_LOAD(*form_);
    QCOMPARE(window_->Errors().size(), 1);
    QVERIFY(window_->Errors().first().contains(QDir::toNativeSeparators(gone)));
    QCOMPARE(form_->RunsView->RowCount(), 0);
    QCOMPARE(form_->windowTitle(), Caption(path_));
    QCOMPARE(form_->CurrentFile(), gone);
  }

  // Follow starts on the file as it is when the load ends: what a writer added meanwhile shows
  // without waiting for its next line.
  void linesAppendedDuringTheLoadShowAfterIt() {
    form_->findChild<FollowCommand*>()->SetOn(true);
    // The writer is in the middle of the last run.
    QByteArray log = TestLogs::RunsWithDates(TestLogs::Dates(kRuns));
    log.chop(QByteArrayLiteral("==>script execution finished.\r\n------ NextEntry\r\n").size());
    const QString growing = logs_.Write("growing.log", log);
    QSignalSpy rows(&form_->Document(), &LogDocument::RowsLoaded);
    Open(growing);
    QVERIFY(rows.wait());
    QVERIFY(form_->Document().Loading());
    QFile file(growing);
    QVERIFY(file.open(QIODevice::Append));
    file.write("appended while loading\r\n");
    file.close();
    WAIT_FOR_LOAD(*form_);
    form_->RunsView->SetSelectedIndex(kRuns - 1);
    QTRY_VERIFY2(form_->LogMemo->Text().endsWith(QStringLiteral("\nappended while loading")),
                 qPrintable(form_->LogMemo->Text().right(80)));
    QVERIFY(window_->Errors().isEmpty());
  }

 private:
  void Open(const QString& path) { window_->StartOpen(path); }

  TestLogs logs_;
  std::unique_ptr<WindowBench> window_;
  TFormDisplay* form_ = nullptr;
  QString path_;
};

WINDOW_TEST_MAIN(LoadingTest)
#include "LoadingTest.moc"
