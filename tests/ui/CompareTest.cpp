// Comparing runs in the window: which run is the baseline, the comparison and its summary,
// stepping through the differences, a baseline chosen by row, an indexed store, and a run that
// grows after it was compared.
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QtTest>

#include "BaselineChoice.h"
#include "CompareCommand.h"
#include "CompareLogs.h"
#include "CompareWindow.h"
#include "DisplayForm.h"
#include "MaskRulesDialog.h"
#include "RunsView.h"
#include "StoreLimit.h"
#include "TestLogs.h"
#include "WindowBench.h"

namespace {

using CompareLogs::FiveRuns;

constexpr int kCompareWaitMs = 10'000;

}  // namespace

class CompareTest : public QObject {
  Q_OBJECT

 private slots:
  void cleanup() { SetInMemoryLimit(std::nullopt); }

  void comparesWithTheNearestEarlierFinishedRunOfTheSameScript() {
    WindowBench bench;
    CompareWindow* shown = CompareRow(bench, 4);
    QVERIFY(shown);
    CompareWindow& compared = *shown;
    // Row 4 was stopped, row 2 ran another script.
    QCOMPARE(compared.Comparison()->Baseline.Row, 2);
    QCOMPARE(compared.Comparison()->Run.Row, 4);
    // The run's log starts with three lines of its header.
    QCOMPARE(compared.Summary(),
             QStringLiteral("1 line only in run 5, 0 only in run 3, 1 changed. First "
                            "difference: line 6 of run 5: \"13:00:03.000  WARNING: Pump A: "
                            "pressure 1.99 bar above limit.\"."));
    QVERIFY(compared.Note().isEmpty());
    QVERIFY(bench.Errors().isEmpty());
  }

  void saysSoWhenNoEarlierRunFinished() {
    WindowBench bench;
    bench.Open(logs_.Write("none.log", FiveRuns()));
    WAIT_FOR_LOAD(bench.Form());
    bench.Form().RunsView->SetSelectedIndex(1);
    Command(bench).CompareWithPrevious();
    QCOMPARE(bench.Form().statusBar()->currentMessage(),
             QStringLiteral("No earlier run of \"C:\\b.vsc\" finished: there is nothing to "
                            "compare run 2 with."));
    QVERIFY(!Command(bench).Window());
  }

