#include <QLocalSocket>
#include <QSettings>
#include <QThread>
#include <QtTest>
#include <atomic>
#include <memory>

#include "DisplayForm.h"
#include "ErrorDisplay.h"
#include "OpenDialog.h"
#include "RunSelectRequest.h"
#include "RunSelectServer.h"
#include "RunSelectTestSupport.h"
#include "RunsView.h"
#include "SenderRun.h"
#include "TestLogs.h"
#include "TextPane.h"
#include "WindowTest.h"

namespace {

// AddressSanitizer keeps freed memory in quarantine, so resident memory says nothing there about
// what the viewer keeps.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kResidentMemoryTellsWhatIsKept = false;
#else
constexpr bool kResidentMemoryTellsWhatIsKept = true;
#endif

// Resident memory of this process in KiB.
qint64 ResidentKib() {
  QFile statm(QStringLiteral("/proc/self/statm"));
  if (!statm.open(QIODevice::ReadOnly)) return -1;
  const QList<QByteArray> fields = statm.readAll().split(' ');
  return fields.value(1).toLongLong() * (sysconf(_SC_PAGESIZE) / 1024);
}

// Sends raw bytes as one peer would, from another thread, so that the window's thread is free
// to serve them. Returns whether the viewer answered with its one byte.
bool SendRaw(const QString& socketPath, const QByteArray& bytes, int pauseMs = 0) {
  QLocalSocket socket;
  socket.connectToServer(socketPath);
  if (!socket.waitForConnected(5000)) return false;
  socket.write(bytes);
  socket.waitForBytesWritten(5000);
  if (pauseMs > 0) QThread::msleep(static_cast<unsigned long>(pauseMs));
  if (!socket.waitForReadyRead(pauseMs > 0 ? 100 : 5000)) return false;
  return socket.readAll() == QByteArray(1, kRunSelectAnswer);
}

// Sends a request that is too short and hangs up at once, as a peer that gave up would.
void SendShortAndHangUp(const QString& socketPath) {
  QLocalSocket socket;
  socket.connectToServer(socketPath);
  if (!socket.waitForConnected(5000)) return;
  socket.write("short");
  socket.waitForBytesWritten(5000);
  socket.disconnectFromServer();
}

}  // namespace

