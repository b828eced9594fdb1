#pragma once

#include <QLocalServer>
#include <QPointer>
#include <QString>
#include <chrono>
#include <deque>
#include <functional>
#include <utility>

#include "Message.h"

class QLocalSocket;
class QTimer;

// The viewer's end of run selection by message: takes requests from other programs of the same
// user on a local socket and hands each one to the window's message routing. Requests are
// routed on the GUI thread, one at a time, in the order they were completed; each is answered
// with one byte once it has been routed. Anything that is not exactly one request within the
// time allowed is dropped without effect.
class TRunSelectServer : public QObject {
  Q_OBJECT

 public:
  using DispatchFunction = std::function<void(TMessage&)>;

  // Connections beyond this many at once are closed on arrival, so that a flood of them cannot
  // make the viewer grow.
  static constexpr int kMaxConnections = 64;

  explicit TRunSelectServer(DispatchFunction dispatch, QObject* parent = nullptr);

  // Opens this process's socket, after removing the sockets of viewers that died. False, with
  // ErrorString(), when the channel cannot be offered.
  bool Listen();
  QString ErrorString() const { return error_; }
  QString SocketPath() const { return server_.fullServerName(); }

  // How long a peer may take to send its whole request.
  void SetRequestTimeout(std::chrono::milliseconds timeout) { requestTimeout_ = timeout; }
  int ConnectionCount() const { return connectionCount_; }

 private:
  void AcceptPendingConnections();
  void Accept(QLocalSocket* socket);
  void ReadRequest(QLocalSocket* socket, QTimer* deadline);
  void Route(QLocalSocket* socket, const TMessage& message);

  DispatchFunction dispatch_;
  std::chrono::milliseconds requestTimeout_ = std::chrono::seconds(2);
  int connectionCount_ = 0;
  // Requests completed while an earlier one is still being routed wait here.
  std::deque<std::pair<QPointer<QLocalSocket>, TMessage>> waiting_;
  bool routing_ = false;
  QString error_;
  // Last, so that it and its connections go first, while the count they update still exists.
  QLocalServer server_;
};