  void stepsThroughTheDifferencesWithF7AndShiftF7() {
    WindowBench bench;
    CompareWindow* shown = CompareRow(bench, 4);
    QVERIFY(shown);
    CompareWindow& compared = *shown;
    compared.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&compared));
    const DiffRows& rows = compared.Comparison()->Log;
    // Three header lines and two steps are the same; then the changed step 3, and the error
    // after step 8.
    const std::vector<DiffRows::Stretch> stretches = rows.Differences();
    QCOMPARE(stretches.size(), size_t{2});
    QCOMPARE(stretches[0].First, size_t{5});
    QCOMPARE(stretches[1].First, size_t{11});
    for (const size_t row : {5, 11, 5}) {
      QTest::keyClick(&compared, Qt::Key_F7);
      QCOMPARE(compared.View()->CurrentRow(), std::optional<size_t>(row));
    }
    for (const size_t row : {11, 5}) {
      QTest::keyClick(&compared, Qt::Key_F7, Qt::ShiftModifier);
      QCOMPARE(compared.View()->CurrentRow(), std::optional<size_t>(row));
    }
  }

  void comparesWithTheRowChosenNext() {
    WindowBench bench;
    bench.Open(logs_.Write("choice.log", FiveRuns()));
    WAIT_FOR_LOAD(bench.Form());
    CompareCommand& command = Command(bench);
    bench.Form().RunsView->SetSelectedIndex(4);
    command.ChooseBaseline();
    QVERIFY(command.Choice()->Offered());
    bench.Form().RunsView->SetSelectedIndex(1);
    QVERIFY(!command.Choice()->Offered());
    QTRY_VERIFY_WITH_TIMEOUT(command.Window()->Comparison(), kCompareWaitMs);
    QCOMPARE(command.Window()->Comparison()->Baseline.Row, 1);
    QCOMPARE(command.Window()->Comparison()->Run.Row, 4);

    command.ChooseBaseline();
    auto* number = command.Choice()->findChild<QLineEdit*>(QStringLiteral("BaselineRow"));
    QTest::keyClicks(number, QStringLiteral("9"));
    QTest::keyClick(number, Qt::Key_Return);
    QVERIFY(command.Choice()->Offered());
    QCOMPARE(command.Choice()->findChild<QLabel*>(QStringLiteral("BaselineProblem"))->text(),
             QStringLiteral("There is no row 9: the table has rows 1 to 5."));
    number->clear();
    QTest::keyClicks(number, QStringLiteral("1"));
    QTest::keyClick(number, Qt::Key_Return);
    QTRY_VERIFY_WITH_TIMEOUT(
        command.Window()->Comparison() && command.Window()->Comparison()->Baseline.Row == 0,
        kCompareWaitMs);
    QCOMPARE(command.Window()->Comparison()->Run.Row, 1);
  }

  void comparesOnAnIndexedStoreAsInMemory() {
    const QString path = logs_.Write("indexed.log", FiveRuns());
    WindowBench held;
    const CompareWindow* inMemory = CompareRow(held, 4, path);
    QVERIFY(inMemory);
    SetInMemoryLimit(0);
    WindowBench indexed;
    const CompareWindow* shown = CompareRow(indexed, 4, path);
    QVERIFY(shown);
    const CompareWindow& compared = *shown;
    QVERIFY(indexed.Form().LogData().Indexed());
    QCOMPARE(compared.Summary(), inMemory->Summary());
    QCOMPARE(compared.Comparison()->Run.Log.Line(11),
             std::string_view("13:00:40.000  ERROR: Pump A: no liquid detected."));
    QCOMPARE(compared.Comparison()->Log.Diff().Blocks, inMemory->Comparison()->Log.Diff().Blocks);
  }

  void notesThatTheRunGrewAndComparesAgainWithF5() {
    WindowBench bench;
    CompareWindow* shown = CompareRow(bench, 4);
    QVERIFY(shown);
    CompareWindow& compared = *shown;
    emit bench.Form().LogAppended(0, 4);
    QCOMPARE(compared.Note(),
             QStringLiteral("Run 5 has grown since it was compared: F5 compares again."));
    compared.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&compared));
    QTest::keyClick(&compared, Qt::Key_F5);
    // The comparison shown goes at once, and the new one comes.
    QVERIFY(!compared.Comparison());
    QTRY_VERIFY_WITH_TIMEOUT(compared.Comparison(), kCompareWaitMs);
    QVERIFY(compared.Note().isEmpty());
    // A row that changed after both runs leaves the comparison as it is.
    emit bench.Form().LogAppended(0, 5);
    QVERIFY(compared.Note().isEmpty());
  }

  void showsTheScriptTextsToo() {
    WindowBench bench;
    CompareWindow* shown = CompareRow(bench, 4);
    QVERIFY(shown);
    CompareWindow& compared = *shown;
    compared.ShowPage(CompareView::Page::Script);
    QCOMPARE(compared.Summary(),
             QStringLiteral("The script texts of run 5 and run 3 are the same."));
    bench.Form().RunsView->SetSelectedIndex(4);
    Command(bench).Compare(4, 1);
    QTRY_VERIFY_WITH_TIMEOUT(compared.Comparison() && compared.Comparison()->Baseline.Row == 1,
                             kCompareWaitMs);
    QCOMPARE(compared.Summary(),
             QStringLiteral("0 lines only in run 5, 0 only in run 2, 1 changed. First "
                            "difference: line 1 of run 5: \"script of a.vsc\"."));
  }

  void stopsWhenTheLogIsReadAgain() {
    WindowBench bench;
    QStringList steps;
    for (int k = 0; k < 200'000; ++k) steps << QStringLiteral("step %1").arg(k % 13);
    bench.Open(logs_.Write("long.log",
                           CompareLogs::LogOf({{"a.vsc", CompareLogs::kFinished, steps},
                                               {"a.vsc", CompareLogs::kFinished, steps.mid(1)}})));
    WAIT_FOR_LOAD(bench.Form());
    bench.Form().RunsView->SetSelectedIndex(1);
    Command(bench).CompareWithPrevious();
    bench.Form().ReloadLogFile();
    QCOMPARE(Command(bench).Window()->Summary(),
             QStringLiteral("The comparison stopped: the log is being read again. F5 compares "
                            "again."));
    WAIT_FOR_LOAD(bench.Form());
    QTest::keyClick(Command(bench).Window(), Qt::Key_F5);
    QTRY_VERIFY_WITH_TIMEOUT(Command(bench).Window()->Comparison(), kCompareWaitMs);
    QCOMPARE(Command(bench).Window()->Comparison()->Baseline.Row, 0);
  }

  void theMaskingDialogKeepsOnlyValidRules() {
    MaskRulesDialog dialog(MaskRules({"well (\\d+"}));
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    const auto* problem = dialog.findChild<QLabel*>(QStringLiteral("MaskRulesProblem"));
    QVERIFY(!problem->isHidden());
    QVERIFY2(problem->text().contains("well (\\d+"), qPrintable(problem->text()));
    dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::RestoreDefaults)->click();
    QCOMPARE(dialog.Rules().Patterns(), MaskRules::DefaultPatterns());
    dialog.findChild<QPlainTextEdit*>()->setPlainText("P-\\d+\n\n\\d+\n");
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.Rules().Patterns(), QStringList({"P-\\d+", "\\d+"}));
  }

 private:
  static CompareCommand& Command(WindowBench& bench) {
    return *bench.Form().findChild<CompareCommand*>();
  }

  // Opens `path` (five runs unless given), selects row `row` and compares it with the previous
  // finished run, Ctrl+D: the window once the comparison is shown, or null when it is not.
  CompareWindow* CompareRow(WindowBench& bench, int row, QString path = {}) {
    if (path.isEmpty()) path = logs_.Write("five.log", FiveRuns());
    bench.Open(path);
    [&] {
      WAIT_FOR_LOAD(bench.Form());
      QVERIFY(bench.ShowActive());
      bench.Form().RunsView->SetSelectedIndex(row);
      QTest::keyClick(&bench.Form(), Qt::Key_D, Qt::ControlModifier);
      QTRY_VERIFY_WITH_TIMEOUT(Command(bench).Window() && Command(bench).Window()->Comparison(),
                               kCompareWaitMs);
    }();
    return QTest::currentTestFailed() ? nullptr : Command(bench).Window();
  }

  TestLogs logs_;
};

WINDOW_TEST_MAIN(CompareTest)
#include "CompareTest.moc"
