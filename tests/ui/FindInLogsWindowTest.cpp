#include <QAction>
#include <QDir>
#include <QScopeGuard>
#include <QtTest>
#include <atomic>
#include <mutex>
#include <set>
#include <stdexcept>
#include <thread>

#include "DisplayForm.h"
#include "FindBar.h"
#include "FindInLogsDialog.h"
#include "FolderSearch.h"
#include "LogsResults.h"
#include "RunsView.h"
#include "StoreLimit.h"
#include "TestLogs.h"
#include "TextPane.h"
#include "WindowBench.h"

// Search > Find in logs in the window: opening a result, F4 from one file to the next, and
// Escape stopping a search, between files or within one.

namespace {

// One entry whose run k logs lines[k], at minute k.
QByteArray Log(const QStringList& lines) {
  QByteArray text = "------ NextPart = Script\r\nscript\r\n------ NextPart = LogMessage\r\n";
  for (int k = 0; k < lines.size(); ++k) {
    text += "==>loading script \"S\".\r\n-\r\nStarted: 2026-12-01 10:0" + QByteArray::number(k) +
            "\r\n" + lines[k].toLatin1() + "\r\n==>script execution finished.\r\n";
  }
  return text;
}

}  // namespace

class FindInLogsWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    window_ = std::make_unique<WindowBench>();
    form_ = &window_->Form();
    logs_ = std::make_unique<TestLogs>();
    logs_->Write("a.log", Log({"idle", "idle", "the VALVE opens"}));
    QDir(logs_->Path("")).mkpath("sub");
    logs_->Write("sub/b.log", Log({"valve 1", "idle", "idle", "valve 4"}));
    QVERIFY(window_->ShowActive());
    QTest::keyClick(form_, Qt::Key_L, Qt::ControlModifier | Qt::ShiftModifier);
    dialog_ = form_->findChild<FindInLogsDialog*>();
    QVERIFY(dialog_ != nullptr);
    QVERIFY(dialog_->isVisible());
    dialog_->SetFolder(logs_->Path(""));
    dialog_->SetSubfolders(true);
    dialog_->SetText("valve");
  }
  void cleanup() {
    dialog_ = nullptr;
    const QStringList errors = window_->Errors();
    window_.reset();
    QVERIFY2(errors.isEmpty(), qPrintable(errors.join('\n')));
  }

  void opensAResultAtItsRun() {
    SearchToTheEnd();
    QCOMPARE(dialog_->Summary(), "2 files searched, 2 with matches: 3 runs, 3 lines");
    QTreeWidgetItem* b = dialog_->Results()->topLevelItem(1);
    QCOMPARE(b->text(0), QDir::toNativeSeparators("sub/b.log"));
    dialog_->Results()->setCurrentItem(b->child(1));
    QTest::keyClick(dialog_->Results(), Qt::Key_Return);
    QTRY_COMPARE(form_->RunsView->SelectedIndex(), 3);
    QVERIFY(!dialog_->Searching());
    QCOMPARE(dialog_->Results()->topLevelItemCount(), 2);
    QVERIFY2(form_->windowTitle().contains("b.log"), qPrintable(form_->windowTitle()));
    QCOMPARE(form_->LogMemo->SelectedText(), "valve");
    const auto* paneBar = form_->findChild<TFindBar*>(QStringLiteral("FindBar"));
    QVERIFY(paneBar->isVisible());
    QCOMPARE(paneBar->Needle(), "valve");
  }

  // A dialog made later, as after a restart with no log shown, offers the folder searched last.
  void offersTheFolderSearchedLast() {
    SearchToTheEnd();
    const FindInLogsDialog later([] { return EncodingChoice::Auto; });
    QCOMPARE(later.Folder(), dialog_->Folder());
    QVERIFY(!later.Folder().isEmpty());
  }

  void f4StepsThroughTheRunsOfEveryFile() {
    SearchToTheEnd();
    const QList<QPair<QString, int>> steps = {
        {"a.log", 2}, {"b.log", 0}, {"b.log", 3}, {"a.log", 2}};
    for (const auto& [file, row] : steps) {
      QTest::keyClick(dialog_, Qt::Key_F4);
      QTRY_VERIFY2(form_->CurrentFile().endsWith(file) && form_->RunsView->SelectedIndex() == row,
                   qPrintable(form_->CurrentFile() + ' ' +
                              QString::number(form_->RunsView->SelectedIndex())));
      QTRY_COMPARE(form_->LogMemo->SelectedText().toLower(), "valve");
    }
    QTest::keyClick(dialog_, Qt::Key_F4, Qt::ShiftModifier);
    QTRY_VERIFY(form_->CurrentFile().endsWith("b.log") && form_->RunsView->SelectedIndex() == 3);
    // In the window too, while the dialog is open.
    form_->activateWindow();
    QTRY_VERIFY(form_->isActiveWindow());
    QTest::keyClick(form_->RunsView, Qt::Key_F4, Qt::ShiftModifier);
    QTRY_VERIFY(form_->CurrentFile().endsWith("b.log") && form_->RunsView->SelectedIndex() == 0);
    QTest::keyClick(form_->RunsView, Qt::Key_F4);
    QTRY_COMPARE(form_->RunsView->SelectedIndex(), 3);
  }

  void escapeStopsTheSearchAndThenCloses() {
    for (int k = 0; k < 50; ++k) logs_->Write(QString("many%1.log").arg(k), Log({"valve"}));
    dialog_->Start();
    QVERIFY(dialog_->Searching());
    QTest::keyClick(dialog_, Qt::Key_Escape);
    QVERIFY(!dialog_->Searching());
    QVERIFY(dialog_->isVisible());
    const int found = dialog_->Results()->topLevelItemCount();
    QCoreApplication::processEvents();
    QCOMPARE(dialog_->Results()->topLevelItemCount(), found);
    QVERIFY(found < 52);
    QTest::keyClick(dialog_, Qt::Key_Escape);
    QVERIFY(!dialog_->isVisible());
  }

  // The search is held where it asks for a stop in its first file, and Escape stops it there:
  // no thread of it goes on past the stop, and nothing of the file is reported.
  void aStopEndsTheSearchInTheFileItSearches_data() {
    QTest::addColumn<int>("step");
    QTest::addColumn<bool>("indexed");
    QTest::newRow("while it loads") << static_cast<int>(SearchStep::Load) << false;
    QTest::newRow("while it searches the rows") << static_cast<int>(SearchStep::Rows) << false;
    QTest::newRow("while it indexes") << static_cast<int>(SearchStep::Load) << true;
    QTest::newRow("while it searches the indexed rows")
        << static_cast<int>(SearchStep::Rows) << true;
  }
  void aStopEndsTheSearchInTheFileItSearches() {
    QFETCH(int, step);
    QFETCH(bool, indexed);
    QStringList lines;
    for (int k = 0; k < 60; ++k) lines << QString("valve %1").arg(k);
    logs_->Write("a.log", Log(lines));
    SetReadPieceBytes(256);
    SetIndexedPieceBytes(256);
    if (indexed) SetInMemoryLimit(0);
    std::atomic<bool> held = false;
    std::atomic<bool> wentOn = false;
    std::mutex mutex;
    std::set<std::thread::id> stopped;  // the threads that have seen the stop
    SetSearchStepHook([&](SearchStep at, const std::atomic<bool>& stop) {
      // Spun on rather than waited for: mingw's std::atomic wait can miss the notification.
      if (!stop && static_cast<int>(at) == step && !held.exchange(true)) {
        while (!stop) std::this_thread::yield();
      }
      if (!stop) return;
      const std::lock_guard lock(mutex);
      if (!stopped.insert(std::this_thread::get_id()).second) wentOn = true;
    });
    const auto reset = qScopeGuard([] {
      SetSearchStepHook(nullptr);
      SetReadPieceBytes(std::nullopt);
      SetIndexedPieceBytes(std::nullopt);
      SetInMemoryLimit(std::nullopt);
    });
    dialog_->Start();
    QTRY_VERIFY(held);
    QTest::keyClick(dialog_, Qt::Key_Escape);
    QVERIFY(!dialog_->Searching());
    QVERIFY(!wentOn);
    QCoreApplication::processEvents();
    QCOMPARE(dialog_->Results()->topLevelItemCount(), 0);
    QVERIFY2(dialog_->StatusText().startsWith("Stopped."), qPrintable(dialog_->StatusText()));
  }

  void aFailureOnItsThreadIsShownNotFatal() {
    SetSearchLoadedHook(
        [](const std::filesystem::path&) { throw std::runtime_error("the disk went away"); });
    SearchToTheEnd();
    SetSearchLoadedHook(nullptr);
    QCOMPARE(dialog_->StatusText(), "the disk went away");
  }

 private:
  void SearchToTheEnd() {
    dialog_->Start();
    QTRY_VERIFY(!dialog_->Searching());
  }

  std::unique_ptr<WindowBench> window_;
  TFormDisplay* form_ = nullptr;
  std::unique_ptr<TestLogs> logs_;
  FindInLogsDialog* dialog_ = nullptr;
};

QTEST_MAIN(FindInLogsWindowTest)
#include "FindInLogsWindowTest.moc"
