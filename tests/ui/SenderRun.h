#pragma once

#include <QEventLoop>
#include <QProcess>
#include <QStringList>
#include <QTimer>

// Runs the real program (MLD_EXECUTABLE) with `arguments`, the sender of a run-selection
// request, and returns its exit code (-1 when it did not start or did not exit normally), with
// what it wrote on stderr in `errors`. The window answers on this thread, so the wait is an
// event loop, not waitForFinished.
inline int RunSender(const QStringList& arguments, QString& errors) {
  QProcess sender;
  sender.start(MLD_EXECUTABLE, arguments);
  QEventLoop loop;
  QObject::connect(&sender, &QProcess::finished, &loop, &QEventLoop::quit);
  QTimer::singleShot(20000, &loop, &QEventLoop::quit);
  if (!sender.waitForStarted()) return -1;
  if (sender.state() != QProcess::NotRunning) loop.exec();
  errors = QString::fromLocal8Bit(sender.readAllStandardError());
  return sender.exitStatus() == QProcess::NormalExit ? sender.exitCode() : -1;
}
