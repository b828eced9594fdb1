#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <optional>

#include "Message.h"

// Sets (or, given nothing, unsets) an environment variable for as long as it lives.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const std::optional<QString>& value);
  ~ScopedEnvironment();
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  const char* name_;
  std::optional<QByteArray> previous_;
};

// Points XDG_RUNTIME_DIR at a fresh folder for as long as it lives, so that a test never meets
// the user's own viewers, nor the sockets of another test.
class ScratchRuntimeFolder {
 public:
  ScratchRuntimeFolder() : runtimeFolder_("XDG_RUNTIME_DIR", folder_.path()) {}

  QString Path() const { return folder_.path(); }
  // Where the viewers' sockets go under this runtime folder.
  QString SocketFolder() const { return Path() + "/message-log-display"; }

 private:
  QTemporaryDir folder_;
  ScopedEnvironment runtimeFolder_;
};

// Leaves a socket file that nobody listens on, as a viewer that died does.
void MakeStaleSocket(const QString& path);
// Sets a file's modification time without following links or opening it (sockets cannot be).
void SetModificationTime(const QString& path, const QDateTime& time);

// A request laid out byte by byte, independently of the code under test.
QByteArray LittleEndianRequest(quint32 message, qint32 first, qint32 second);

// "number first second", readable in a failed comparison.
QString Describe(const TMessage& message);
