#include <QActionGroup>
#include <QMimeData>
#include <QScrollBar>
#include <QSettings>
#include <QStatusBar>
#include <QtTest>

#include "CommandLine.h"
#include "DisplayForm.h"
#include "EncodingMenu.h"
#include "FileFollower.h"
#include "FollowCommand.h"
#include "HangingFiles.h"
#include "MRUList.h"
#include "OpenDialog.h"
#include "RunsView.h"
#include "StartupFileName.h"
#include "StatusLine.h"
#include "StoreLimit.h"
#include "TestLogs.h"
#include "TextPane.h"
#include "WindowTest.h"

// The window's everyday additions: encoding choice, following a file, dropped files, status.
class ComfortTest : public QObject {
  Q_OBJECT

 private slots:
#ifdef MLD_OTHER_FOLLOW_MODE
  void initTestCase() {
    TFileFollower::UseSystemNotifications(!TFileFollower::UsesSystemNotifications());
  }
#endif
  void init() {
    settings_.reset(new ScratchSettings);
    errors_.reset(new RecordedErrors);
    logs_.reset(new TestLogs);
    form_.reset(new TFormDisplay);
  }
  void cleanup() {
    form_.reset();
    errors_.reset();
  }

  void encodingChoiceRedrawsWithoutReading_data() {
    QTest::addColumn<int>("choice");
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("status");
    QTest::addColumn<bool>("deselected");  // the panes still show the run the row showed
    // "Mix 5 µl" in UTF-8; read as Windows-1252 its two bytes show as two characters.
    QTest::newRow("auto") << int(EncodingChoice::Auto) << QString::fromUtf8("Mix 5 \u00b5l")
                          << "utf-8 (auto)" << false;
    QTest::newRow("windows-1252") << int(EncodingChoice::Windows1252)
                                  << QString::fromUtf8("Mix 5 \u00c2\u00b5l") << "windows-1252"
                                  << false;
    QTest::newRow("windows-1252, no row selected")
        << int(EncodingChoice::Windows1252) << QString::fromUtf8("Mix 5 \u00c2\u00b5l")
        << "windows-1252" << true;
    QTest::newRow("utf-8") << int(EncodingChoice::Utf8) << QString::fromUtf8("Mix 5 \u00b5l")
                           << "utf-8" << false;
  }
  void encodingChoiceRedrawsWithoutReading() {
    QFETCH(int, choice);
    QFETCH(QString, script);
    QFETCH(QString, status);
    QFETCH(bool, deselected);
    const QString path =
        logs_->Write("u.log",
                     "------ NextPart = Script\r\n37 \xc2\xb0"
                     "C\r\n------ NextPart = LogMessage\r\n"
                     "==>loading script \"Mix 5 \xc2\xb5l\".\r\n-\r\nStarted: 1\r\nm\r\n");
    Open(path);
    QFile::remove(path);  // a redraw must not read the file again
    if (deselected) form_->RunsView->SetSelectedIndex(-1);
    Encoding()->Choose(static_cast<EncodingChoice>(choice));
    const QModelIndex cell = form_->RunsView->model()->index(0, TRunsTableModel::ScriptColumn);
    QCOMPARE(cell.data().toString(), script);
    const bool utf8 = !script.contains(QChar(0xc2));
    QCOMPARE(form_->ScriptMemo->Text(),
             utf8 ? QString::fromUtf8("37 \u00b0C") : QString::fromUtf8("37 \u00c2\u00b0C"));
    QVERIFY2(StatusLine()->FiguresText().contains(status), qPrintable(StatusLine()->FiguresText()));
    QVERIFY(errors_->Messages().isEmpty());
  }

  void statusLineShowsTheFigures() {
    Open(logs_->Write("s.log", TestLogs::RunsWithDates({"a", "a", "b"})));
    const QString figures = StatusLine()->FiguresText();
    QVERIFY2(figures.contains("3 runs in 2 rows"), qPrintable(figures));
    QVERIFY2(figures.contains("windows-1252 (auto)"), qPrintable(figures));
    QVERIFY2(figures.contains("loaded in"), qPrintable(figures));
  }

