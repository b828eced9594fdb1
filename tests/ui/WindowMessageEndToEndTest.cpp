#include <windows.h>

#include <QProcess>
#include <QScopeGuard>
#include <QtTest>
#include <memory>
#include <stdexcept>
#include <utility>
#include <vector>

#include "DisplayForm.h"
#include "ErrorDisplay.h"
#include "OpenDialog.h"
#include "RunsView.h"
#include "SenderRun.h"
#include "TestLogs.h"
#include "TextPane.h"
#include "WindowTest.h"

// The viewer's window, whose message routing a test can make fail once.
class FailingForm : public TFormDisplay {
 public:
  void Dispatch(TMessage& message) override {
    if (std::exchange(failNextDispatch, false)) throw std::runtime_error("made to fail");
    TFormDisplay::Dispatch(message);
  }

  bool failNextDispatch = false;
};

// A window of someone else's whose caption starts like the viewer's, placed above the viewer,
// where a sender that goes by captions meets it first. It counts the WM_COPYDATA messages it gets.
class DecoyWindow {
 public:
  DecoyWindow(const wchar_t* caption, HWND owner) {
    handle_ = CreateWindowExW(0, ClassName(), caption, WS_OVERLAPPEDWINDOW, 0, 0, 240, 120, owner,
                              nullptr, GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(handle_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&received_));
    SetWindowPos(handle_, HWND_TOP, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  }
  ~DecoyWindow() { DestroyWindow(handle_); }
  DecoyWindow(const DecoyWindow&) = delete;
  DecoyWindow& operator=(const DecoyWindow&) = delete;

  int Received() const { return received_; }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_COPYDATA) return DefWindowProcW(window, message, wParam, lParam);
    if (auto* received = reinterpret_cast<int*>(GetWindowLongPtrW(window, GWLP_USERDATA))) {
      ++*received;
    }
    return TRUE;
  }
  static const wchar_t* ClassName() {
    static const ATOM registered = [] {
      WNDCLASSW windowClass{};
      windowClass.lpfnWndProc = Procedure;
      windowClass.hInstance = GetModuleHandleW(nullptr);
      windowClass.lpszClassName = L"DecoyWindow";
      return RegisterClassW(&windowClass);
    }();
    return MAKEINTATOM(registered);
  }

  HWND handle_ = nullptr;
  int received_ = 0;
};

// The viewer's window in this process on the Windows platform, and the real sender in another
// one, reaching it with window message 74.
class WindowMessageEndToEndTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    settings_.reset(new ScratchSettings);
    SetExceptionPresenter([](const QString& message) { QFAIL(qPrintable(message)); });
    form_.reset(new FailingForm);
    // Rows 1 and 2 belong to entry A, rows 3 to 6 to entry B.
    const QString path =
        logs_.Write("run log with blanks.log",
                    TestLogs::RunsWithDates(TestLogs::Dates(6), {"A", "B"}, {0, 0, 1, 1, 1, 1}));
    TOpenDialog::SetRunner([path](const TOpenDialog&) { return path; });
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    WAIT_FOR_LOAD(*form_);
    form_->OpenMenuItemClick(form_->OpenMenuItem);
    WAIT_FOR_LOAD(*form_);
    TOpenDialog::SetRunner({});
    QCOMPARE(form_->RunsView->SelectedIndex(), 0);
    // An installer's window made after the viewer, and one the viewer owns, as it owns its error
    // boxes, which bear the program's name.
    decoys_.push_back(std::make_unique<DecoyWindow>(L"Message Log Display 1.0 Setup", nullptr));
    decoys_.push_back(std::make_unique<DecoyWindow>(L"Message Log Display", ViewerWindow()));
  }
  void cleanup() {
    decoys_.clear();
    form_.reset();
  }

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
    for (const auto& decoy : decoys_) QCOMPARE(decoy->Received(), 0);
  }

  void otherProgramsFindTheViewerByItsMark() {
    // The way, and the property's name, that other programs are told.
    struct Search {
      DWORD processId;
      QList<HWND> found;
    } search{GetCurrentProcessId(), {}};
    EnumWindows(
        [](HWND window, LPARAM searching) {
          auto* search = reinterpret_cast<Search*>(searching);
          DWORD processId = 0;
          GetWindowThreadProcessId(window, &processId);
          if (processId == search->processId &&
              GetPropW(window, L"Vantrel.MessageLogDisplay.MainWindow")) {
            search->found << window;
          }
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    QCOMPARE(search.found, QList<HWND>{ViewerWindow()});
  }

  void errorOnTheMessagesPathIsShownAfterTheAnswer_data() {
    QTest::addColumn<bool>("inRouting");
    QTest::newRow("thrown by the message routing") << true;
    QTest::newRow("thrown by a handler the message runs") << false;
  }
  void errorOnTheMessagesPathIsShownAfterTheAnswer() {
    QFETCH(bool, inRouting);
    shownErrors_.clear();
    shownBeforeTheAnswer_ = false;
    SetExceptionPresenter([this](const QString& message) {
      shownErrors_ << message;
      // The sender waits for the answer while this is true; a box then would hold it up.
      if (InSendMessage()) shownBeforeTheAnswer_ = true;
    });
    form_->failNextDispatch = inRouting;
    failNextSelection_ = !inRouting;
    connect(form_->RunsView, &TRunsView::SelectItem, form_.get(), ShowingErrors([this] {
              if (std::exchange(failNextSelection_, false)) {
                throw std::runtime_error("made to fail");
              }
            }));
    const QString pid = QString::number(QCoreApplication::applicationPid());
    QCOMPARE(RunSender({"--select-run", "3", "--pid", pid}), 0);
    QTRY_COMPARE(shownErrors_, QStringList{"made to fail"});
    QVERIFY(!shownBeforeTheAnswer_);
    QCOMPARE(RunSender({"--select-run", "5", "--pid", pid}), 0);
    QCOMPARE(form_->RunsView->SelectedIndex(), 4);
    QCOMPARE(shownErrors_.size(), 1);
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
  HWND ViewerWindow() const { return reinterpret_cast<HWND>(form_->winId()); }

  QScopedPointer<ScratchSettings> settings_;
  TestLogs logs_;
  std::unique_ptr<FailingForm> form_;
  std::vector<std::unique_ptr<DecoyWindow>> decoys_;
  QString senderError_;
  QStringList shownErrors_;
  bool shownBeforeTheAnswer_ = false;
  bool failNextSelection_ = false;
};

WINDOW_TEST_MAIN(WindowMessageEndToEndTest)

#include "WindowMessageEndToEndTest.moc"
