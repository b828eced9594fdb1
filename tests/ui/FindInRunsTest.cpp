#include <QAbstractItemModelTester>
#include <QAction>
#include <QCheckBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QStatusBar>
#include <QtTest>
#include <atomic>
#include <new>
#include <optional>

#include "DisplayForm.h"
#include "EncodingMenu.h"
#include "FindBar.h"
#include "RunSearch.h"
#include "RunsSearch.h"
#include "RunsView.h"
#include "StoreLimit.h"
#include "TestLogs.h"
#include "TextPane.h"
#include "WindowBench.h"

// Search > Find in runs, its "Matches" column and filter, F4, and the optional "Outcome" and
// "Lines" columns, driven through the window's keys and menus.

namespace {

struct Run {
  QString date;
  QStringList lines;
};

// One entry with these runs, each ended by the finished line.
QByteArray Log(const QList<Run>& runs, bool utf8 = false) {
  QByteArray text = "------ NextPart = Script\r\nscript\r\n------ NextPart = LogMessage\r\n";
  for (qsizetype k = 0; k < runs.size(); ++k) {
    text += "==>loading script \"S" + QByteArray::number(k) +
            "\".\r\n-\r\nStarted: " + runs[k].date.toLatin1() + "\r\n";
    for (const QString& line : runs[k].lines) {
      text += (utf8 ? line.toUtf8() : line.toLatin1()) + "\r\n";
    }
    text += "==>script execution finished.\r\n";
  }
  return text + "------ NextEntry\r\n";
}

// Six runs in five rows: the second and the third run share a date and time.
const QList<Run> kRuns = {
    {"10:00", {"Valve A open", "valve a open; VALVE A closed"}},
    {"10:05", {"pump failure"}},
    {"10:05", {"pump on"}},
    {"10:10", {"idle"}},
    {"10:15", {"idle", "valve A open"}},
    {"10:20", {"idle"}},
};

// A run of three lines that start with an accented letter in either case, and a run without it.
QList<Run> UmlautRuns() {
  return {{"10:00", {"\u00c4rger", "\u00e4rger", "\u00e4RGER"}}, {"10:05", {"arger"}}};
}

// Run logs are searched in blocks of this size, so that a small log takes many.
constexpr size_t kBlockBytes = 4096;

// The start of one run of `lines` lines, every `every`th with "valve" in it, that is still
// going, its last line not yet ended.
QByteArray RunningRun(int lines, int every) {
  QByteArray text =
      "------ NextPart = Script\r\ns\r\n------ NextPart = LogMessage\r\n"
      "==>loading script \"A\".\r\n-\r\nStarted: 1\r\n";
  for (int line = 0; line < lines; ++line) {
    text += (line % every == 0 ? "valve step " : "idle step ") + QByteArray::number(line) + "\r\n";
  }
  return text + "va";
}

QString Plain(QString text) {
  return text.remove(QLatin1Char('&'));
}

}  // namespace

class FindInRunsTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    window_ = std::make_unique<WindowBench>();
    form_ = &window_->Form();
    logs_ = std::make_unique<TestLogs>();
    tester_ = std::make_unique<QAbstractItemModelTester>(
        form_->RunsView->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
  }
  void cleanup() {
    SetInMemoryLimit(std::nullopt);
    SetSearchBlockBytes(std::nullopt);
    tester_.reset();
    const QStringList errors = window_->Errors();
    window_.reset();
    QVERIFY2(errors.isEmpty(), qPrintable(errors.join('\n')));
  }

  void ctrlShiftFOpensTheBarAndTheColumn() {
    OpenAndShow(Log(kRuns));
    QVERIFY(form_->RunsView->isColumnHidden(TRunsTableModel::MatchesColumn));
    OpenBar();
    QCOMPARE(QApplication::focusWidget(), Bar()->NeedleEdit());
    QVERIFY(!form_->RunsView->isColumnHidden(TRunsTableModel::MatchesColumn));
    QCOMPARE(form_->RunsView->model()->headerData(TRunsTableModel::MatchesColumn, Qt::Horizontal),
             QVariant(QStringLiteral("Matches")));
    QCOMPARE(MatchesColumn(), QStringList({"", "", "", "", ""}));
    // Next to the row numbers, in view at the window's first size; the model keeps it last.
    const QHeaderView* header = form_->RunsView->header();
    QCOMPARE(header->visualIndex(TRunsTableModel::MatchesColumn),
             header->visualIndex(TRunsTableModel::RunColumn) + 1);
    QVERIFY(header->sectionViewportPosition(TRunsTableModel::MatchesColumn) +
                header->sectionSize(TRunsTableModel::MatchesColumn) <=
            form_->RunsView->viewport()->width());
  }

  void countsTheLinesWithMatchesOfEachRowsRun_data() {
    QTest::addColumn<QString>("needle");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<QStringList>("matches");
    QTest::addColumn<QString>("status");
    QTest::newRow("case ignored, a line with two matches counts once")
        << "VALVE a" << false << QStringList{"2", "0", "0", "1", "0"} << "2 runs with matches";
    QTest::newRow("match case") << "Valve A" << true << QStringList{"1", "0", "0", "0", "0"}
                                << "1 run with matches";
    QTest::newRow("a folded row counts the run it shows")
        << "pump" << false << QStringList{"0", "1", "0", "0", "0"} << "1 run with matches";
    QTest::newRow("a run folded away is not searched")
        << "failure" << false << QStringList{"0", "0", "0", "0", "0"} << "No matches";
    QTest::newRow("no match across a line end")
        << "closedpump" << false << QStringList{"0", "0", "0", "0", "0"} << "No matches";
  }
  void countsTheLinesWithMatchesOfEachRowsRun() {
    QFETCH(QString, needle);
    QFETCH(bool, matchCase);
    QFETCH(QStringList, matches);
    QFETCH(QString, status);
    OpenAndShow(Log(kRuns));
    OpenBar();
    CheckBox("Match case")->setChecked(matchCase);
    QTest::keyClicks(Bar()->NeedleEdit(), needle);
    QTRY_COMPARE(Bar()->Status(), status);
    QCOMPARE(MatchesColumn(), matches);
    QStringList quiet;
    for (const QString& count : matches) quiet << (count == "0" ? "quiet" : "");
    QCOMPARE(QuietRows(), quiet);
  }

  void foldsAccentedLettersOnlyInWindows1252_data() {
    QTest::addColumn<bool>("utf8");
    QTest::addColumn<QString>("needle");
    QTest::addColumn<QStringList>("matches");
    QTest::newRow("Windows-1252") << false << "\u00e4rger" << QStringList{"3", "0"};
    QTest::newRow("UTF-8") << true << "\u00e4rger" << QStringList{"2", "0"};
    QTest::newRow("UTF-8, ASCII letters") << true << "\u00c4RGER" << QStringList{"1", "0"};
  }
  void foldsAccentedLettersOnlyInWindows1252() {
    QFETCH(bool, utf8);
    QFETCH(QString, needle);
    QFETCH(QStringList, matches);
    OpenAndShow(Log(UmlautRuns(), utf8));
    OpenBar();
    Bar()->NeedleEdit()->insert(needle);
    QTRY_COMPARE(MatchesColumn(), matches);
  }

  // The UTF-8 bytes of "ä" read as Windows-1252 are "Ã¤": another encoding, other matches.
  void anotherEncodingCountsAnew() {
    OpenAndShow(Log(UmlautRuns(), true));
    OpenBar();
    Bar()->NeedleEdit()->insert("\u00c3\u00a4");
    QTRY_COMPARE(MatchesColumn(), (QStringList{"0", "0"}));
    form_->findChild<EncodingMenu*>()->Choose(EncodingChoice::Windows1252);
    QTRY_COMPARE(MatchesColumn(), (QStringList{"2", "0"}));
  }

  void onlyRunsWithMatchesKeepsTheRowNumbers() {
    OpenAndShow(Log(kRuns));
    OpenBar();
    QTest::keyClicks(Bar()->NeedleEdit(), "valve a");
    QTRY_COMPARE(Bar()->Status(), QStringLiteral("2 runs with matches"));
    CheckBox("Only runs with matches")->setChecked(true);
    QCOMPARE(ShownColumn(TRunsTableModel::RunColumn), QStringList({"1", "4"}));
    QCOMPARE(ShownColumn(TRunsTableModel::MatchesColumn), QStringList({"2", "1"}));
    QCOMPARE(form_->RunsView->RowCount(), 5);

    ClickShownRow(1);
    QCOMPARE(form_->RunsView->SelectedIndex(), 3);
    QCOMPARE(form_->LogMemo->Text(), QStringLiteral("idle\nvalve A open"));

    CheckBox("Only runs with matches")->setChecked(false);
    QCOMPARE(ShownColumn(TRunsTableModel::RunColumn), QStringList({"1", "2", "3", "4", "5"}));
    QCOMPARE(form_->RunsView->SelectedIndex(), 3);
  }

  void aNewTextFillsTheFilteredTableAgain() {
    OpenAndShow(Log(kRuns));
    OpenBar();
    QTest::keyClicks(Bar()->NeedleEdit(), "idle");
    CheckBox("Only runs with matches")->setChecked(true);
    QTRY_COMPARE(ShownColumn(TRunsTableModel::RunColumn), QStringList({"3", "4", "5"}));
    Bar()->NeedleEdit()->selectAll();
    QTest::keyClicks(Bar()->NeedleEdit(), "pump");
    QTRY_COMPARE(ShownColumn(TRunsTableModel::RunColumn), QStringList({"2"}));
  }

  void runSelectionRequests_data() {
    QTest::addColumn<int>("n");
    QTest::addColumn<int>("selected");
    QTest::addColumn<bool>("filterStaysOn");
    QTest::newRow("a row the filter shows") << 4 << 3 << true;
    QTest::newRow("a row the filter hides") << 3 << 2 << false;
    QTest::newRow("a row beyond the table") << 6 << 0 << true;
  }
  void runSelectionRequests() {
    QFETCH(int, n);
    QFETCH(int, selected);
    QFETCH(bool, filterStaysOn);
    OpenAndShow(Log(kRuns));
    OpenBar();
    QTest::keyClicks(Bar()->NeedleEdit(), "valve a");
    QTRY_COMPARE(Bar()->Status(), QStringLiteral("2 runs with matches"));
    CheckBox("Only runs with matches")->setChecked(true);
    QCOMPARE(form_->RunsView->SelectedIndex(), 0);

    TMessage message{kSelectRunMessage, n, 0, 0};
    form_->Dispatch(message);

    QCOMPARE(form_->RunsView->SelectedIndex(), selected);
    QCOMPARE(CheckBox("Only runs with matches")->isChecked(), filterStaysOn);
    QCOMPARE(ShownColumn(TRunsTableModel::RunColumn).size(), filterStaysOn ? 2 : 5);
    const QModelIndex current = form_->RunsView->currentIndex();
    QCOMPARE(current.siblingAtColumn(TRunsTableModel::RunColumn).data().toString(),
             QString::number(selected + 1));
  }

  void stepsThroughTheRowsWithMatches_data() {
    QTest::addColumn<bool>("fromTheBar");
    QTest::addColumn<bool>("forward");
    QTest::addColumn<QList<int>>("rows");
    QTest::addColumn<QStringList>("statuses");
    const QList<int> rows = {3, 0, 3};
    const QStringList forward = {"2 of 2 runs with matches",
                                 "1 of 2 runs with matches \u00b7 Wrapped to the top",
                                 "2 of 2 runs with matches"};
    const QStringList backward = {"2 of 2 runs with matches \u00b7 Wrapped to the bottom",
                                  "1 of 2 runs with matches",
                                  "2 of 2 runs with matches \u00b7 Wrapped to the bottom"};
    QTest::newRow("F4 in the table") << false << true << rows << forward;
    QTest::newRow("Shift+F4 in the table") << false << false << rows << backward;
    QTest::newRow("Enter in the bar") << true << true << rows << forward;
    QTest::newRow("Shift+Enter in the bar") << true << false << rows << backward;
  }
  void stepsThroughTheRowsWithMatches() {
    QFETCH(bool, fromTheBar);
    QFETCH(bool, forward);
    QFETCH(QList<int>, rows);
    QFETCH(QStringList, statuses);
    OpenAndShow(Log(kRuns));
    OpenBar();
    QTest::keyClicks(Bar()->NeedleEdit(), "valve a");
    QTRY_COMPARE(Bar()->Status(), QStringLiteral("2 runs with matches"));
    QWidget* keys = fromTheBar ? static_cast<QWidget*>(Bar()->NeedleEdit()) : form_->RunsView;
    keys->setFocus();
    for (qsizetype step = 0; step < rows.size(); ++step) {
      QTest::keyClick(keys, fromTheBar ? Qt::Key_Return : Qt::Key_F4,
                      forward ? Qt::NoModifier : Qt::ShiftModifier);
      QCOMPARE(form_->RunsView->SelectedIndex(), rows[step]);
      QCOMPARE(Bar()->Status(), statuses[step]);
      // The log pane's Find stands on the first match of the run.
      const TFindBar* paneBar = form_->findChild<TFindBar*>(QStringLiteral("FindBar"));
      QVERIFY(paneBar->isVisible());
      QCOMPARE(paneBar->Needle(), QStringLiteral("valve a"));
      QCOMPARE(form_->LogMemo->SelectedText().toLower(), QStringLiteral("valve a"));
      QCOMPARE(form_->LogMemo->Selection().From.Ref.Line, size_t{rows[step] == 3 ? 1u : 0u});
      QCOMPARE(QApplication::focusWidget(), keys);
    }
  }

  void escapeTakesTheColumnAndTheFilterAway() {
    OpenAndShow(Log(kRuns));
    OpenBar();
    QTest::keyClicks(Bar()->NeedleEdit(), "valve a");
    QTRY_COMPARE(Bar()->Status(), QStringLiteral("2 runs with matches"));
    CheckBox("Only runs with matches")->setChecked(true);
    QTest::keyClick(Bar()->NeedleEdit(), Qt::Key_Escape);
    QVERIFY(!Bar()->isVisible());
    QVERIFY(form_->RunsView->isColumnHidden(TRunsTableModel::MatchesColumn));
    QVERIFY(!CheckBox("Only runs with matches")->isChecked());
    QCOMPARE(ShownColumn(TRunsTableModel::RunColumn), QStringList({"1", "2", "3", "4", "5"}));
    QCOMPARE(MatchesColumn(), QStringList({"", "", "", "", ""}));
    QCOMPARE(QuietRows(), QStringList({"", "", "", "", ""}));
    QCOMPARE(QApplication::focusWidget(), form_->RunsView);

    // Opened again, the bar searches for its text again.
    OpenBar();
    QTRY_COMPARE(MatchesColumn(), QStringList({"2", "0", "0", "1", "0"}));
  }

  // A search that is cancelled reports nothing afterwards, whether it had finished or not.
  void escapeDuringASearchLeavesNoCounts() {
    OpenAndShow(Log(ManyRuns()));
    OpenBar();
    QTest::keyClicks(Bar()->NeedleEdit(), "step 7");
    QTest::keyClick(Bar()->NeedleEdit(), Qt::Key_Escape);
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    QVERIFY(std::ranges::all_of(MatchesColumn(), &QString::isEmpty));
    QCOMPARE(form_->statusBar()->currentMessage(), QString());
  }

  // The file is read again while its runs are searched: the search stops before the store is
  // emptied, and starts again over what was read.
  void reloadDuringASearch() {
    const QList<Run> before = ManyRuns();
    QList<Run> after = before;
    after.removeFirst();
    after.append(Run{"new", {"step 7 and step 7"}});
    const QString path = logs_->Write("find.log", Log(before));
    window_->Open(path);
    QVERIFY(window_->ShowActive());
    OpenBar();
    CheckBox("Only runs with matches")->setChecked(true);
    QTest::keyClicks(Bar()->NeedleEdit(), "step 7");
    logs_->Write("find.log", Log(after));
    window_->Reload();
    const int rows = static_cast<int>(after.size());
    QCOMPARE(form_->RunsView->RowCount(), rows);
    QTRY_COMPARE(Bar()->Status(), QStringLiteral("%1 runs with matches").arg(rows));
    QCOMPARE(MatchesColumn().last(), QStringLiteral("1"));
    QCOMPARE(MatchesColumn().first(), QStringLiteral("11"));
    QVERIFY(CheckBox("Only runs with matches")->isChecked());
  }

  // The bar is open when a load starts: its rows are counted as its pieces bring them.
  // The rows are counted in parts at once, and reported in row order all the same, whichever
  // part ends first: a search that starts again after a load goes on from the first row not
  // reported.
  void countsComeInRowOrderWhicheverPartEndsFirst() {
    QList<Run> runs;
    QStringList expected;
    for (int run = 0; run < 400; ++run) {
      QStringList lines(run % 13, QStringLiteral("valve open"));
      lines << QStringList(run % 7 * 200, QStringLiteral("idle"));
      runs.append(Run{QString::number(run), lines});
      expected << QString::number(run % 13);
    }
    OpenAndShow(Log(runs));
    OpenBar();
    QTest::keyClicks(Bar()->NeedleEdit(), "VALVE");
    QTRY_COMPARE(MatchesColumn(), expected);
    int nextRow = 0;
    connect(form_->Document().findChild<RunsSearch*>(), &RunsSearch::Counted, this,
            [&](int firstRow, const std::vector<size_t>& counts) {
              QCOMPARE(firstRow, nextRow);
              nextRow += static_cast<int>(counts.size());
            });
    CheckBox("Match case")->setChecked(true);
    QTRY_COMPARE(Bar()->Status(), QStringLiteral("No matches"));
    QCOMPARE(nextRow, static_cast<int>(runs.size()));
  }

  void theRowsOfALoadAreCountedAsTheyCome() {
    window_->Open(logs_->Write("first.log", Log({Run{"x", {"nothing"}}})));
    QVERIFY(window_->ShowActive());
    OpenBar();
    QTest::keyClicks(Bar()->NeedleEdit(), "step 7");
    form_->Document().SetPieceBytes(20000);
    QSignalSpy shown(form_, &TFormDisplay::LoadedRowsShown);
    window_->Open(logs_->Write("find.log", Log(ManyRuns())));
    QVERIFY(shown.size() >= 2);  // the first rows, and the rest once the load has finished
    QTRY_COMPARE(Bar()->Status(), QStringLiteral("200 runs with matches"));
    QCOMPARE(MatchesColumn(), QStringList(200, QStringLiteral("11")));
  }

  // A run that was still going gains lines and a new run follows it: only the rows from the one
  // that changed are counted again, so that a count ends while a large log keeps growing.
  void aFollowedFileThatGrowsIsSearchedAgain() {
    const QByteArray start =
        "------ NextPart = Script\r\ns\r\n------ NextPart = LogMessage\r\n"
        "==>loading script \"A\".\r\n-\r\nStarted: 1\r\nvalve\r\n==>script execution finished.\r\n"
        "==>loading script \"I\".\r\n-\r\nStarted: 2\r\nidle\r\n==>script execution finished.\r\n"
        "==>loading script \"B\".\r\n-\r\nStarted: 3\r\npump\r\n";
    form_->FollowForThisWindow();
    OpenAndShow(start);
    OpenBar();
    QTest::keyClicks(Bar()->NeedleEdit(), "valve");
    QTRY_COMPARE(MatchesColumn(), QStringList({"1", "0", "0"}));
    QTRY_COMPARE(Bar()->Status(), QStringLiteral("1 run with matches"));
    QSignalSpy appended(form_, &TFormDisplay::LogAppended);
    QSignalSpy changed(form_->RunsView->Items(), &QAbstractItemModel::dataChanged);
    QFile file(logs_->Path("find.log"));
    QVERIFY(file.open(QIODevice::Append));
    file.write(
        "valve\r\nvalve again\r\n==>script execution finished.\r\n"
        "==>loading script \"C\".\r\n-\r\nStarted: 4\r\nvalve\r\n");
    file.close();
    QTRY_COMPARE(MatchesColumn(), QStringList({"1", "0", "2", "1"}));
    QCOMPARE(Bar()->Status(), QStringLiteral("3 runs with matches"));
    int firstChangedRow = form_->RunsView->RowCount();
    for (const QList<QVariant>& update : appended) {
      firstChangedRow = std::min(firstChangedRow, update.at(1).toInt());
    }
    QVERIFY(firstChangedRow > 0);
    for (const QList<QVariant>& change : changed) {
      QVERIFY(change.first().toModelIndex().row() >= firstChangedRow);
    }
  }

  // The file grows before a count has reached its end: the rows it had not counted yet are
  // counted too.
  void growthDuringACountCountsEveryRow() {
    OpenAndShow(Log(ManyRuns()));
    OpenBar();
    QTest::keyClicks(Bar()->NeedleEdit(), "step 7");
    emit form_->LogAppended(0, form_->RunsView->RowCount() - 1);
    QTRY_COMPARE(Bar()->Status(), QStringLiteral("200 runs with matches"));
    QCOMPARE(MatchesColumn(), QStringList(200, QStringLiteral("11")));
  }

  // On an indexed log, a cancel during the search of a long run waits for the block the search
  // is in, and no more has been read than that block.
  void aCancelWaitsForOneBlockOfALongRun() {
    SetInMemoryLimit(0);
    SetSearchBlockBytes(kBlockBytes);
    OpenAndShow(RunningRun(20000, 10));
    const LogStore& store = form_->LogData();
    QVERIFY(store.Indexed());
    RunsSearch& search = form_->Document().Search();
    QSemaphore firstBlock;
    std::atomic<int> blocks = 0;
    std::atomic<uint64_t> read = 0;
    search.SetBlockSearched([&](uint64_t bytesRead) {
      read = bytesRead;
      search.Stop();
      if (++blocks == 1) firstBlock.release();
    });
    QSignalSpy counted(&search, &RunsSearch::Counted);
    search.Start(std::make_shared<TextLineMatcher>("valve", store.TextEncoding, false), store,
                 RowLogSpans(store));
    firstBlock.acquire();
    search.Cancel();
    search.SetBlockSearched({});
    QCOMPARE(blocks.load(), 1);
    QVERIFY2(read <= kBlockBytes, qPrintable(QString::number(read)));
    QCoreApplication::processEvents();
    QCOMPARE(counted.size(), 0);
  }

  // A followed run that keeps growing is counted on from its last line end counted, not read
  // again from its start, and its count stays exact, with the line that was not ended then.
  void aGrownRunIsCountedOnFromWhereItsCountEnded() {
    SetInMemoryLimit(0);
    SetSearchBlockBytes(kBlockBytes);
    form_->FollowForThisWindow();
    const QByteArray start = RunningRun(5000, 100);
    OpenAndShow(start);
    QVERIFY(form_->LogData().Indexed());
    OpenBar();
    QTest::keyClicks(Bar()->NeedleEdit(), "VALVE");
    QTRY_COMPARE(MatchesColumn(), QStringList{"50"});
    std::atomic<uint64_t> mostRead = 0;
    form_->Document().Search().SetBlockSearched(
        [&](uint64_t bytesRead) { mostRead = std::max<uint64_t>(mostRead, bytesRead); });
    QByteArray grown = "lve\r\n";
    for (int line = 0; line < 100; ++line) grown += line % 10 == 0 ? "valve\r\n" : "idle\r\n";
    QFile file(logs_->Path("find.log"));
    QVERIFY(file.open(QIODevice::Append));
    file.write(grown);
    file.close();
    QTRY_COMPARE(MatchesColumn(), QStringList{"61"});
    form_->Document().Search().SetBlockSearched({});
    QVERIFY2(mostRead > 0 && mostRead <= static_cast<uint64_t>(grown.size()) + kBlockBytes,
             qPrintable(QString::number(mostRead)));
  }

  // Lack of memory on a search thread is told in the status line, and the window goes on.
  void lackOfMemoryInTheSearchIsTold() {
    OpenAndShow(Log(kRuns));
    form_->Document().Search().SetBlockSearched([](uint64_t) { throw std::bad_alloc(); });
    OpenBar();
    QTest::keyClicks(Bar()->NeedleEdit(), "valve");
    QTRY_VERIFY(form_->statusBar()->currentMessage().contains("memory"));
    form_->Document().Search().SetBlockSearched({});
    QTest::keyClicks(Bar()->NeedleEdit(), " a");
    QTRY_COMPARE(MatchesColumn(), QStringList({"2", "0", "0", "1", "0"}));
  }

  // With the newest row with matches selected, following goes on to the newest run that holds
  // the text, and the filter stays as the user set it.
  void followingWithTheFilterOn_data() {
    QTest::addColumn<bool>("appended");  // or the file written anew, which is read whole
    QTest::addColumn<QString>("newRun");
    QTest::addColumn<QStringList>("matches");
    QTest::addColumn<int>("selected");
    QTest::addColumn<QStringList>("shown");
    for (const bool appended : {true, false}) {
      const char* how = appended ? "appended" : "written anew";
      QTest::addRow("a new run with matches, %s", how)
          << appended << "valve B open" << QStringList{"1", "0", "1", "1"} << 3
          << QStringList{"1", "3", "4"};
      QTest::addRow("a new run without, %s", how)
          << appended << "pump on" << QStringList{"1", "0", "1", "0"} << 2 << QStringList{"1", "3"};
    }
  }
  void followingWithTheFilterOn() {
    QFETCH(bool, appended);
    QFETCH(QString, newRun);
    QFETCH(QStringList, matches);
    QFETCH(int, selected);
    QFETCH(QStringList, shown);
    const QList<Run> runs = {
        {"10:00", {"valve A open"}}, {"10:05", {"idle"}}, {"10:10", {"valve"}}};
    const QList<Run> grown = runs + QList<Run>{{"10:15", {newRun}}};
    // Without the entry's end, the new run is what the file gains at its end.
    const auto text = [appended](const QList<Run>& all) {
      return appended ? Log(all).chopped(QByteArray("------ NextEntry\r\n").size()) : Log(all);
    };
    form_->FollowForThisWindow();
    OpenAndShow(text(runs));
    OpenBar();
    QTest::keyClicks(Bar()->NeedleEdit(), "valve");
    QTRY_COMPARE(Bar()->Status(), QStringLiteral("2 runs with matches"));
    CheckBox("Only runs with matches")->setChecked(true);
    form_->RunsView->SetSelectedIndex(2);
    if (appended) {
      QFile file(logs_->Path("find.log"));
      QVERIFY(file.open(QIODevice::Append));
      file.write(text(grown).mid(text(runs).size()));
    } else {
      logs_->Write("find.log", text(grown));
    }
    QTRY_COMPARE(MatchesColumn(), matches);
    QTRY_COMPARE(form_->RunsView->SelectedIndex(), selected);
    QVERIFY(CheckBox("Only runs with matches")->isChecked());
    QCOMPARE(ShownColumn(TRunsTableModel::RunColumn), shown);
    QCOMPARE(form_->LogMemo->Text(), selected == 3 ? newRun : QStringLiteral("valve"));
  }

  void optionalColumnsFromTheHeader_data() {
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("column");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("Outcome") << "Outcome" << int(TRunsTableModel::OutcomeColumn)
                             << QStringList{"finished", "stopped", "open", "open"};
    QTest::newRow("Lines") << "Lines" << int(TRunsTableModel::LinesColumn)
                           << QStringList{"4", "1", "2", "1"};
  }
  void optionalColumnsFromTheHeader() {
    QFETCH(QString, title);
    QFETCH(int, column);
    QFETCH(QStringList, texts);
    OpenAndShow(
        "------ NextPart = Script\r\ns\r\n------ NextPart = LogMessage\r\n"
        "==>loading script \"A\".\r\n-\r\nStarted: 1\r\n==>script type: Method\r\n"
        "File name of script: C:\\a.vsc\r\nm\r\n==>script execution finished.\r\n"
        "==>loading script \"B\".\r\n-\r\nStarted: 2\r\nm\r\n==>script execution stopped by "
        "user.\r\n"
        "==>loading script \"C\".\r\n-\r\nStarted: 3\r\nm\r\n------ NextEntry\r\n"
        "------ NextPart = Script\r\ns\r\n------ NextPart = LogMessage\r\n"
        "==>loading script \"D\".\r\n-\r\nStarted: 4\r\nm\r\n");
    for (const int optional : {TRunsTableModel::OutcomeColumn, TRunsTableModel::LinesColumn}) {
      QVERIFY(form_->RunsView->isColumnHidden(optional));
    }
    QCOMPARE(form_->RunsView->model()->headerData(column, Qt::Horizontal), QVariant(title));
    QAction* action = HeaderAction(title);
    QVERIFY(action && !action->isChecked());

    action->trigger();
    QVERIFY(!form_->RunsView->isColumnHidden(column));
    QCOMPARE(ShownColumn(column), texts);
    // The next window shows the column from the start, and only that one.
    {
      TFormDisplay next;
      QVERIFY(!next.RunsView->isColumnHidden(column));
      const int other = column == TRunsTableModel::OutcomeColumn ? TRunsTableModel::LinesColumn
                                                                 : TRunsTableModel::OutcomeColumn;
      QVERIFY(next.RunsView->isColumnHidden(other));
    }
    action->trigger();
    QVERIFY(form_->RunsView->isColumnHidden(column));
    const TFormDisplay next;
    QVERIFY(next.RunsView->isColumnHidden(column));
  }

 private:
  // Two hundred runs of 400 lines each; "step 7" stands in eleven lines of each run: 7 and 70
  // to 79.
  static QList<Run> ManyRuns() {
    QStringList lines;
    for (int line = 0; line < 400; ++line) lines << QStringLiteral("step %1 done").arg(line);
    QList<Run> runs;
    for (int run = 0; run < 200; ++run) runs.append(Run{QString::number(run), lines});
    return runs;
  }

  TFindBar* Bar() const { return form_->findChild<TFindBar*>(QStringLiteral("FindInRunsBar")); }

  QCheckBox* CheckBox(const QString& text) const {
    for (QCheckBox* box : Bar()->findChildren<QCheckBox*>()) {
      if (Plain(box->text()) == text) return box;
    }
    qFatal("no check box \"%s\" in the bar", qPrintable(text));
  }

  QAction* HeaderAction(const QString& text) const {
    for (QAction* action : form_->RunsView->header()->actions()) {
      if (Plain(action->text()) == text) return action;
    }
    return nullptr;
  }

  // The "Matches" cell of every table row, shown or not.
  QStringList MatchesColumn() const {
    const TRunsTableModel* table = form_->RunsView->Items();
    QStringList texts;
    for (int row = 0; row < table->rowCount(); ++row) {
      texts << table->index(row, TRunsTableModel::MatchesColumn).data().toString();
    }
    return texts;
  }

  // For every table row, "quiet" where its cells show in another colour than the table's text.
  QStringList QuietRows() const {
    const TRunsTableModel* table = form_->RunsView->Items();
    const QColor text = form_->RunsView->palette().color(QPalette::Text);
    QStringList rows;
    for (int row = 0; row < table->rowCount(); ++row) {
      const QVariant colour =
          table->index(row, TRunsTableModel::ScriptColumn).data(Qt::ForegroundRole);
      rows << (colour.isValid() && colour.value<QBrush>().color() != text ? "quiet" : "");
    }
    return rows;
  }

  // The cells of `column` in the rows the view shows.
  QStringList ShownColumn(int column) const {
    const QAbstractItemModel* shown = form_->RunsView->model();
    QStringList texts;
    for (int row = 0; row < shown->rowCount(); ++row) {
      texts << shown->index(row, column).data().toString();
    }
    return texts;
  }

  void ClickShownRow(int row) {
    const QModelIndex index = form_->RunsView->model()->index(row, TRunsTableModel::ScriptColumn);
    QTest::mouseClick(form_->RunsView->viewport(), Qt::LeftButton, {},
                      form_->RunsView->visualRect(index).center());
  }

  void OpenAndShow(const QByteArray& log) {
    window_->Open(logs_->Write("find.log", log));
    QVERIFY(window_->ShowActive());
  }

  void OpenBar() {
    QTest::keyClick(form_, Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(Bar()->isVisible());
  }

  std::unique_ptr<WindowBench> window_;
  TFormDisplay* form_ = nullptr;
  std::unique_ptr<TestLogs> logs_;
  std::unique_ptr<QAbstractItemModelTester> tester_;
};

QTEST_MAIN(FindInRunsTest)
#include "FindInRunsTest.moc"