  void followReloadsAGrowingFile_data() {
    QTest::addColumn<int>("selected");
    QTest::addColumn<int>("selectedAfter");
    QTest::newRow("the last row follows the end") << 2 << 4;
    QTest::newRow("another row stays") << 1 << 1;
  }
  void followReloadsAGrowingFile() {
    QFETCH(int, selected);
    QFETCH(int, selectedAfter);
    Following()->SetOn(true);
    const QString path = logs_->Write("g.log", TestLogs::RunsWithDates(TestLogs::Dates(3)));
    Open(path);
    form_->RunsView->SetSelectedIndex(selected);
    logs_->Write("g.log", TestLogs::RunsWithDates(TestLogs::Dates(5)));
    // The follower's report or, when the write came before the look the document takes once a
    // load has finished, that look: either brings the rows in.
    QTRY_VERIFY_WITH_TIMEOUT(!form_->Document().Loading() && form_->RunsView->RowCount() == 5,
                             5000);
    QCOMPARE(form_->RunsView->SelectedIndex(), selectedAfter);
    QVERIFY(form_->LogMemo->Text().contains(QStringLiteral("run %1 line 1").arg(selectedAfter)));
    QVERIFY(errors_->Messages().isEmpty());
  }

  void followKeepsThePanesPlace_data() {
    QTest::addColumn<bool>("atEnd");
    QTest::addColumn<bool>("indexed");
    for (const bool indexed : {false, true}) {
      const char* store = indexed ? "indexed" : "in memory";
      QTest::addRow("%s: a pane at its end shows the new lines", store) << true << indexed;
      QTest::addRow("%s: a pane in the middle stays there", store) << false << indexed;
    }
  }
  void followKeepsThePanesPlace() {
    QFETCH(bool, atEnd);
    QFETCH(bool, indexed);
    // An indexed store reads the lines the run gained from the file, on a thread of their own.
    SetInMemoryLimit(indexed ? std::optional<uint64_t>(0) : std::nullopt);
    const auto unlimited = qScopeGuard([] { SetInMemoryLimit(std::nullopt); });
    Following()->SetOn(true);
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    WAIT_FOR_LOAD(*form_);
    const QString path = logs_->Write("t.log", GrowingRun(300));
    Open(path);
    QScrollBar* bar = form_->LogMemo->verticalScrollBar();
    QVERIFY(bar->maximum() > 100);
    const int place = atEnd ? bar->maximum() : bar->maximum() / 2;
    bar->setValue(place);

    logs_->Write("t.log", GrowingRun(400));
    // The follower's report, or the look the document takes once a load has finished, brings
    // the lines in.
    QTRY_VERIFY_WITH_TIMEOUT(
        !form_->Document().Loading() && form_->LogMemo->Text().endsWith("message 399"), 5000);
    QCOMPARE(form_->LogData().Indexed(), indexed);
    QCOMPARE(bar->value(), atEnd ? bar->maximum() : place);
    QVERIFY(bar->maximum() > place);
  }

  // A run of an indexed log selected while its share hangs, and grown meanwhile: once the share
  // answers, the pane shows the run with what it gained, from its start, as a run selected
  // shows.
  void aRunSelectedWhileItsShareHangsShowsWhatItGained() {
    SetInMemoryLimit(0);
    const auto unlimited = qScopeGuard([] { SetInMemoryLimit(std::nullopt); });
    Following()->SetOn(true);
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    const QByteArray first = TestLogs::RunsWithDates(TestLogs::Dates(1));
    const QString path = logs_->Write("h.log", first + GrowingRun(300));
    Open(path);
    auto share = std::make_unique<HangingFiles>();
    form_->RunsView->SetSelectedIndex(1);
    logs_->Write("h.log", first + GrowingRun(400));
    QSignalSpy changed(Follower(), &TFileFollower::Changed);
    share.reset();
    QVERIFY(changed.wait(5000));
    WAIT_FOR_LOAD(*form_);
    QCOMPARE(form_->RunsView->SelectedIndex(), 1);
    QVERIFY(form_->LogMemo->Text().endsWith("message 399"));
    const QScrollBar* bar = form_->LogMemo->verticalScrollBar();
    QVERIFY(bar->maximum() > 0);
    QCOMPARE(bar->value(), 0);
    QVERIFY(errors_->Messages().isEmpty());
  }

