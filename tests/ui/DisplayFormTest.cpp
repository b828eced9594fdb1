#include <QAbstractItemModelTester>
#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QSettings>
#include <QSplitter>
#include <QtTest>

#include "DisplayForm.h"
#include "FollowCommand.h"
#include "MRUList.h"
#include "OpenDialog.h"
#include "RunsView.h"
#include "SaveRunCommand.h"
#include "SplitterPanel.h"
#include "TestLogs.h"
#include "TextPane.h"
#include "WindowTest.h"

namespace {

QString Caption(const QString& fileName) {
  return AppTitle + " - \"" + fileName + "\"";
}

// The log lines a TestLogs run shows.
QString RunLog(int run, const QString& date) {
  return QStringLiteral(
             "Started: %2\n==>script type: Method\nFile name of script: C:\\s%1.vsc\n"
             "run %1 line 1\nrun %1 line 2")
      .arg(run)
      .arg(date);
}

}  // namespace

class DisplayFormTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    settings_.reset(new ScratchSettings);
    errors_.reset(new RecordedErrors);
    TOpenDialog::SetRunner([this](const TOpenDialog&) { return dialogAnswer_; });
    logs_.reset(new TestLogs);
    form_.reset(new TFormDisplay);
  }
  void cleanup() {
    form_.reset();
    errors_.reset();
    TOpenDialog::SetRunner({});
  }

  void startsWithoutFile() {
    form_->show();
    QCoreApplication::processEvents();
    WAIT_FOR_LOAD(*form_);
    QCOMPARE(form_->windowTitle(), QStringLiteral("Message Log Display"));
    QVERIFY(!form_->ReloadMenuItem->isEnabled());
    QCOMPARE(form_->RunsView->RowCount(), 0);
    QCOMPARE(form_->LogMemo->LineCount(), 0);
    QCOMPARE(form_->ScriptMemo->LineCount(), 0);
    QVERIFY(form_->MRUList1->Entries().isEmpty());
  }

  void menuHasTheCommandsInOrderWithShortcuts() {
    QStringList texts;
    // Without the additions of ours.
    const QList<QAction*> additions = {form_->findChild<FollowCommand*>()->MenuItem(),
                                       form_->findChild<SaveRunCommand*>()->MenuItem()};
    for (QAction* action : form_->File1->actions()) {
      if (!additions.contains(action)) texts << action->text();
    }
    QCOMPARE(texts, QStringList({"&Open", "", "&Reload", "", "E&xit"}));
    QCOMPARE(form_->OpenMenuItem->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
    QCOMPARE(form_->ReloadMenuItem->shortcut(), QKeySequence(Qt::Key_F5));
    QCOMPARE(form_->ExitMenuItem->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
    QCOMPARE(form_->OpenDialogLog->NameFilters(), QStringList{"Vantrel Log File (*.log)"});
    QCOMPARE(form_->OpenDialogLog->DefaultExt, QStringLiteral("log"));
  }

  void layoutSplitsTheWindowInThreePanes() {
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    WAIT_FOR_LOAD(*form_);
    QCOMPARE(form_->size(), QSize(735, 480));
    const QList<int> bands = form_->SplitterPanel1->Bands()->sizes();
    const QList<int> upper = form_->SplitterPanel1->UpperBand()->sizes();
    QVERIFY2(qAbs(bands[0] * 32 - bands[1] * 68) <= 100 * 3,
             qPrintable(QString("%1 %2").arg(bands[0]).arg(bands[1])));
    QVERIFY(qAbs(upper[0] - upper[1]) <= 2);
    QCOMPARE(form_->RunsView->columnWidth(TRunsTableModel::DateTimeColumn), 140);
    QCOMPARE(form_->RunsView->columnWidth(TRunsTableModel::ScriptTypeColumn), 80);
    QVERIFY(form_->SplitterPane1->isAncestorOf(form_->LogMemo));
    QVERIFY(form_->SplitterPane2->isAncestorOf(form_->ScriptMemo));
    QVERIFY(form_->SplitterPane3->isAncestorOf(form_->RunsView));
    for (const QFrame* borderless :
         {static_cast<QFrame*>(form_->LogMemo), static_cast<QFrame*>(form_->ScriptMemo),
          static_cast<QFrame*>(form_->RunsView)}) {
      QCOMPARE(borderless->frameWidth(), 0);
    }
  }

  // After a first start as above, a window opens as the last one was closed.
  void theNextWindowOpensAsTheLastOneClosed_data() {
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<bool>("maximised");
    QTest::newRow("moved and resized") << QRect(60, 50, 640, 420) << false;
    QTest::newRow("maximised") << QRect(60, 50, 640, 420) << true;
    QTest::newRow("on a screen that is gone") << QRect(9000, 7000, 600, 400) << false;
  }
  void theNextWindowOpensAsTheLastOneClosed() {
    QFETCH(QRect, geometry);
    QFETCH(bool, maximised);
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    WAIT_FOR_LOAD(*form_);
    form_->setGeometry(geometry);
    if (maximised) form_->showMaximized();
    QTRY_COMPARE(form_->isMaximized(), maximised);
    form_->SplitterPanel1->Bands()->setSizes({100, 250});
    form_->SplitterPanel1->UpperBand()->setSizes({400, 100});
    const TBarPlaces bars = form_->SplitterPanel1->BarPlaces();
    QVERIFY(bars.upper < 0.4 && bars.left > 0.7);
    form_->close();

    form_.reset(new TFormDisplay);
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    WAIT_FOR_LOAD(*form_);
    QCOMPARE(form_->isMaximized(), maximised);
    const TBarPlaces barsAfter = form_->SplitterPanel1->BarPlaces();
    QVERIFY2(qAbs(barsAfter.upper - bars.upper) < 0.02 && qAbs(barsAfter.left - bars.left) < 0.02,
             qPrintable(QString("%1 %2").arg(barsAfter.upper).arg(barsAfter.left)));
    if (maximised) form_->showNormal();
    QTRY_COMPARE(form_->size(), geometry.size());
    const QRect screen = form_->screen()->availableGeometry();
    QVERIFY(screen.contains(form_->geometry()));
    if (screen.contains(geometry)) QCOMPARE(form_->geometry(), geometry);
  }

  void theOwnerAndDummyConstructorOnlyMakesTheForm() {
    const TFormDisplay bare(nullptr, 0);
    QVERIFY(!bare.RunsView && !bare.LogMemo && !bare.MRUList1);
    QVERIFY(!bare.findChild<QMenuBar*>());
    QVERIFY(bare.LogData().Runs.empty());
  }

  void exitClosesTheWindow() {
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    WAIT_FOR_LOAD(*form_);
    form_->ExitMenuItem->trigger();
    QVERIFY(!form_->isVisible());
  }

  void aRunWithAnEmptyLogShowsAnEmptyLogPane() {
    QByteArray text = TestLogs::RunsWithDates({"a"});
    text.replace("------ NextEntry\r\n",
                 "==>loading script \"Empty\".\r\n-\r\nStarted: b\r\n"
                 "==>script execution stopped by user.\r\n------ NextEntry\r\n");
    dialogAnswer_ = logs_->Write("e.log", text);
    form_->OpenMenuItemClick(form_->OpenMenuItem);
    WAIT_FOR_LOAD(*form_);
    QCOMPARE(form_->RunsView->RowCount(), 2);
    QCOMPARE(form_->LogMemo->Text(), RunLog(0, "a"));
    form_->RunsView->SetSelectedIndex(1);
    QCOMPARE(form_->LogMemo->LineCount(), 0);
    QCOMPARE(form_->ScriptMemo->Text(), QStringLiteral("script S"));
  }

  void openingAnotherFileShowsItsTableFromTheTop() {
    dialogAnswer_ = logs_->Write("first.log", TestLogs::RunsWithDates(TestLogs::Dates(60)));
    form_->OpenMenuItemClick(form_->OpenMenuItem);
    WAIT_FOR_LOAD(*form_);
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    WAIT_FOR_LOAD(*form_);
    form_->RunsView->verticalScrollBar()->setValue(form_->RunsView->verticalScrollBar()->maximum());
    dialogAnswer_ = logs_->Write("second.log", TestLogs::RunsWithDates(TestLogs::Dates(59)));
    form_->OpenMenuItemClick(form_->OpenMenuItem);
    WAIT_FOR_LOAD(*form_);
    QCOMPARE(form_->RunsView->SelectedIndex(), 0);
    QCOMPARE(form_->RunsView->verticalScrollBar()->value(), 0);
  }

  // What a user pastes into a report: the row as one line of tab-separated text, written as
  // --list writes it (a path as it is, a field with a tab in double quotes).
  void copyPutsTheSelectedRowOnTheClipboard() {
    dialogAnswer_ = logs_->Write("c.log", TestLogs::RunsWithDates({"a", "b\tc"}));
    form_->OpenMenuItemClick(form_->OpenMenuItem);
    WAIT_FOR_LOAD(*form_);
    form_->RunsView->SetSelectedIndex(1);
    QApplication::clipboard()->clear();
    QTest::keyClick(form_->RunsView, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(),
             QStringLiteral("2\t\"b\tc\"\tScript 1\tMethod\tC:\\s1.vsc"));
    form_->RunsView->SetSelectedIndex(-1);
    QTest::keyClick(form_->RunsView, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(),
             QStringLiteral("2\t\"b\tc\"\tScript 1\tMethod\tC:\\s1.vsc"));
    QCOMPARE(form_->RunsView->actions().first()->text(), QStringLiteral("&Copy"));
  }

  // The selected row stays marked without the focus, but in other colours than with it.
  void theSelectedRowShowsWhetherTheTableHasTheFocus() {
    const QPalette colours = form_->RunsView->palette();
    QVERIFY(colours.color(QPalette::Inactive, QPalette::Highlight) !=
            colours.color(QPalette::Active, QPalette::Highlight));
    QVERIFY(colours.color(QPalette::Inactive, QPalette::Highlight) !=
            colours.color(QPalette::Inactive, QPalette::Base));
  }

  void reloadDoesNotScrollTheTable() {
    dialogAnswer_ = logs_->Write("long.log", TestLogs::RunsWithDates(TestLogs::Dates(60)));
    form_->OpenMenuItemClick(form_->OpenMenuItem);
    WAIT_FOR_LOAD(*form_);
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    WAIT_FOR_LOAD(*form_);
    QCOMPARE(form_->RunsView->verticalScrollBar()->value(), 0);
    form_->RunsView->SetSelectedIndex(50);  // far below the rows in view
    form_->ReloadMenuItem->trigger();
    WAIT_FOR_LOAD(*form_);
    QCOMPARE(form_->RunsView->SelectedIndex(), 50);
    QCOMPARE(form_->RunsView->verticalScrollBar()->value(), 0);
  }

  void startupFileIsReadWhenTheWindowIsShown_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("plain") << "start.log";
    QTest::newRow("letters outside ASCII") << u"Pr\u00fcfstand \u6e2c\u5b9a.log"_qs;
  }
  void startupFileIsReadWhenTheWindowIsShown() {
    QFETCH(QString, name);
    const QString path = logs_->Write(name, TestLogs::RunsWithDates(TestLogs::Dates(3)));
    form_->SetStartupFile(path);
    QVERIFY(form_->ReloadMenuItem->isEnabled());
    QCOMPARE(form_->RunsView->RowCount(), 0);  // nothing read before the show
    form_->show();
    QTRY_COMPARE(form_->RunsView->RowCount(), 3);
    QCOMPARE(form_->RunsView->SelectedIndex(), 0);
    QCOMPARE(form_->windowTitle(), Caption(path));
    QCOMPARE(form_->MRUList1->Entries(), QStringList{path});
    QCOMPARE(form_->LogMemo->Text(), RunLog(0, TestLogs::Dates(3)[0]));
    QCOMPARE(form_->ScriptMemo->Text(), QStringLiteral("script S"));
  }

  void startupNameIsUsedUnchanged() {
    const QString quoted = "\"" + logs_->Write("q.log", TestLogs::RunsWithDates({"a"})) + "\" ";
    form_->SetStartupFile(quoted);
    QCOMPARE(form_->CurrentFile(), quoted);
    form_->show();
    QTRY_COMPARE(errors_->Messages().size(),
                 1);  // no such file: the quotes and the blank belong to the name
    QVERIFY(errors_->Messages()[0].contains(QDir::toNativeSeparators(quoted)));
    QCOMPARE(form_->windowTitle(), AppTitle);
    QVERIFY(form_->MRUList1->Entries().isEmpty());
  }

  void openCancelAndOpenAgain() {
    const QString path = logs_->Write("a.log", TestLogs::RunsWithDates(TestLogs::Dates(3)));
    dialogAnswer_ = std::nullopt;
    form_->OpenMenuItemClick(form_->OpenMenuItem);
    WAIT_FOR_LOAD(*form_);
    QCOMPARE(form_->windowTitle(), AppTitle);
    QVERIFY(!form_->ReloadMenuItem->isEnabled());
    QVERIFY(form_->MRUList1->Entries().isEmpty());

    dialogAnswer_ = path;
    form_->OpenMenuItemClick(form_->OpenMenuItem);
    WAIT_FOR_LOAD(*form_);
    QCOMPARE(form_->RunsView->RowCount(), 3);
    QCOMPARE(form_->RunsView->SelectedIndex(), 0);
    QCOMPARE(form_->windowTitle(), Caption(path));
    QVERIFY(form_->ReloadMenuItem->isEnabled());

    form_->RunsView->SetSelectedIndex(2);
    QCOMPARE(form_->LogMemo->Text(), RunLog(2, TestLogs::Dates(3)[2]));
    dialogAnswer_ = std::nullopt;
    form_->OpenMenuItemClick(form_->OpenMenuItem);  // cancel keeps the selection and panes
    WAIT_FOR_LOAD(*form_);
    QCOMPARE(form_->RunsView->SelectedIndex(), 2);
    QCOMPARE(form_->LogMemo->Text(), RunLog(2, TestLogs::Dates(3)[2]));

    dialogAnswer_ = path;
    form_->OpenMenuItemClick(form_->OpenMenuItem);  // the same file: read again, row 1
    WAIT_FOR_LOAD(*form_);
    QCOMPARE(form_->RunsView->SelectedIndex(), 0);
    QCOMPARE(form_->MRUList1->Entries(), QStringList{path});
  }

  void openingAFileWithoutRunsShowsNothingButNamesIt() {
    const QString path = logs_->Write("empty.log", "------ NextPart = Script\r\nonly a script\r\n");
    dialogAnswer_ = path;
    form_->OpenMenuItemClick(form_->OpenMenuItem);
    WAIT_FOR_LOAD(*form_);
    QCOMPARE(form_->RunsView->RowCount(), 0);
    QCOMPARE(form_->RunsView->SelectedIndex(), -1);
    QCOMPARE(form_->LogMemo->LineCount(), 0);
    QCOMPARE(form_->ScriptMemo->LineCount(), 0);
    QCOMPARE(form_->windowTitle(), Caption(path));
    QCOMPARE(form_->MRUList1->Entries(), QStringList{path});
  }

  void reload_data() {
    QTest::addColumn<int>("selected");
    QTest::addColumn<int>("runsAfter");
    QTest::addColumn<int>("selectedAfter");
    QTest::newRow("row 3 of a grown file") << 2 << 8 << 2;
    QTest::newRow("row 5 beyond the new end") << 4 << 4 << -1;
    QTest::newRow("row 4 as the new last row") << 3 << 4 << 3;
    QTest::newRow("nothing selected") << -1 << 6 << -1;
  }
  void reload() {
    QFETCH(int, selected);
    QFETCH(int, runsAfter);
    QFETCH(int, selectedAfter);
    const QString path = logs_->Write("r.log", TestLogs::RunsWithDates(TestLogs::Dates(6)));
    dialogAnswer_ = path;
    form_->OpenMenuItemClick(form_->OpenMenuItem);
    WAIT_FOR_LOAD(*form_);
    form_->RunsView->SetSelectedIndex(selected);

    QStringList dates = TestLogs::Dates(runsAfter);
    if (runsAfter > 2) dates[2] = "changed";
    logs_->Write("r.log", TestLogs::RunsWithDates(dates));
    form_->ReloadMenuItem->trigger();
    WAIT_FOR_LOAD(*form_);
    QCOMPARE(form_->RunsView->RowCount(), runsAfter);
    QCOMPARE(form_->RunsView->SelectedIndex(), selectedAfter);
    QCOMPARE(form_->LogMemo->Text(),
             selectedAfter < 0 ? QString() : RunLog(selectedAfter, dates[selectedAfter]));
    QCOMPARE(form_->windowTitle(), Caption(path));
    QCOMPARE(form_->MRUList1->Entries(), QStringList{path});
  }

  void failedOpenFromARecentEntry() {
    const QString good = logs_->Write("good.log", TestLogs::RunsWithDates(TestLogs::Dates(2)));
    const QString gone = logs_->Write("gone.log", TestLogs::RunsWithDates(TestLogs::Dates(2)));
    form_->MRUList1->Add(gone);
    dialogAnswer_ = good;
    form_->OpenMenuItemClick(form_->OpenMenuItem);
    WAIT_FOR_LOAD(*form_);
    QFile::remove(gone);

    // Chosen from the menu, the error goes through the event loop to the message box.
    const QStringList entriesBefore = form_->MRUList1->Entries();
    QAction* entry = RecentEntryAction(gone);
    QVERIFY(entry);
    QMetaObject::invokeMethod(entry, &QAction::trigger, Qt::QueuedConnection);
    QTRY_COMPARE(errors_->Messages().size(), 1);
    // The reason is the system's own text.
#ifdef Q_OS_WIN
    QVERIFY(errors_->Messages()[0].startsWith("Cannot open \"" + QDir::toNativeSeparators(gone) +
                                              "\": "));
#else
    QCOMPARE(errors_->Messages()[0], "Cannot open \"" + gone + "\": No such file or directory");
#endif
    QCOMPARE(form_->RunsView->RowCount(), 0);
    QCOMPARE(form_->LogMemo->LineCount(), 0);
    QCOMPARE(form_->ScriptMemo->LineCount(), 0);
    QCOMPARE(form_->windowTitle(), Caption(good));
    QCOMPARE(form_->CurrentFile(), gone);
    QCOMPARE(form_->MRUList1->Entries(), entriesBefore);  // neither removed nor moved up

    logs_->Write("gone.log", TestLogs::RunsWithDates(TestLogs::Dates(5)));
    form_->ReloadMenuItem->trigger();  // Reload reads the name that failed
    WAIT_FOR_LOAD(*form_);
    QCOMPARE(form_->RunsView->RowCount(), 5);
    QCOMPARE(form_->RunsView->SelectedIndex(), -1);
  }

  // A name with double quotes (legal outside Windows) typed into the dialog opens exactly that
  // file, not the part between the quotes.
  void theOpenDialogOpensATypedNameWithQuotesAsTyped() {
#ifdef Q_OS_WIN
    QSKIP("Windows file names hold no double quotes");
#endif
    const QString path = logs_->Write("say \"hi\".log", TestLogs::RunsWithDates({"a", "b"}));
    logs_->Write("hi", TestLogs::RunsWithDates({"c"}));
    TOpenDialog::SetRunner({});
    QTimer typist;
    connect(&typist, &QTimer::timeout, this, [&] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (!dialog) return;
      typist.stop();
      dialog->setDirectory(QFileInfo(path).absolutePath());
      dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText("say \"hi\".log");
      QMetaObject::invokeMethod(dialog, "accept");
    });
    typist.start(10);
    form_->OpenMenuItemClick(form_->OpenMenuItem);
    WAIT_FOR_LOAD(*form_);
    QCOMPARE(form_->windowTitle(), Caption(path));
    QCOMPARE(form_->RunsView->RowCount(), 2);
  }

  void choosingARecentEntryOpensItWithoutMovingIt() {
    const QString older = logs_->Write("older.log", TestLogs::RunsWithDates(TestLogs::Dates(3)));
    const QString newer = logs_->Write("newer.log", TestLogs::RunsWithDates(TestLogs::Dates(1)));
    form_->MRUList1->Add(older);
    form_->MRUList1->Add(newer);
    QAction* entry = RecentEntryAction(older);
    QVERIFY(entry);
    entry->trigger();
    WAIT_FOR_LOAD(*form_);
    QCOMPARE(form_->RunsView->RowCount(), 3);
    QCOMPARE(form_->windowTitle(), Caption(older));
    QCOMPARE(form_->MRUList1->Entries(), (QStringList{newer, older}));
  }

  void folding_data() {
    QTest::addColumn<QStringList>("dates");
    QTest::addColumn<QList<int>>("rowToRun");
    QTest::newRow("t1 t1 t1 t2") << QStringList{"t1", "t1", "t1", "t2"} << QList<int>{2, 3};
    QTest::newRow("t1 t2 t1") << QStringList{"t1", "t2", "t1"} << QList<int>{0, 1, 2};
    QTest::newRow("case and blank differ") << QStringList{"t1", "T1", "t1 "} << QList<int>{0, 1, 2};
  }
  void folding() {
    QFETCH(QStringList, dates);
    QFETCH(QList<int>, rowToRun);
    dialogAnswer_ = logs_->Write("f.log", TestLogs::RunsWithDates(dates));
    form_->OpenMenuItemClick(form_->OpenMenuItem);
    WAIT_FOR_LOAD(*form_);
    const std::vector<int32_t>& rows = form_->LogData().RowToRun;
    QCOMPARE(QList<int>(rows.begin(), rows.end()), rowToRun);
    QCOMPARE(form_->RunsView->RowCount(), rowToRun.size());
    for (int row = 0; row < rowToRun.size(); ++row) {
      form_->RunsView->SetSelectedIndex(row);
      const int run = rowToRun[row];
      QCOMPARE(form_->LogMemo->Text(), RunLog(run, dates[run]));
      const QAbstractItemModel* model = form_->RunsView->model();
      QCOMPARE(model->index(row, TRunsTableModel::RunColumn).data().toString(),
               QString::number(row + 1));
      QCOMPARE(model->index(row, TRunsTableModel::ScriptColumn).data().toString(),
               QStringLiteral("Script %1").arg(run));
    }
  }

  void rowsOfOneEntryShareTheScript() {
    dialogAnswer_ =
        logs_->Write("e.log", TestLogs::RunsWithDates({"a", "b", "c"}, {"one", "two"}, {0, 0, 1}));
    form_->OpenMenuItemClick(form_->OpenMenuItem);
    WAIT_FOR_LOAD(*form_);
    const QStringList expected = {"script one", "script one", "script two"};
    for (int row = 0; row < 3; ++row) {
      form_->RunsView->SetSelectedIndex(row);
      QCOMPARE(form_->ScriptMemo->Text(), expected[row]);
    }
  }

  void selectionContract() {
    dialogAnswer_ = logs_->Write("s.log", TestLogs::RunsWithDates(TestLogs::Dates(12)));
    form_->OpenMenuItemClick(form_->OpenMenuItem);
    WAIT_FOR_LOAD(*form_);
    QList<QPair<int, bool>> events;
    connect(form_->RunsView, &TRunsView::SelectItem, this, [&](QObject*, int row, bool selected) {
      events.append({row, selected});
    });

    form_->RunsView->SetSelectedIndex(9);
    QCOMPARE(events, (QList<QPair<int, bool>>{{0, false}, {9, true}}));
    QCOMPARE(form_->RunsView->model()->index(9, 0).data().toString(), QStringLiteral("10"));
    events.clear();
    form_->RunsView->SetSelectedIndex(9);  // already selected: nothing to report
    QVERIFY(events.isEmpty());
    form_->RunsView->SetSelectedIndex(-1);  // loses the selection; the panes keep the run
    QCOMPARE(events, (QList<QPair<int, bool>>{{9, false}}));
    QCOMPARE(form_->RunsView->SelectedIndex(), -1);
    QCOMPARE(form_->LogMemo->Text(), RunLog(9, TestLogs::Dates(12)[9]));

    // A user's click raises the same handler.
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    WAIT_FOR_LOAD(*form_);
    events.clear();
    const QRect row3 = form_->RunsView->visualRect(form_->RunsView->model()->index(2, 1));
    QTest::mouseClick(form_->RunsView->viewport(), Qt::LeftButton, {}, row3.center());
    QCOMPARE(events, (QList<QPair<int, bool>>{{2, true}}));
    QCOMPARE(form_->LogMemo->Text(), RunLog(2, TestLogs::Dates(12)[2]));
  }

  void tableModelIsConsistent() {
    dialogAnswer_ = logs_->Write("m.log", TestLogs::RunsWithDates({"x", "x", "y", "z"}));
    QAbstractItemModelTester tester(form_->RunsView->model(),
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    form_->OpenMenuItemClick(form_->OpenMenuItem);
    WAIT_FOR_LOAD(*form_);
    form_->ReloadMenuItem->trigger();
    WAIT_FOR_LOAD(*form_);
    QCOMPARE(form_->RunsView->model()->headerData(4, Qt::Horizontal).toString(),
             QStringLiteral("Script Filename"));
  }

  void recentFilesSurviveARestart() {
    QStringList names;
    for (int i = 0; i < 12; ++i) names << logs_->Path(QStringLiteral("f%1 & co.log").arg(i));
    for (const QString& name : names) form_->MRUList1->Add(name);
    form_->MRUList1->Add(names[5]);
    form_.reset(new TFormDisplay);
    const QStringList entries = form_->MRUList1->Entries();
    QCOMPARE(entries.size(), TMRUList::kMaxEntries);
    QCOMPARE(entries.first(), names[5]);
    QCOMPARE(entries.count(names[5]), 1);
    QCOMPARE(entries[1], names[11]);
    QVERIFY(!entries.contains(names[0]));
    // Offered right after "&Open", numbered, with '&' shown as itself.
    const QList<QAction*> actions = form_->File1->actions();
    QCOMPARE(actions[0], form_->OpenMenuItem);
    QCOMPARE(actions[1]->text(), "&1 " + QDir::toNativeSeparators(names[5]).replace("&", "&&"));
    QVERIFY(actions[TMRUList::kMaxEntries]->text().startsWith("1&0 "));  // not a second "&1"

    QCOMPARE(actions[TMRUList::kMaxEntries + 1], form_->N1);
  }

  void captionShowsBracketsAsTheyAre() {
#ifdef Q_OS_WIN
    QSKIP("Windows file names cannot hold '*'");
#endif
    dialogAnswer_ = logs_->Write("odd [*] name.log", TestLogs::RunsWithDates({"a"}));
    form_->OpenMenuItemClick(form_->OpenMenuItem);
    WAIT_FOR_LOAD(*form_);
    form_->show();
    QCOMPARE(form_->windowHandle()->title(), Caption(*dialogAnswer_));
  }

  void destroyingTheWindowFreesALoadedFile() {
    dialogAnswer_ = logs_->Write("d.log", TestLogs::RunsWithDates(TestLogs::Dates(4)));
    form_->OpenMenuItemClick(form_->OpenMenuItem);
    WAIT_FOR_LOAD(*form_);
    form_->RunsView->SetSelectedIndex(1);
    form_.reset();  // leaks or use after free show in the sanitizer build
    QVERIFY(!form_);
  }

 private:
  // The menu shows names as the platform writes them (with backslashes on Windows).
  QAction* RecentEntryAction(const QString& fileName) const {
    for (QAction* action : form_->File1->actions()) {
      if (action->text().endsWith(QDir::toNativeSeparators(fileName))) return action;
    }
    return nullptr;
  }

  QScopedPointer<ScratchSettings> settings_;
  QScopedPointer<TestLogs> logs_;
  std::unique_ptr<TFormDisplay> form_;
  QScopedPointer<RecordedErrors> errors_;
  std::optional<QString> dialogAnswer_;
};

WINDOW_TEST_MAIN(DisplayFormTest)

#include "DisplayFormTest.moc"
