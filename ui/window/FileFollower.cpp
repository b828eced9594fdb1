#include "FileFollower.h"

#include <QFileInfo>
#include <algorithm>

TFileFollower::TFileFollower(QObject* parent) : QObject(parent) {
  report_.setSingleShot(true);
  report_.setTimerType(Qt::PreciseTimer);
  connect(&report_, &QTimer::timeout, this, [this] {
    Rewatch();
    emit Changed(path_);
  });
  // The folder is watched too: it tells when a deleted or replaced file comes back.
  connect(&watcher_, &QFileSystemWatcher::fileChanged, this, &TFileFollower::Pending);
  connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, [this] {
    if (!watcher_.files().contains(path_) && QFileInfo::exists(path_)) Pending();
  });
}

void TFileFollower::Follow(const QString& path) {
  report_.stop();
  if (!watcher_.files().isEmpty()) watcher_.removePaths(watcher_.files());
  if (!watcher_.directories().isEmpty()) watcher_.removePaths(watcher_.directories());
  path_ = path.isEmpty() ? path : QFileInfo(path).absoluteFilePath();
  if (!path_.isEmpty()) watcher_.addPath(QFileInfo(path_).absolutePath());
  Rewatch();
}

void TFileFollower::Pending() {
  if (!report_.isActive()) firstPending_.start();
  const qint64 longest = kLongestWaitMilliseconds - firstPending_.elapsed();
  report_.start(static_cast<int>(std::clamp<qint64>(longest, 0, kQuietMilliseconds)));
}

void TFileFollower::Rewatch() {
  // A file that was replaced or deleted has dropped out of the watcher.
  if (!path_.isEmpty() && !watcher_.files().contains(path_) && QFileInfo::exists(path_)) {
    watcher_.addPath(path_);
  }
}
