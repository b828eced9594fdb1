#include "RunSelectServer.h"

#include <QCoreApplication>
#include <QLocalSocket>
#include <QScopedValueRollback>
#include <QTimer>

#include "RunSelectPaths.h"
#include "RunSelectRequest.h"

namespace {

// A live viewer accepts a connection at once; the wait only guards against a stuck one.
constexpr int kProbeTimeoutMs = 200;

bool IsLeftFromDeadViewer(const QString& socketPath) {
  QLocalSocket probe;
  probe.connectToServer(socketPath);
  if (probe.waitForConnected(kProbeTimeoutMs)) return false;
  return probe.error() == QLocalSocket::ConnectionRefusedError;
}

void RemoveSocketsOfDeadViewers(const QString& folder) {
  for (const QString& socketPath : ViewerSocketsNewestFirst(folder)) {
    if (IsLeftFromDeadViewer(socketPath)) QLocalServer::removeServer(socketPath);
  }
}

void Drop(QLocalSocket* socket) {
  socket->abort();
  socket->deleteLater();
}

void Answer(QLocalSocket* socket) {
  if (socket->state() != QLocalSocket::ConnectedState) return;
  socket->write(&kRunSelectAnswer, 1);
  socket->disconnectFromServer();
}

}  // namespace

TRunSelectServer::TRunSelectServer(DispatchFunction dispatch, QObject* parent)
    : QObject(parent), dispatch_(std::move(dispatch)) {
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  connect(&server_, &QLocalServer::newConnection, this,
          &TRunSelectServer::AcceptPendingConnections);
}

bool TRunSelectServer::Listen() {
  const TRunSelectFolder folder = OpenRunSelectFolder();
  if (folder.path.isEmpty()) {
    error_ = folder.error;
    return false;
  }
  // This also clears our own name, should an earlier process with our id have died holding it.
  RemoveSocketsOfDeadViewers(folder.path);
  const QString socketPath = RunSelectSocketPath(folder.path, QCoreApplication::applicationPid());
  if (!server_.listen(socketPath)) {
    error_ = QString("cannot listen at \"%1\": %2").arg(socketPath, server_.errorString());
    return false;
  }
  return true;
}

void TRunSelectServer::AcceptPendingConnections() {
  while (server_.hasPendingConnections()) {
    QLocalSocket* socket = server_.nextPendingConnection();
    if (connectionCount_ >= kMaxConnections) {
      Drop(socket);
    } else {
      Accept(socket);
    }
  }
}

void TRunSelectServer::Accept(QLocalSocket* socket) {
  ++connectionCount_;
  connect(socket, &QObject::destroyed, this, [this] { --connectionCount_; });
  connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
  // One byte more than a request is enough to tell that the peer sent too much.
  socket->setReadBufferSize(kRunSelectRequestSize + 1);

  auto* deadline = new QTimer(socket);
  deadline->setSingleShot(true);
  connect(deadline, &QTimer::timeout, socket, [socket] { Drop(socket); });
  connect(socket, &QLocalSocket::readyRead, this,
          [this, socket, deadline] { ReadRequest(socket, deadline); });
  deadline->start(requestTimeout_);
}

void TRunSelectServer::ReadRequest(QLocalSocket* socket, QTimer* deadline) {
  const qint64 available = socket->bytesAvailable();
  if (available < kRunSelectRequestSize) return;
  if (available > kRunSelectRequestSize) return Drop(socket);

  deadline->stop();
  disconnect(socket, &QLocalSocket::readyRead, this, nullptr);
  Route(socket, DecodeRunSelectRequest(socket->read(kRunSelectRequestSize)));
}

void TRunSelectServer::Route(QLocalSocket* socket, const TMessage& message) {
  waiting_.emplace_back(socket, message);
  // The window may open a nested event loop while it routes a request (an error box, say);
  // requests completed meanwhile wait their turn instead of being routed inside it.
  if (routing_) return;
  const QScopedValueRollback routingGuard(routing_, true);
  while (!waiting_.empty()) {
    auto [waitingSocket, waitingMessage] = waiting_.front();
    waiting_.pop_front();
    dispatch_(waitingMessage);
    if (waitingSocket) Answer(waitingSocket);
  }
}