  void followShowsANoticeForAFileThatIsGone() {
    Following()->SetOn(true);
    const QString path = logs_->Write("gone.log", TestLogs::RunsWithDates(TestLogs::Dates(3)));
    Open(path);
    QSignalSpy changed(Follower(), &TFileFollower::Changed);
    QFile::remove(path);
    QVERIFY(changed.wait(5000));
    WAIT_FOR_LOAD(*form_);
    QVERIFY(errors_->Messages().isEmpty());
    QCOMPARE(form_->RunsView->RowCount(), 3);  // still shown as it was
    QVERIFY(!StatusLine()->currentMessage().isEmpty());

    logs_->Write("gone.log", TestLogs::RunsWithDates(TestLogs::Dates(4)));  // back again
    QTRY_COMPARE_WITH_TIMEOUT(form_->RunsView->RowCount(), 4, 5000);
  }

  // The caption names the file shown: a file whose open failed is followed only once it loads.
  void followKeepsTheShownFileAfterAFailedOpen() {
    Following()->SetOn(true);
    const QString shown = logs_->Write("a.log", TestLogs::RunsWithDates(TestLogs::Dates(3)));
    Open(shown);
    const QString missing = logs_->Path("b.log");
    QMetaObject::invokeMethod(
        form_.get(), [this, missing] { emit form_->MRUList1->Click(form_->MRUList1, missing, 0); },
        Qt::QueuedConnection);
    QTRY_COMPARE(errors_->Messages().size(), 1);
    QCOMPARE(Follower()->Path(), QFileInfo(shown).absoluteFilePath());

    logs_->Write("b.log", TestLogs::RunsWithDates(TestLogs::Dates(5)));
    logs_->Write("a.log", TestLogs::RunsWithDates(TestLogs::Dates(4)));
    QTRY_COMPARE_WITH_TIMEOUT(form_->RunsView->RowCount(), 4, 5000);
    QCOMPARE(form_->windowTitle(), AppTitle + " - \"" + shown + "\"");
    QCOMPARE(form_->CurrentFile(), shown);
    QCOMPARE(errors_->Messages().size(), 1);
  }

  void aNoticeGoesWithTheNextLoadOrAfterAFewSeconds() {
    const QString path = logs_->Write("n.log", TestLogs::RunsWithDates({"a"}));
    StatusLine()->showMessage(QStringLiteral("Cannot open \"x\": it is a directory"));
    Open(path);
    QCOMPARE(StatusLine()->currentMessage(), QString());
    QVERIFY(StatusLine()->FiguresText().contains("1 run in 1 row"));
    StatusLine()->showMessage(QStringLiteral("a notice"));
    QTRY_COMPARE_WITH_TIMEOUT(StatusLine()->currentMessage(), QString(), 10000);
  }

  void followIsOffByDefaultAndRemembered() {
    QVERIFY(!Following()->MenuItem()->isChecked());
    const QString path = logs_->Write("n.log", TestLogs::RunsWithDates(TestLogs::Dates(2)));
    Open(path);
    QCOMPARE(Follower()->Path(), QString());
    Following()->SetOn(true);
    QCOMPARE(Follower()->Path(), QFileInfo(path).absoluteFilePath());
    form_.reset(new TFormDisplay);
    QVERIFY(Following()->MenuItem()->isChecked());
  }

  void followShowsChangesWhileAWriterKeepsWriting() {
    // A line every 40 ms for 2.4 s, more often than the follower waits for quiet: the window must
    // show each within half a second (with room for a busy machine), not only once the writer
    // pauses.
    constexpr int kWriteMs = 40;
    constexpr int kWrites = 60;
    constexpr qint64 kLongestStaleMs = 900;
    Following()->SetOn(true);
    const QString path = logs_->Write("w.log", GrowingRun(5));
    Open(path);
    QCOMPARE(form_->LogMemo->LineCount(), 5);
    QFile file(path);
    QVERIFY(file.open(QIODevice::Append));
    QElapsedTimer clock;
    clock.start();
    QList<qint64> writtenAt;
    QTimer writer;
    connect(&writer, &QTimer::timeout, [&] {
      file.write("message " + QByteArray::number(5 + writtenAt.size()) + "\r\n");
      file.flush();
      writtenAt << clock.elapsed();
      if (writtenAt.size() == kWrites) writer.stop();
    });
    writer.start(kWriteMs);
    qint64 longestStale = 0;
    int shownWhileWriting = 0;
    while (writer.isActive() || form_->LogMemo->LineCount() < 5 + kWrites) {
      QTest::qWait(10);
      const int shown = form_->LogMemo->LineCount() - 5;
      if (writer.isActive()) shownWhileWriting = shown;
      if (shown < writtenAt.size()) {
        longestStale = std::max(longestStale, clock.elapsed() - writtenAt[shown]);
      }
      QVERIFY2(clock.elapsed() < 10000, "the window never caught up");
    }
    QVERIFY2(longestStale <= kLongestStaleMs, qPrintable(QString::number(longestStale)));
    QVERIFY2(shownWhileWriting >= kWrites / 2, qPrintable(QString::number(shownWhileWriting)));
    QVERIFY(errors_->Messages().isEmpty());
  }

