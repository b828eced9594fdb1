#include <QActionGroup>
#include <QMimeData>
#include <QScrollBar>
#include <QSettings>
#include <QtTest>

#include "DisplayForm.h"
#include "EncodingMenu.h"
#include "FileFollower.h"
#include "FollowCommand.h"
#include "MRUList.h"
#include "OpenDialog.h"
#include "RunsView.h"
#include "StatusLine.h"
#include "TestLogs.h"
#include "TextPane.h"
#include "WindowTest.h"

// The window's everyday additions: encoding choice, following a file, dropped files, status.
class ComfortTest : public QObject {
  Q_OBJECT

 private slots:
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
    QSignalSpy changed(Follower(), &TFileFollower::Changed);
    logs_->Write("g.log", TestLogs::RunsWithDates(TestLogs::Dates(5)));
    QVERIFY(changed.wait(5000));
    QCOMPARE(form_->RunsView->RowCount(), 5);
    QCOMPARE(form_->RunsView->SelectedIndex(), selectedAfter);
    QVERIFY(form_->LogMemo->Text().contains(QStringLiteral("run %1 line 1").arg(selectedAfter)));
    QVERIFY(errors_->Messages().isEmpty());
  }

  void followKeepsThePanesPlace_data() {
    QTest::addColumn<bool>("atEnd");
    QTest::newRow("a pane at its end shows the new lines") << true;
    QTest::newRow("a pane in the middle stays there") << false;
  }
  void followKeepsThePanesPlace() {
    QFETCH(bool, atEnd);
    Following()->SetOn(true);
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    const QString path = logs_->Write("t.log", GrowingRun(300));
    Open(path);
    QScrollBar* bar = form_->LogMemo->verticalScrollBar();
    QVERIFY(bar->maximum() > 100);
    const int place = atEnd ? bar->maximum() : bar->maximum() / 2;
    bar->setValue(place);

    QSignalSpy changed(Follower(), &TFileFollower::Changed);
    logs_->Write("t.log", GrowingRun(400));
    QVERIFY(changed.wait(5000));
    QVERIFY(form_->LogMemo->Text().endsWith("message 399"));
    QCOMPARE(bar->value(), atEnd ? bar->maximum() : place);
    QVERIFY(bar->maximum() > place);
  }

  void followShowsANoticeForAFileThatIsGone() {
    Following()->SetOn(true);
    const QString path = logs_->Write("gone.log", TestLogs::RunsWithDates(TestLogs::Dates(3)));
    Open(path);
    QSignalSpy changed(Follower(), &TFileFollower::Changed);
    QFile::remove(path);
    QVERIFY(changed.wait(5000));
    QVERIFY(errors_->Messages().isEmpty());
    QCOMPARE(form_->RunsView->RowCount(), 3);  // still shown as it was
    QVERIFY(!StatusLine()->currentMessage().isEmpty());

    logs_->Write("gone.log", TestLogs::RunsWithDates(TestLogs::Dates(4)));  // back again
    QTRY_COMPARE_WITH_TIMEOUT(form_->RunsView->RowCount(), 4, 5000);
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
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& file : files) urls << QUrl::fromLocalFile(file);
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form_.get(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form_.get(), &drop);
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

  void Open(const QString& path) {
    TOpenDialog::SetRunner([path](const TOpenDialog&) { return path; });
    form_->OpenMenuItemClick(form_->OpenMenuItem);
    TOpenDialog::SetRunner({});
  }

  EncodingMenu* Encoding() const { return form_->findChild<EncodingMenu*>(); }
  FollowCommand* Following() const { return form_->findChild<FollowCommand*>(); }
  TFileFollower* Follower() const { return form_->findChild<TFileFollower*>(); }
  TStatusLine* StatusLine() const { return form_->findChild<TStatusLine*>(); }

  QScopedPointer<ScratchSettings> settings_;
  QScopedPointer<TestLogs> logs_;
  std::unique_ptr<TFormDisplay> form_;
  QScopedPointer<RecordedErrors> errors_;
};

WINDOW_TEST_MAIN(ComfortTest)

#include "ComfortTest.moc"
