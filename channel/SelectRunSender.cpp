#include "SelectRunSender.h"

#include <QDeadlineTimer>
#include <QLocalSocket>
#include <QString>
#include <chrono>
#include <iostream>

#include "Message.h"
#include "RunSelectPaths.h"
#include "RunSelectRequest.h"

namespace {

using namespace std::chrono_literals;

// Covers connecting, sending and the viewer's routing of the request.
constexpr auto kAnswerTimeout = 5s;

int Fail(const QString& reason) {
  std::cerr << "message-log-display: " << reason.toUtf8().constData() << "\n";
  return 1;
}

int RemainingMs(const QDeadlineTimer& deadline) {
  return int(deadline.remainingTime());
}

bool ConnectTo(QLocalSocket& socket, const QString& socketPath, const QDeadlineTimer& deadline) {
  socket.connectToServer(socketPath);
  return socket.waitForConnected(RemainingMs(deadline));
}

// A socket left by a viewer that died refuses the connection; the viewer started before it may
// still run.
bool ConnectToNewestViewer(QLocalSocket& socket, const QString& folder,
                           const QDeadlineTimer& deadline) {
  for (const QString& socketPath : ViewerSocketsNewestFirst(folder)) {
    if (ConnectTo(socket, socketPath, deadline)) return true;
  }
  return false;
}

bool ReceiveAnswer(QLocalSocket& socket, const QDeadlineTimer& deadline) {
  if (socket.bytesAvailable() == 0 && !socket.waitForReadyRead(RemainingMs(deadline))) {
    return false;
  }
  return socket.read(1) == QByteArray(1, kRunSelectAnswer);
}

}  // namespace

int SendSelectRun(qint32 row, std::optional<qint64> pid) {
  const TRunSelectFolder folder = OpenRunSelectFolder();
  if (folder.path.isEmpty()) return Fail(folder.error);

  const QDeadlineTimer deadline(kAnswerTimeout);
  QLocalSocket socket;
  if (pid) {
    if (!ConnectTo(socket, RunSelectSocketPath(folder.path, *pid), deadline)) {
      return Fail(QString("no viewer with process id %1").arg(*pid));
    }
  } else if (!ConnectToNewestViewer(socket, folder.path, deadline)) {
    return Fail("no running viewer found");
  }

  socket.write(EncodeRunSelectRequest({kSelectRunMessage, row, 0, 0}));
  if (ReceiveAnswer(socket, deadline)) return 0;
  if (socket.state() == QLocalSocket::ConnectedState) {
    return Fail(QString("the viewer did not answer within %1 seconds").arg(kAnswerTimeout.count()));
  }
  return Fail("the viewer closed the connection without answering");
}