// The viewer's window and its socket in this process; the sender and hostile peers outside it.
class RunSelectEndToEndTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    runtime_.reset(new ScratchRuntimeFolder);
    settings_.reset(new ScratchSettings);
    SetExceptionPresenter([](const QString& message) { QFAIL(qPrintable(message)); });
    form_.reset(new TFormDisplay);
    server_.reset(new TRunSelectServer([this](TMessage& message) { form_->Dispatch(message); }));
    QVERIFY2(server_->Listen(), qPrintable(server_->ErrorString()));
    const QString path =
        logs_.Write("e.log", TestLogs::RunsWithDates({"t1", "t1", "t2", "t3", "t4"}));
    TOpenDialog::SetRunner([path](const TOpenDialog&) { return path; });
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    form_->OpenMenuItemClick(form_->OpenMenuItem);
    TOpenDialog::SetRunner({});
  }
  void cleanup() {
    server_.reset();
    form_.reset();
  }

  void senderSelectsRowsNotRuns_data() {
    QTest::addColumn<QString>("row");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<int>("selected");
    QTest::addColumn<QString>("shown");
    QTest::newRow("row 2 is the third run") << "2" << 0 << 1 << "run 2 line 1";
    QTest::newRow("last row") << "4" << 0 << 3 << "run 4 line 1";
    QTest::newRow("one past the rows: answered, ignored") << "5" << 0 << 0 << "run 1 line 1";
    QTest::newRow("minus one: answered, ignored") << "-1" << 0 << 0 << "run 1 line 1";
    QTest::newRow("malformed") << "3x" << 2 << 0 << "run 1 line 1";
  }
  void senderSelectsRowsNotRuns() {
    QFETCH(QString, row);
    QFETCH(int, exitCode);
    QFETCH(int, selected);
    QFETCH(QString, shown);
    QCOMPARE(RunSender({"--select-run", row}), exitCode);
    QCOMPARE(form_->RunsView->SelectedIndex(), selected);
    QVERIFY(form_->LogMemo->Text().contains(shown));
  }

  void senderFindsTheViewerByProcessId() {
    QCOMPARE(RunSender({"--select-run", "3", "--pid",
                        QString::number(QCoreApplication::applicationPid())}),
             0);
    QCOMPARE(form_->RunsView->SelectedIndex(), 2);
    QCOMPARE(RunSender({"--select-run", "3", "--pid", "999999999"}), 1);
  }

  void requestsAreHandledWhileTheOpenDialogIsShown() {
    // In place of the modal dialog, a nested event loop that lasts until the sender is answered.
    int exitCode = -1;
    TOpenDialog::SetRunner([&](const TOpenDialog&) -> std::optional<QString> {
      exitCode = RunSender({"--select-run", "3"});
      return std::nullopt;
    });
    form_->OpenMenuItemClick(form_->OpenMenuItem);
    TOpenDialog::SetRunner({});
    QCOMPARE(exitCode, 0);
    QCOMPARE(form_->RunsView->SelectedIndex(), 2);
  }

  void noViewerMeansExitOne() {
    server_.reset();
    QCOMPARE(RunSender({"--select-run", "1"}), 1);
    QVERIFY(senderError_.contains("no running viewer"));
  }

  void hostileRequestsChangeNothingAndGoodOnesStillWork() {
    const QString socket = server_->SocketPath();
    struct Case {
      QByteArray bytes;
      int pauseMs;
    };
    const QByteArray good = LittleEndianRequest(kSelectRunMessage, 4, 0);
    const QList<Case> hostile = {
        {"garbage!", 0},      {good.left(11), 0}, {good + "x", 0}, {QByteArray(4096, '\xff'), 0},
        {good.left(6), 2500},  // slower than the viewer waits
    };
    QList<bool> answers;
    RunInThread([&] {
      for (const Case& c : hostile) answers << SendRaw(socket, c.bytes, c.pauseMs);
      answers << SendRaw(socket, good);
    });
    QCOMPARE(answers, (QList<bool>{false, false, false, false, false, true}));
    QCOMPARE(form_->RunsView->SelectedIndex(), 3);
    QTRY_COMPARE(server_->ConnectionCount(), 0);
  }

  void aFloodLeavesTheViewerResponsiveAndItsMemoryFlat() {
    const QString socket = server_->SocketPath();
    // Warm up first, so that what the first requests allocate once does not count as growth.
    RunInThread([&] {
      for (int i = 0; i < 200; ++i)
        SendRaw(socket, LittleEndianRequest(kSelectRunMessage, 1 + i % 4, 0));
    });
    const qint64 before = ResidentKib();
    std::atomic<int> answered = 0;
    RunInThread([&] {
      for (int i = 0; i < 10000; ++i) {
        if (i % 10 == 0) {
          SendShortAndHangUp(socket);
        } else {
          answered += SendRaw(socket, LittleEndianRequest(kSelectRunMessage, 1 + i % 4, i)) ? 1 : 0;
        }
      }
    });
    QCOMPARE(answered.load(), 9000);
    QTRY_COMPARE(server_->ConnectionCount(), 0);
    const qint64 growthKib = ResidentKib() - before;
    if (kResidentMemoryTellsWhatIsKept) {
      QVERIFY2(growthKib < 8 * 1024, qPrintable(QStringLiteral("grew by %1 KiB").arg(growthKib)));
    }
    QCOMPARE(RunSender({"--select-run", "2"}), 0);
    QCOMPARE(form_->RunsView->SelectedIndex(), 1);
  }

 private:
  // Runs `work` on another thread while this one serves the window's events.
  static void RunInThread(const std::function<void()>& work) {
    std::unique_ptr<QThread> thread(QThread::create(work));
    QEventLoop loop;
    connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit);
    thread->start();
    loop.exec();
    thread->wait();
  }

  int RunSender(const QStringList& arguments) { return ::RunSender(arguments, senderError_); }

  QScopedPointer<ScratchRuntimeFolder> runtime_;
  QScopedPointer<ScratchSettings> settings_;
  TestLogs logs_;
  std::unique_ptr<TFormDisplay> form_;
  std::unique_ptr<TRunSelectServer> server_;
  QString senderError_;
};

WINDOW_TEST_MAIN(RunSelectEndToEndTest)

#include "RunSelectEndToEndTest.moc"