  void followAppendsRowsWithoutRebuildingTheTable() {
    Following()->SetOn(true);
    const QString path = logs_->Write("a.log", Entry() + Run(0) + Run(1) + Run(2));
    Open(path);
    form_->RunsView->SetSelectedIndex(1);
    const char* text = form_->LogData().Text.Data();
    const TRunsTableModel* table = form_->RunsView->Items();
    QSignalSpy inserted(table, &QAbstractItemModel::rowsInserted);
    QSignalSpy reset(table, &QAbstractItemModel::modelReset);
    QSignalSpy appended(form_.get(), &TFormDisplay::LogAppended);
    Append(path, Run(3) + Run(4));
    QVERIFY(appended.wait(5000));
    QCOMPARE(form_->RunsView->RowCount(), 5);
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(reset.count(), 0);
    QCOMPARE(form_->RunsView->SelectedIndex(), 1);
    QVERIFY(form_->LogMemo->Text().contains("run 1 line 1"));
    QCOMPARE(form_->LogData().Text.Data(), text);  // the text grew in place: nothing was reloaded
    QVERIFY2(StatusLine()->FiguresText().contains("5 runs in 5 rows"),
             qPrintable(StatusLine()->FiguresText()));
  }

  void followUpdatesARowWhoseRunChanged() {
    Following()->SetOn(true);
    const QByteArray second = Run(1);
    const qsizetype cut = second.indexOf("Started");
    const QString path = logs_->Write("h.log", Entry() + Run(0) + second.left(cut));
    Open(path);
    form_->RunsView->SetSelectedIndex(1);
    const QModelIndex date = form_->RunsView->Items()->index(1, TRunsTableModel::DateTimeColumn);
    QCOMPARE(date.data().toString(), QString());  // its header is cut before its date and time
    QSignalSpy appended(form_.get(), &TFormDisplay::LogAppended);
    Append(path, second.mid(cut));
    QVERIFY(appended.wait(5000));
    QCOMPARE(date.data().toString(), QStringLiteral("2026-12-01 10:01"));
    QVERIFY(form_->LogMemo->Text().contains("run 1 line 2"));
    // A run started in the same second folds into the last row, which now shows it.
    Append(path, Run(2, "2026-12-01 10:01"));
    QVERIFY(appended.wait(5000));
    QCOMPARE(form_->RunsView->RowCount(), 2);
    QCOMPARE(form_->RunsView->SelectedIndex(), 1);
    QVERIFY(form_->LogMemo->Text().contains("run 2 line 1"));
    QVERIFY(errors_->Messages().isEmpty());
  }

  void followFoldsARunWhoseHeaderCameWholeIntoTheRowBefore() {
    Following()->SetOn(true);
    const QByteArray second = Run(1, "2026-12-01 10:00");  // the start of run 0
    const qsizetype cut = second.indexOf("Started");
    const QString path = logs_->Write("fold.log", Entry() + Run(0) + second.left(cut));
    Open(path);
    QCOMPARE(form_->RunsView->RowCount(), 2);
    form_->RunsView->SetSelectedIndex(1);
    QSignalSpy appended(form_.get(), &TFormDisplay::LogAppended);
    Append(path, second.mid(cut));
    QVERIFY(appended.wait(5000));
    QCOMPARE(form_->RunsView->RowCount(), 1);
    QCOMPARE(form_->RunsView->SelectedIndex(), 0);
    QVERIFY(form_->LogMemo->Text().contains("run 1 line 1"));
    QVERIFY(errors_->Messages().isEmpty());
  }

