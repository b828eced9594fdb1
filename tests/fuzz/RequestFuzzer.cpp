// What a peer sends to the viewer's run-selection socket, in two pieces: the server must route
// a whole request and nothing else, never route twice, let go of every connection, and stay able
// to answer.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <vector>

#include "RunSelectRequest.h"
#include "RunSelectServer.h"

namespace {

using namespace std::chrono_literals;

void SpinUntil(const std::function<bool()>& done, int milliseconds) {
  QElapsedTimer timer;
  timer.start();
  while (!done() && timer.elapsed() < milliseconds) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  }
}

void Require(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "run-selection server: %s\n", what);
    std::abort();
  }
}

struct Harness {
  Harness() : server([this](TMessage& message) { routed.push_back(message); }) {
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    server.SetRequestTimeout(1s);
    Require(server.Listen(), "cannot listen");
  }
  QTemporaryDir runtime;
  std::vector<TMessage> routed;
  TRunSelectServer server;
};

Harness& TheHarness() {
  static int argc = 1;
  static char name[] = "request_fuzzer";
  static char* argv[] = {name, nullptr};
  static QCoreApplication application(argc, argv);
  static Harness harness;
  return harness;
}

void Send(Harness& harness, const QByteArray& first, const QByteArray& second) {
  QLocalSocket peer;
  peer.connectToServer(harness.server.SocketPath());
  Require(peer.waitForConnected(1000), "refused a connection");
  for (const QByteArray& piece : {first, second}) {
    peer.write(piece);
    peer.flush();
    SpinUntil([&] { return !harness.routed.empty(); }, 5);
  }
  SpinUntil([&] { return !harness.routed.empty() || peer.state() != QLocalSocket::ConnectedState; },
            100);
  peer.disconnectFromServer();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  Harness& harness = TheHarness();
  const QByteArray payload(reinterpret_cast<const char*>(data) + 1,
                           static_cast<qsizetype>(size - 1));
  const qsizetype split = data[0] % (payload.size() + 1);
  harness.routed.clear();
  Send(harness, payload.left(split), payload.mid(split));
  SpinUntil([&] { return harness.server.ConnectionCount() == 0; }, 3000);

  Require(harness.server.ConnectionCount() == 0, "kept a connection");
  Require(harness.routed.size() <= 1, "routed one request twice");
  if (!harness.routed.empty()) {
    const TMessage expected = DecodeRunSelectRequest(payload.left(kRunSelectRequestSize));
    const TMessage& got = harness.routed.front();
    Require(payload.size() >= kRunSelectRequestSize, "routed a short request");
    Require(
        got.Msg == expected.Msg && got.WParam == expected.WParam && got.LParam == expected.LParam,
        "routed other values than were sent");
  }
  if (payload.size() == kRunSelectRequestSize)
    Require(harness.routed.size() == 1, "lost a request");
  return 0;
}
