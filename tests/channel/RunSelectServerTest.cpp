#include <sys/stat.h>

#include <QFileInfo>
#include <QLocalSocket>
#include <QScopedValueRollback>
#include <QThread>
#include <QtTest>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <optional>
#include <vector>

#include "RunSelectPaths.h"
#include "RunSelectServer.h"
#include "RunSelectTestSupport.h"

namespace {

using namespace std::chrono_literals;

constexpr int kPeerTimeoutMs = 5000;
const QByteArray kAnswer(1, '\x01');

enum class Ending { WaitForAnswer, CloseAfterSending };

// What a peer that sends `request` hears back: the answer, or nothing when it was dropped.
// It blocks, so it runs on a thread of its own beside the server.
QByteArray Exchange(const QString& socketPath, const QByteArray& request,
                    Ending ending = Ending::WaitForAnswer) {
  QLocalSocket socket;
  socket.connectToServer(socketPath);
  if (!socket.waitForConnected(kPeerTimeoutMs)) return "not connected";
  socket.write(request);
  socket.waitForBytesWritten(kPeerTimeoutMs);
  if (ending == Ending::CloseAfterSending) return {};
  socket.waitForReadyRead(kPeerTimeoutMs);
  return socket.readAll();
}

// Runs `peers` on another thread while this one serves, and returns what they return.
template <typename Peers>
auto RunBesideServer(Peers peers) {
  decltype(peers()) result{};
  std::unique_ptr<QThread> thread(QThread::create([&] { result = peers(); }));
  QEventLoop loop;
  QObject::connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit);
  thread->start();
  loop.exec();
  thread->wait();
  return result;
}

}  // namespace

class RunSelectServerTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { runtime_.emplace(); }
  void cleanup() {
    server_.reset();
    routed_.clear();
    runtime_.reset();
  }

  void routesRequestAndAnswers_data() {
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<Ending>("ending");
    QTest::addColumn<QStringList>("routed");
    const auto routed = [](const QString& message) { return QStringList{message}; };
    const QStringList nothing;
    const Ending wait = Ending::WaitForAnswer;
    const Ending close = Ending::CloseAfterSending;

    QTest::newRow("select row 3") << LittleEndianRequest(74, 3, 0) << wait << routed("74 3 0");
    QTest::newRow("fields little-endian")
        << QByteArray("\x4a\x00\x00\x00\x02\x01\x00\x00\xfe\xff\xff\xff", 12) << wait
        << routed("74 258 -2");
    QTest::newRow("second parameter largest")
        << LittleEndianRequest(74, 1, 2147483647) << wait << routed("74 1 2147483647");
    QTest::newRow("second parameter smallest")
        << LittleEndianRequest(74, 1, -2147483647 - 1) << wait << routed("74 1 -2147483648");
    QTest::newRow("row -1 left to the window")
        << LittleEndianRequest(74, -1, 0) << wait << routed("74 -1 0");
    QTest::newRow("other message number")
        << LittleEndianRequest(75, 2, 0) << wait << routed("75 2 0");
    QTest::newRow("nothing sent") << QByteArray() << close << nothing;
    QTest::newRow("11 bytes, then closed")
        << LittleEndianRequest(74, 3, 0).left(11) << close << nothing;
    QTest::newRow("13 bytes") << LittleEndianRequest(74, 3, 0) + '\0' << wait << nothing;
    QTest::newRow("two requests at once")
        << LittleEndianRequest(74, 3, 0).repeated(2) << wait << nothing;
    QTest::newRow("1000 bytes") << QByteArray(1000, '\x4a') << wait << nothing;
    QTest::newRow("garbage") << QByteArray("GET / HTTP/1.1\r\nHost: localhost\r\n\r\n") << wait
                             << nothing;
  }

  void routesRequestAndAnswers() {
    QFETCH(QByteArray, request);
    QFETCH(Ending, ending);
    QFETCH(QStringList, routed);
    QVERIFY(Listen());

    const QByteArray answer = RunBesideServer([&] { return Exchange(Path(), request, ending); });
    QCOMPARE(answer, routed.isEmpty() ? QByteArray() : kAnswer);
    QCOMPARE(routed_, routed);
    VerifyStillServes();
  }

  void acceptsRequestSentInPieces() {
    QVERIFY(Listen());
    const QByteArray request = LittleEndianRequest(74, 9, 0);
    const QByteArray answer = RunBesideServer([&] {
      QLocalSocket socket;
      socket.connectToServer(Path());
      socket.waitForConnected(kPeerTimeoutMs);
      socket.write(request.left(5));
      socket.waitForBytesWritten(kPeerTimeoutMs);
      QThread::msleep(50);
      socket.write(request.mid(5));
      socket.waitForReadyRead(kPeerTimeoutMs);
      return socket.readAll();
    });
    QCOMPARE(answer, kAnswer);
    QCOMPARE(routed_, QStringList{"74 9 0"});
  }

  void dropsRequestThatTakesTooLong() {
    QVERIFY(Listen());
    server_->SetRequestTimeout(100ms);
    const auto [answer, closedByServer] = RunBesideServer([&] {
      QLocalSocket socket;
      socket.connectToServer(Path());
      socket.waitForConnected(kPeerTimeoutMs);
      socket.write(LittleEndianRequest(74, 3, 0).left(6));
      socket.waitForBytesWritten(kPeerTimeoutMs);
      socket.waitForReadyRead(kPeerTimeoutMs);
      return std::pair(socket.readAll(), socket.state() == QLocalSocket::UnconnectedState);
    });
    QCOMPARE(answer, QByteArray());
    QVERIFY(closedByServer);
    QCOMPARE(routed_, QStringList());
    VerifyStillServes();
  }

  // The window may run a nested event loop while it routes a request; one completed meanwhile
  // must wait until the first has been routed.
  void routesOneRequestAtATime() {
    int depth = 0;
    int deepest = 0;
    std::atomic<bool> firstBeingRouted = false;
    std::atomic<bool> secondSent = false;
    const bool listening = Listen([&](TMessage& message) {
      const QScopedValueRollback nesting(depth, depth + 1);
      deepest = std::max(deepest, depth);
      routed_ << Describe(message);
      if (message.WParam != 1) return;
      firstBeingRouted = true;
      QVERIFY(QTest::qWaitFor([&] { return secondSent.load(); }, kPeerTimeoutMs));
      QTest::qWait(100);  // lets the second request arrive inside this loop
    });
    QVERIFY(listening);

    const QList<QByteArray> answers = RunBesideServer([&]() -> QList<QByteArray> {
      QLocalSocket first;
      QLocalSocket second;
      first.connectToServer(Path());
      second.connectToServer(Path());
      first.waitForConnected(kPeerTimeoutMs);
      second.waitForConnected(kPeerTimeoutMs);
      first.write(LittleEndianRequest(74, 1, 0));
      first.waitForBytesWritten(kPeerTimeoutMs);
      if (!QTest::qWaitFor([&] { return firstBeingRouted.load(); }, kPeerTimeoutMs)) return {};
      second.write(LittleEndianRequest(74, 2, 0));
      second.waitForBytesWritten(kPeerTimeoutMs);
      secondSent = true;
      first.waitForReadyRead(kPeerTimeoutMs);
      second.waitForReadyRead(kPeerTimeoutMs);
      return QList<QByteArray>{first.readAll(), second.readAll()};
    });
    QCOMPARE(answers, QList<QByteArray>({kAnswer, kAnswer}));
    QCOMPARE(routed_, QStringList({"74 1 0", "74 2 0"}));
    QCOMPARE(deepest, 1);
  }

  void servesLongFloodWithoutGrowing() {
    QVERIFY(Listen());
    constexpr int kRequests = 2000;
    const int answered = RunBesideServer([&] {
      int count = 0;
      for (int i = 0; i < kRequests; ++i) {
        // Every other request is one byte too long and is dropped.
        const QByteArray request = LittleEndianRequest(74, i, 0) + QByteArray(i % 2, '\0');
        if (Exchange(Path(), request) == kAnswer) ++count;
      }
      return count;
    });
    QCOMPARE(answered, kRequests / 2);
    QCOMPARE(routed_.size(), kRequests / 2);
    QTRY_COMPARE(server_->ConnectionCount(), 0);
  }

  void capsConnectionsOpenAtOnce() {
    QVERIFY(Listen());
    server_->SetRequestTimeout(60s);  // the idle peers must outlast the steps below
    constexpr int kPeers = 200;
    int closedByServer = 0;
    int answered = 0;
    std::vector<std::unique_ptr<QLocalSocket>> peers;
    for (int i = 0; i < kPeers; ++i) {
      QLocalSocket* peer = peers.emplace_back(std::make_unique<QLocalSocket>()).get();
      connect(peer, &QLocalSocket::disconnected, this, [&] { ++closedByServer; });
      // A closed socket forgets what it received, so the answer is taken on arrival.
      connect(peer, &QLocalSocket::readyRead, this,
              [&, peer] { answered += peer->readAll() == kAnswer; });
      peer->connectToServer(Path());
    }
    QTRY_COMPARE(closedByServer, kPeers - TRunSelectServer::kMaxConnections);
    QCOMPARE(server_->ConnectionCount(), TRunSelectServer::kMaxConnections);

    for (const auto& peer : peers) {
      if (peer->state() == QLocalSocket::ConnectedState) peer->write(LittleEndianRequest(74, 1, 0));
    }
    QTRY_COMPARE(answered, TRunSelectServer::kMaxConnections);
    QCOMPARE(routed_.size(), TRunSelectServer::kMaxConnections);
    QTRY_COMPARE(server_->ConnectionCount(), 0);
  }

  void removesSocketsOfDeadViewers() {
    const QString folder = OpenRunSelectFolder().path;
    const QString ownPath = RunSelectSocketPath(folder, QCoreApplication::applicationPid());
    const QString deadPath = RunSelectSocketPath(folder, 5000001);
    const QString livePath = RunSelectSocketPath(folder, 5000002);
    MakeStaleSocket(ownPath);
    MakeStaleSocket(deadPath);
    QLocalServer liveViewer;
    QVERIFY(liveViewer.listen(livePath));

    QVERIFY(Listen());
    QCOMPARE(Path(), ownPath);
    QVERIFY(!QFileInfo::exists(deadPath));
    QVERIFY(QFileInfo::exists(livePath));
    VerifyStillServes();
  }

  void removesItsSocketWhenDestroyed() {
    QVERIFY(Listen());
    const QString path = Path();
    QVERIFY(QFileInfo::exists(path));
    server_.reset();
    QVERIFY(!QFileInfo::exists(path));
  }

  void refusesToListenInUnsafeFolder() {
    QVERIFY(QDir().mkdir(runtime_->SocketFolder()));
    QVERIFY(::chmod(QFile::encodeName(runtime_->SocketFolder()).constData(), 0777) == 0);
    TRunSelectServer server([](TMessage&) {});
    QVERIFY(!server.Listen());
    QVERIFY2(server.ErrorString().contains(runtime_->SocketFolder()),
             qPrintable(server.ErrorString()));
  }

 private:
  bool Listen(TRunSelectServer::DispatchFunction dispatch = {}) {
    if (!dispatch) dispatch = [this](TMessage& message) { routed_ << Describe(message); };
    server_ = std::make_unique<TRunSelectServer>(std::move(dispatch));
    if (server_->Listen()) return true;
    qWarning() << server_->ErrorString();
    return false;
  }

  QString Path() const { return server_->SocketPath(); }

  void VerifyStillServes() {
    const QByteArray answer =
        RunBesideServer([&] { return Exchange(Path(), LittleEndianRequest(74, 42, 7)); });
    QCOMPARE(answer, kAnswer);
    QVERIFY(!routed_.isEmpty());
    QCOMPARE(routed_.last(), QString("74 42 7"));
  }

  std::optional<ScratchRuntimeFolder> runtime_;
  std::unique_ptr<TRunSelectServer> server_;
  QStringList routed_;
};

QTEST_GUILESS_MAIN(RunSelectServerTest)
#include "RunSelectServerTest.moc"
