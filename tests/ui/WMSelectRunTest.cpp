#include <QScrollBar>
#include <QSettings>
#include <QtTest>

#include "DisplayForm.h"
#include "ErrorDisplay.h"
#include "OpenDialog.h"
#include "RunsView.h"
#include "TestLogs.h"
#include "TextPane.h"
#include "WindowTest.h"

// Run selection by message, through the window's message routing.
class WMSelectRunTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    SetExceptionPresenter([](const QString& message) { QFAIL(qPrintable(message)); });
    form_.reset(new TFormDisplay);
    other_.reset(new QWidget);
    other_->show();
  }
  void cleanup() { form_.reset(); }

  void rowNumbers_data() {
    QTest::addColumn<QStringList>("dates");
    QTest::addColumn<int>("n");
    QTest::addColumn<int>("selectedRow");  // -1: the message is ignored
    QTest::addColumn<int>("shownRun");
    const QStringList fourRuns = {"t1", "t1", "t2", "t3"};  // three rows
    QTest::newRow("first row") << fourRuns << 1 << 0 << 1;
    QTest::newRow("last row, a run after a fold") << fourRuns << 3 << 2 << 3;
    QTest::newRow("one past the rows") << fourRuns << 4 << -1 << -1;
    QTest::newRow("zero") << fourRuns << 0 << -1 << -1;
    QTest::newRow("minus one") << fourRuns << -1 << -1 << -1;
    QTest::newRow("most negative") << fourRuns << int(INT32_MIN) << -1 << -1;
    QTest::newRow("empty table") << QStringList{} << 1 << -1 << -1;
  }
  void rowNumbers() {
    QFETCH(QStringList, dates);
    QFETCH(int, n);
    QFETCH(int, selectedRow);
    QFETCH(int, shownRun);
    OpenAndShow(TestLogs::RunsWithDates(dates));
    form_->RunsView->SetSelectedIndex(-1);  // nothing selected, panes keep row 1's run
    const QString panesBefore = form_->LogMemo->Text();
    ActivateOther();

    TMessage message{kSelectRunMessage, n, 0, 0};
    form_->Dispatch(message);

    QCOMPARE(form_->RunsView->SelectedIndex(), selectedRow);
    if (selectedRow < 0) {
      QCOMPARE(form_->LogMemo->Text(), panesBefore);
      QVERIFY(!form_->RunsView->hasFocus());
      QVERIFY(!form_->isActiveWindow());
    } else {
      QVERIFY(form_->LogMemo->Text().contains(QStringLiteral("run %1 line 1").arg(shownRun)));
      QTRY_VERIFY(form_->isActiveWindow());
      QTRY_VERIFY(form_->RunsView->hasFocus());
    }
    QCOMPARE(message.Result, 0);
  }

  void secondParameterHasNoEffect_data() {
    QTest::addColumn<int>("lParam");
    for (const int value : {0, 1, -1, 2, INT32_MAX, INT32_MIN}) {
      QTest::addRow("%d", value) << value;
    }
  }
  void secondParameterHasNoEffect() {
    QFETCH(int, lParam);
    OpenAndShow(TestLogs::RunsWithDates(TestLogs::Dates(5)));
    TMessage message{kSelectRunMessage, 4, lParam, 0};
    form_->Dispatch(message);
    QCOMPARE(form_->RunsView->SelectedIndex(), 3);
  }

  void otherMessagesDoNothing() {
    OpenAndShow(TestLogs::RunsWithDates(TestLogs::Dates(5)));
    for (const uint32_t number : {0u, 73u, 75u, 0x4Au + 0x10000u, UINT32_MAX}) {
      TMessage message{number, 3, 0, 0};
      form_->Dispatch(message);
      QCOMPARE(form_->RunsView->SelectedIndex(), 0);
    }
  }

  void selectingTheSelectedRowStillScrollsFocusesAndRaises() {
    OpenAndShow(TestLogs::RunsWithDates(TestLogs::Dates(400)));
    TMessage message{kSelectRunMessage, 300, 0, 0};
    form_->Dispatch(message);
    QScrollBar* scroll = form_->RunsView->verticalScrollBar();
    const int scrolledTo = scroll->value();
    QVERIFY(scrolledTo > 0);
    const QString panes = form_->LogMemo->Text();

    scroll->setValue(0);
    ActivateOther();
    form_->Dispatch(message);
    QCOMPARE(form_->RunsView->SelectedIndex(), 299);
    QCOMPARE(form_->LogMemo->Text(), panes);
    QCOMPARE(scroll->value(), scrolledTo);
    QTRY_VERIFY(form_->isActiveWindow());
    QTRY_VERIFY(form_->RunsView->hasFocus());
  }

  void aPartlyVisibleRowIsNotScrolledTo() {
    OpenAndShow(TestLogs::RunsWithDates(TestLogs::Dates(400)));
    TRunsView* view = form_->RunsView;
    const int rowHeight = view->visualRect(view->model()->index(0, 0)).height();
    // Scroll so that the last visible row is cut at the bottom edge.
    int partRow = -1;
    for (int row = 0; row < 400 && partRow < 0; ++row) {
      const QRect rect = view->visualRect(view->model()->index(row, 0));
      if (rect.top() < view->viewport()->height() && rect.bottom() >= view->viewport()->height()) {
        partRow = row;
      }
    }
    if (partRow < 0) QSKIP("the table happens to end on a row boundary at this font size");
    QVERIFY(rowHeight > 0);
    const int before = view->verticalScrollBar()->value();
    TMessage message{kSelectRunMessage, partRow + 1, 0, 0};
    form_->Dispatch(message);
    QCOMPARE(view->verticalScrollBar()->value(), before);
  }

 private:
  // Another window takes the focus, as when the user works in another program.
  void ActivateOther() {
    other_->activateWindow();
    QTRY_VERIFY(other_->isActiveWindow());
  }

  void OpenAndShow(const QByteArray& log) {
    const QString path = logs_.Write("w.log", log);
    TOpenDialog::SetRunner([path](const TOpenDialog&) { return path; });
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    WAIT_FOR_LOAD(*form_);
    form_->OpenMenuItemClick(form_->OpenMenuItem);
    WAIT_FOR_LOAD(*form_);
    TOpenDialog::SetRunner({});
  }

  ScratchSettings settings_;
  TestLogs logs_;
  std::unique_ptr<TFormDisplay> form_;
  std::unique_ptr<QWidget> other_;
};

WINDOW_TEST_MAIN(WMSelectRunTest)

#include "WMSelectRunTest.moc"
