#include "RunSelectPaths.h"

#include <unistd.h>

#include <QDir>
#include <QFileInfo>

namespace {

constexpr QFile::Permissions kOwnerOnly = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
constexpr QFile::Permissions kGroupAndOthers = QFile::ReadGroup | QFile::WriteGroup |
                                               QFile::ExeGroup | QFile::ReadOther |
                                               QFile::WriteOther | QFile::ExeOther;

bool IsOwnedByThisUser(const QFileInfo& info) {
  return info.ownerId() == ::geteuid();
}

// A runtime folder set to something odd is ignored rather than trusted.
bool IsUsableRuntimeFolder(const QString& path) {
  if (path.isEmpty() || QDir::isRelativePath(path)) return false;
  const QFileInfo info(path);
  return info.isDir() && IsOwnedByThisUser(info);
}

QString FolderPath() {
  const QString runtimeFolder = qEnvironmentVariable("XDG_RUNTIME_DIR");
  if (IsUsableRuntimeFolder(runtimeFolder)) return runtimeFolder + "/message-log-display";
  return QDir::tempPath() + QString("/message-log-display-%1").arg(::geteuid());
}

// Empty when the folder is safe to hold the sockets.
QString WhyUnsafe(const QString& path) {
  const QFileInfo info(path);
  const QString quoted = '"' + QDir::toNativeSeparators(path) + '"';
  if (info.isSymbolicLink()) return quoted + " is a symbolic link, not a folder";
  if (!info.exists()) return "cannot create the folder " + quoted;
  if (!info.isDir()) return quoted + " is not a folder";
  if (!IsOwnedByThisUser(info)) return quoted + " belongs to another user";
  if (info.permissions() & kGroupAndOthers) {
    return quoted + " is open to other users; only its owner may have access (mode 0700)";
  }
  return {};
}

bool IsProcessIdName(const QString& name) {
  bool isNumber = false;
  return name.toLongLong(&isNumber) > 0 && isNumber;
}

}  // namespace

TRunSelectFolder OpenRunSelectFolder() {
  const QString path = FolderPath();
  QDir().mkdir(path, kOwnerOnly);  // fails harmlessly when the folder exists; checked below
  const QString problem = WhyUnsafe(path);
  if (!problem.isEmpty()) return {QString(), problem};
  return {path, QString()};
}

QString RunSelectSocketPath(const QString& folder, qint64 pid) {
  return folder + '/' + QString::number(pid);
}

QStringList ViewerSocketsNewestFirst(const QString& folder) {
  // Sockets count as system files; the newest socket belongs to the latest viewer to start.
  const QFileInfoList entries =
      QDir(folder).entryInfoList(QDir::System | QDir::NoDotAndDotDot, QDir::Time);
  QStringList sockets;
  for (const QFileInfo& entry : entries) {
    if (IsProcessIdName(entry.fileName())) sockets << entry.absoluteFilePath();
  }
  return sockets;
}
