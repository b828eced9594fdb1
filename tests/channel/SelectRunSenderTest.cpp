#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QtTest>
#include <memory>
#include <optional>

#include "RunSelectPaths.h"
#include "RunSelectServer.h"
#include "RunSelectTestSupport.h"

// The sender blocks until it is answered, so it runs as the real program, against viewers that
// live in this test.

namespace {

// Names above the largest process id Linux hands out, so that no real viewer could own them.
constexpr qint64 kDeadViewer = 5000001;
constexpr qint64 kOtherViewer = 5000002;

struct SenderRun {
  int exitCode = -1;
  QString errors;
};

SenderRun RunSender(const QStringList& arguments) {
  QProcess sender;
  sender.start(MLD_EXECUTABLE, arguments);
  if (!sender.waitForStarted()) return {-1, sender.errorString()};
  // The viewers in this test answer only while its event loop runs.
  if (!QTest::qWaitFor([&] { return sender.state() == QProcess::NotRunning; }, 15000)) {
    sender.kill();
    sender.waitForFinished();
    return {-1, "the sender hung"};
  }
  if (sender.exitStatus() != QProcess::NormalExit) return {-1, "the sender crashed"};
  return {sender.exitCode(), QString::fromLocal8Bit(sender.readAllStandardError())};
}

QStringList SelectRun(int row, std::optional<qint64> pid = {}) {
  QStringList arguments{"--select-run", QString::number(row)};
  if (pid) arguments << "--pid" << QString::number(*pid);
  return arguments;
}

// A viewer that takes the connection and then never says anything.
class SilentViewer : public QLocalServer {
 public:
  explicit SilentViewer(bool hangsUp) {
    connect(this, &QLocalServer::newConnection, this, [this, hangsUp] {
      QLocalSocket* socket = nextPendingConnection();
      if (hangsUp) socket->close();
    });
  }
};

}  // namespace

class SelectRunSenderTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    runtime_.emplace();
    folder_ = OpenRunSelectFolder().path;
  }
  void cleanup() {
    viewer_.reset();
    routed_.clear();
    runtime_.reset();
  }

  void deliversToViewerStartedLast() {
    QVERIFY(StartViewer());
    // A viewer that died after this one started left its socket behind.
    MakeStaleSocket(SocketOf(kDeadViewer));
    SetModificationTime(SocketOf(kDeadViewer), QDateTime::currentDateTime().addSecs(60));

    const SenderRun run = RunSender(SelectRun(5));
    QCOMPARE(run.errors, QString());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(routed_, QStringList{"74 5 0"});
  }

  void deliversToViewerWithProcessId() {
    QVERIFY(StartViewer());
    SilentViewer newerViewer(false);
    QVERIFY(newerViewer.listen(SocketOf(kOtherViewer)));
    SetModificationTime(SocketOf(kOtherViewer), QDateTime::currentDateTime().addSecs(60));

    const SenderRun run = RunSender(SelectRun(-1, QCoreApplication::applicationPid()));
    QCOMPARE(run.errors, QString());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(routed_, QStringList{"74 -1 0"});
  }

  void reportsRequestNobodyTook_data() {
    QTest::addColumn<QStringList>("staleSockets");
    QTest::addColumn<bool>("viewerRuns");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("error");
    const QString dead = QString::number(kDeadViewer);
    const QString noViewer = "message-log-display: no running viewer found\n";
    const QString noSuchViewer = QString("message-log-display: no viewer with process id %1\n");

    QTest::newRow("no viewer") << QStringList() << false << SelectRun(1) << noViewer;
    QTest::newRow("only dead viewers")
        << QStringList{dead, "5000003"} << false << SelectRun(1) << noViewer;
    QTest::newRow("process id of a dead viewer")
        << QStringList{dead} << true << SelectRun(1, kDeadViewer) << noSuchViewer.arg(dead);
    QTest::newRow("process id without a socket")
        << QStringList() << true << SelectRun(1, kOtherViewer) << noSuchViewer.arg(kOtherViewer);
  }

  void reportsRequestNobodyTook() {
    QFETCH(QStringList, staleSockets);
    QFETCH(bool, viewerRuns);
    QFETCH(QStringList, arguments);
    QFETCH(QString, error);
    for (const QString& name : staleSockets) MakeStaleSocket(folder_ + '/' + name);
    if (viewerRuns) QVERIFY(StartViewer());

    const SenderRun run = RunSender(arguments);
    QCOMPARE(run.errors, error);
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(routed_, QStringList());
  }

  void reportsViewerThatDoesNotAnswer_data() {
    QTest::addColumn<bool>("hangsUp");
    QTest::addColumn<QString>("error");
    QTest::newRow("hangs up")
        << true << "message-log-display: the viewer closed the connection without answering\n";
    // This row waits out the sender's whole patience of five seconds.
    QTest::newRow("stays silent")
        << false << "message-log-display: the viewer did not answer within 5 seconds\n";
  }

  void reportsViewerThatDoesNotAnswer() {
    QFETCH(bool, hangsUp);
    QFETCH(QString, error);
    SilentViewer viewer(hangsUp);
    QVERIFY(viewer.listen(SocketOf(kOtherViewer)));

    const SenderRun run = RunSender(SelectRun(1));
    QCOMPARE(run.errors, error);
    QCOMPARE(run.exitCode, 1);
  }

  void refusesUnsafeFolder() {
    QVERIFY(QFile::setPermissions(folder_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                               QFile::ReadOther | QFile::ExeOther));
    const SenderRun run = RunSender(SelectRun(1));
    QVERIFY2(run.errors.contains("open to other users"), qPrintable(run.errors));
    QCOMPARE(run.exitCode, 1);
  }

 private:
  bool StartViewer() {
    viewer_ = std::make_unique<TRunSelectServer>(
        [this](TMessage& message) { routed_ << Describe(message); });
    if (viewer_->Listen()) return true;
    qWarning() << viewer_->ErrorString();
    return false;
  }

  QString SocketOf(qint64 pid) const { return RunSelectSocketPath(folder_, pid); }

  std::optional<ScratchRuntimeFolder> runtime_;
  QString folder_;
  std::unique_ptr<TRunSelectServer> viewer_;
  QStringList routed_;
};

QTEST_GUILESS_MAIN(SelectRunSenderTest)
#include "SelectRunSenderTest.moc"