  // The rows before the fold stay where they were, and so do the panes of a row it leaves alone.
  void followKeepsThePlacesWhenARunFoldsIntoTheRowBefore() {
    Following()->SetOn(true);
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    WAIT_FOR_LOAD(*form_);
    QByteArray lines;
    for (int k = 0; k < 300; ++k) lines += "run 0 step " + QByteArray::number(k) + "\r\n";
    QByteArray text = Entry() + Run(0).replace("run 0 line 2\r\n", lines);
    for (int k = 1; k <= 40; ++k) text += Run(k);
    const QByteArray last = Run(41, "2026-12-01 10:40");  // the start of run 40
    const qsizetype cut = last.indexOf("Started");
    const QString path = logs_->Write("places.log", text + last.left(cut));
    Open(path);
    QCOMPARE(form_->RunsView->RowCount(), 42);
    QScrollBar* pane = form_->LogMemo->verticalScrollBar();
    QScrollBar* table = form_->RunsView->verticalScrollBar();
    QVERIFY(pane->maximum() > 100 && table->maximum() > 0);
    pane->setValue(pane->maximum() / 2);
    table->setValue(table->maximum());
    const int paneAt = pane->value();
    QSignalSpy appended(form_.get(), &TFormDisplay::LogAppended);
    Append(path, last.mid(cut));
    QVERIFY(appended.wait(5000));
    QCOMPARE(form_->RunsView->RowCount(), 41);
    QCOMPARE(form_->RunsView->SelectedIndex(), 0);
    QCOMPARE(pane->value(), paneAt);
    QVERIFY(table->value() > 0);
    QCOMPARE(table->value(), table->maximum());
    QVERIFY(errors_->Messages().isEmpty());
  }

  void followCatchesUpWhenTurnedOn() {
    Following()->SetOn(true);
    const QString path = logs_->Write("c.log", TestLogs::RunsWithDates(TestLogs::Dates(3)));
    Open(path);
    Following()->SetOn(false);
    logs_->Write("c.log", TestLogs::RunsWithDates(TestLogs::Dates(5)));
    QTest::qWait(2 * TFileFollower::kLongestWaitMilliseconds);
    QCOMPARE(form_->RunsView->RowCount(), 3);
    Following()->SetOn(true);
    WAIT_FOR_LOAD(*form_);
    QCOMPARE(form_->RunsView->RowCount(), 5);
    QVERIFY(errors_->Messages().isEmpty());
  }

  void followKeepsTheNewestRunWhenTheFileIsShorter_data() {
    QTest::addColumn<QString>("how");
    // A new file is seen empty at first when the follower looks before its writer has written.
    QTest::addColumn<bool>("emptyFirst");
    QTest::newRow("shrunk") << "shrunk" << false;
    QTest::newRow("rotated") << "rotated" << false;
    QTest::newRow("deleted and created again") << "recreated" << false;
    QTest::newRow("rotated, seen empty first") << "rotated" << true;
    QTest::newRow("emptied, then written") << "shrunk" << true;
  }
  void followKeepsTheNewestRunWhenTheFileIsShorter() {
    QFETCH(QString, how);
    QFETCH(bool, emptyFirst);
    Following()->SetOn(true);
    const QString path = logs_->Write("r.log", TestLogs::RunsWithDates(TestLogs::Dates(5)));
    Open(path);
    form_->RunsView->SetSelectedIndex(4);
    QSignalSpy changed(Follower(), &TFileFollower::Changed);
    if (how == "rotated") QVERIFY(QFile::rename(path, logs_->Path("r.log.1")));
    if (how == "recreated") QVERIFY(QFile::remove(path));
    if (how != "shrunk") QVERIFY(changed.wait(5000));
    WAIT_FOR_LOAD(*form_);
    if (emptyFirst) {
      logs_->Write("r.log", {});
      QTRY_COMPARE_WITH_TIMEOUT(form_->RunsView->RowCount(), 0, 5000);
      WAIT_FOR_LOAD(*form_);
    }
    logs_->Write("r.log", TestLogs::RunsWithDates(TestLogs::Dates(2)));
    // The rows show while the file is read again; the newest is selected once it has been read.
    QTRY_COMPARE_WITH_TIMEOUT(form_->RunsView->RowCount(), 2, 5000);
    QTRY_COMPARE_WITH_TIMEOUT(form_->RunsView->SelectedIndex(), 1, 5000);
    QTRY_VERIFY(form_->LogMemo->Text().contains("run 1 line 1"));
    if (how == "shrunk" && !emptyFirst) {
      QTRY_VERIFY(form_->statusBar()->currentMessage().contains(QStringLiteral("shrank")));
    }

    // The newest run is still followed.
    logs_->Write("r.log", TestLogs::RunsWithDates(TestLogs::Dates(3)));
    QTRY_COMPARE_WITH_TIMEOUT(form_->RunsView->RowCount(), 3, 5000);
    QTRY_COMPARE_WITH_TIMEOUT(form_->RunsView->SelectedIndex(), 2, 5000);
    QVERIFY(errors_->Messages().isEmpty());
  }

