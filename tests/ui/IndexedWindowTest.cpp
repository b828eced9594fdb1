// The window on a log above the in-memory limit: the table and the panes show what they show
// below it, and a file changed under the index is read again, with a word in the status line,
// and never shown mixed with what it held before.
#include <QStatusBar>
#include <QtTest>
#include <memory>

#include "DisplayForm.h"
#include "RunsView.h"
#include "StoreLimit.h"
#include "TestLogs.h"
#include "TextPane.h"
#include "WindowBench.h"

namespace {

// What the window shows of row `row`: its table cells and both panes.
QStringList Shown(TFormDisplay& form, int row) {
  form.RunsView->SetSelectedIndex(row);
  // An indexed store's lines are read on a thread of their own.
  if (!QTest::qWaitFor([&form, row] { return form.ShownRow() == row; }, kLoadWaitMs)) {
    return {QStringLiteral("row %1 was never shown").arg(row)};
  }
  QStringList shown{form.LogMemo->Text(), form.ScriptMemo->Text()};
  const QAbstractItemModel* table = form.RunsView->Items();
  for (int column = 0; column < table->columnCount(); ++column) {
    shown << table->index(row, column).data().toString();
  }
  return shown;
}

// A window that holds the text of `path`, to compare with.
std::unique_ptr<WindowBench> HoldingTheText(const QString& path) {
  SetInMemoryLimit(std::nullopt);
  auto bench = std::make_unique<WindowBench>();
  bench->Open(path);
  return bench;
}

}  // namespace

class IndexedWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void cleanup() { SetInMemoryLimit(std::nullopt); }

  void showsWhatAWindowHoldingTheTextShows() {
    const QString path = logs_.Write(
        "two entries.log",
        TestLogs::RunsWithDates(TestLogs::Dates(12), {"A", "B"}, {0, 0, 1, 1, 1, 0, 1, 0, 0, 1}));
    SetInMemoryLimit(0);
    WindowBench indexed;
    indexed.Open(path);
    const std::unique_ptr<WindowBench> held = HoldingTheText(path);
    QVERIFY(indexed.Form().LogData().Indexed());
    QVERIFY(!held->Form().LogData().Indexed());
    QCOMPARE(indexed.Form().RunsView->RowCount(), held->Form().RunsView->RowCount());
    for (int row = 0; row < held->Form().RunsView->RowCount(); ++row) {
      QCOMPARE(Shown(indexed.Form(), row), Shown(held->Form(), row));
    }
    QVERIFY(indexed.Errors().isEmpty());
  }

  // Row 1 shows from the first piece while the index is made, and all of its lines after.
  void theShownRunGrowsWhenTheIndexIsDone() {
    const QByteArray log = TestLogs::FirstRunWithMessages(3, 300);
    const QString path = logs_.Write("long run.log", log);
    SetInMemoryLimit(0);
    WindowBench indexed;
    indexed.Form().Document().SetPieceBytes(400);
    indexed.Open(path);
    const std::unique_ptr<WindowBench> held = HoldingTheText(path);
    QVERIFY(indexed.Form().LogData().Indexed());
    QCOMPARE(indexed.Form().RunsView->SelectedIndex(), 0);
    QCOMPARE(indexed.Form().LogMemo->Text(), held->Form().LogMemo->Text());
    QVERIFY(indexed.Form().LogMemo->Text().endsWith(QStringLiteral("message 299")));
  }

  // A deleted log has nothing to read again: the window keeps its table and says why.
  void aDeletedFileKeepsTheTable() {
    const QString path = logs_.Write("deleted.log", TestLogs::RunsWithDates(TestLogs::Dates(6)));
    SetInMemoryLimit(0);
    WindowBench indexed;
    indexed.Open(path);
    TFormDisplay& form = indexed.Form();
    QVERIFY(QFile::remove(path));
    form.RunsView->SetSelectedIndex(2);
    QTRY_VERIFY(form.statusBar()->currentMessage().contains(QStringLiteral("is gone")));
    QCOMPARE(form.RunsView->RowCount(), 6);
    QCOMPARE(form.LogMemo->Text(), QString());
    QVERIFY(indexed.Errors().isEmpty());
  }

  void aFileChangedUnderTheIndexIsReadAgain_data() {
    QTest::addColumn<QByteArray>("now");
    QTest::addColumn<bool>("replaced");
    const QByteArray before = TestLogs::RunsWithDates(TestLogs::Dates(10));
    QByteArray rewritten = before;
    rewritten.replace("line 2", "LINE 2");
    QTest::newRow("rewritten, of the same size") << rewritten << false;
    QTest::newRow("shortened") << before.left(before.size() * 2 / 3) << false;
    QTest::newRow("replaced by another file")
        << TestLogs::RunsWithDates(TestLogs::Dates(4), {"other"}) << true;
  }

  void aFileChangedUnderTheIndexIsReadAgain() {
    QFETCH(QByteArray, now);
    QFETCH(bool, replaced);
    const QString path = logs_.Write("changes.log", TestLogs::RunsWithDates(TestLogs::Dates(10)));
    SetInMemoryLimit(0);
    WindowBench indexed;
    indexed.Open(path);
    TFormDisplay& form = indexed.Form();
    QVERIFY(form.LogData().Indexed());
    if (replaced) {
      QVERIFY(QFile::remove(path));
      QVERIFY(QFile::rename(logs_.Write("new.log", now), path));
    } else {
      logs_.Write("changes.log", now);
    }

    QSignalSpy loaded(&form, &TFormDisplay::LogLoaded);
    form.RunsView->SetSelectedIndex(1);
    QVERIFY(loaded.wait());
    WAIT_FOR_LOAD(form);
    QVERIFY(form.statusBar()->currentMessage().contains(QStringLiteral("has changed")));
    const std::unique_ptr<WindowBench> held = HoldingTheText(path);
    QCOMPARE(form.RunsView->RowCount(), held->Form().RunsView->RowCount());
    QCOMPARE(Shown(form, 1), Shown(held->Form(), 1));
    QVERIFY(indexed.Errors().isEmpty());
  }

 private:
  TestLogs logs_;
};

WINDOW_TEST_MAIN(IndexedWindowTest)
#include "IndexedWindowTest.moc"
