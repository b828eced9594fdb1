#include "RunSelectTestSupport.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QDataStream>
#include <QFile>
#include <cstring>
#include <stdexcept>

namespace {

void SetEnvironment(const char* name, const std::optional<QByteArray>& value) {
  if (value) {
    qputenv(name, *value);
  } else {
    qunsetenv(name);
  }
}

}  // namespace

ScopedEnvironment::ScopedEnvironment(const char* name, const std::optional<QString>& value)
    : name_(name) {
  if (qEnvironmentVariableIsSet(name)) previous_ = qgetenv(name);
  SetEnvironment(name, value ? std::optional(QFile::encodeName(*value)) : std::nullopt);
}

ScopedEnvironment::~ScopedEnvironment() {
  SetEnvironment(name_, previous_);
}

void MakeStaleSocket(const QString& path) {
  const QByteArray name = QFile::encodeName(path);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (size_t(name.size()) >= sizeof address.sun_path) throw std::runtime_error("path too long");
  std::memcpy(address.sun_path, name.constData(), name.size());

  const int socketFd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  const int bound = ::bind(socketFd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
  ::close(socketFd);
  if (bound != 0) throw std::runtime_error("cannot bind " + name.toStdString());
}

void SetModificationTime(const QString& path, const QDateTime& time) {
  const qint64 ms = time.toMSecsSinceEpoch();
  const timespec accessAndModification{ms / 1000, (ms % 1000) * 1000000};
  const timespec times[2] = {accessAndModification, accessAndModification};
  if (::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, AT_SYMLINK_NOFOLLOW) != 0) {
    throw std::runtime_error("cannot set the time of " + path.toStdString());
  }
}

QByteArray LittleEndianRequest(quint32 message, qint32 first, qint32 second) {
  QByteArray bytes;
  QDataStream stream(&bytes, QIODevice::WriteOnly);
  stream.setByteOrder(QDataStream::LittleEndian);
  stream << message << first << second;
  return bytes;
}

QString Describe(const TMessage& message) {
  return QString("%1 %2 %3").arg(message.Msg).arg(message.WParam).arg(message.LParam);
}