  void followOnTheCommandLineIsForThisWindowOnly() {
    const CommandLine command = ParseCommandLine({"--follow", "--odd name.log"});
    QCOMPARE(command.mode, CommandLine::Mode::Viewer);
    QCOMPARE(command.file, QStringLiteral("--odd name.log"));
    QVERIFY(command.follow);
    QCOMPARE(StartupFileName(command), command.file);

    const QString path = logs_->Write("o.log", TestLogs::RunsWithDates(TestLogs::Dates(2)));
    form_->FollowForThisWindow();
    form_->SetStartupFile(path);
    QVERIFY(Following()->MenuItem()->isChecked());
    QCOMPARE(Follower()->Path(), QFileInfo(path).absoluteFilePath());
    form_.reset(new TFormDisplay);
    QVERIFY(!Following()->MenuItem()->isChecked());
  }

  void droppedFilesOpenTheFirst_data() {
    QTest::addColumn<int>("count");
    QTest::newRow("one file") << 1;
    QTest::newRow("three files") << 3;
  }
  void droppedFilesOpenTheFirst() {
    QFETCH(int, count);
    QStringList files;
    for (int i = 0; i < count; ++i) {
      files << logs_->Write(QStringLiteral("d%1.log").arg(i),
                            TestLogs::RunsWithDates(TestLogs::Dates(i + 2)));
    }
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    WAIT_FOR_LOAD(*form_);
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& file : files) urls << QUrl::fromLocalFile(file);
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form_.get(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form_.get(), &drop);
    WAIT_FOR_LOAD(*form_);
    QCOMPARE(form_->RunsView->RowCount(), 2);
    QCOMPARE(form_->CurrentFile(), files.first());
    QCOMPARE(form_->MRUList1->Entries(), QStringList{files.first()});
    QCOMPARE(StatusLine()->currentMessage().isEmpty(), count == 1);
  }

 private:
  // One run without an end line, as a log reads while its script still runs.
  static QByteArray GrowingRun(int messages) {
    QByteArray text =
        "------ NextPart = Script\r\ns\r\n------ NextPart = LogMessage\r\n"
        "==>loading script \"Long\".\r\n-\r\nStarted: 2026-12-07 10:00\r\n";
    for (int i = 0; i < messages; ++i) text += "message " + QByteArray::number(i) + "\r\n";
    return text;
  }

  // An entry that is still being written, and its runs one by one: each run in a minute of its
  // own unless `date` says otherwise.
  static QByteArray Entry() {
    return "------ NextPart = Script\r\nscript S\r\n------ NextPart = LogMessage\r\n";
  }
  static QByteArray Run(int k, const QByteArray& date = {}) {
    const QByteArray run = QByteArray::number(k);
    const QByteArray started =
        date.isEmpty() ? "2026-12-01 10:" + QByteArray::number(k).rightJustified(2, '0') : date;
    return "==>loading script \"Script " + run + "\".\r\n-\r\nStarted: " + started +
           "\r\n==>script type: Method\r\nFile name of script: C:\\s" + run + ".vsc\r\n" + "run " +
           run + " line 1\r\nrun " + run + " line 2\r\n==>script execution finished.\r\n";
  }
  static void Append(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::Append) || file.write(bytes) != bytes.size()) {
      qFatal("cannot append to %s", qPrintable(path));
    }
  }

  void Open(const QString& path) {
    TOpenDialog::SetRunner([path](const TOpenDialog&) { return path; });
    form_->OpenMenuItemClick(form_->OpenMenuItem);
    WAIT_FOR_LOAD(*form_);
    TOpenDialog::SetRunner({});
  }

  EncodingMenu* Encoding() const {
    return form_->findChild<EncodingMenu*>();
  }
  FollowCommand* Following() const {
    return form_->findChild<FollowCommand*>();
  }
  TFileFollower* Follower() const {
    return form_->findChild<TFileFollower*>();
  }
  TStatusLine* StatusLine() const {
    return form_->findChild<TStatusLine*>();
  }

  QScopedPointer<ScratchSettings> settings_;
  QScopedPointer<TestLogs> logs_;
  std::unique_ptr<TFormDisplay> form_;
  QScopedPointer<RecordedErrors> errors_;
};

WINDOW_TEST_MAIN(ComfortTest)

#include "ComfortTest.moc"
