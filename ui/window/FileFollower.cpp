#include "FileFollower.h"

#include <QFileInfo>

TFileFollower::TFileFollower(QObject* parent) : QObject(parent) {
  quiet_.setSingleShot(true);
  quiet_.setInterval(kQuietMilliseconds);
  connect(&quiet_, &QTimer::timeout, this, [this] {
    Rewatch();
    emit Changed(path_);
  });
  // The folder is watched too: it tells when a deleted or replaced file comes back.
  connect(&watcher_, &QFileSystemWatcher::fileChanged, &quiet_, qOverload<>(&QTimer::start));
  connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, [this] {
    if (!watcher_.files().contains(path_) && QFileInfo::exists(path_)) quiet_.start();
  });
}

void TFileFollower::Follow(const QString& path) {
  quiet_.stop();
  if (!watcher_.files().isEmpty()) watcher_.removePaths(watcher_.files());
  if (!watcher_.directories().isEmpty()) watcher_.removePaths(watcher_.directories());
  path_ = path.isEmpty() ? path : QFileInfo(path).absoluteFilePath();
  if (!path_.isEmpty()) watcher_.addPath(QFileInfo(path_).absolutePath());
  Rewatch();
}

void TFileFollower::Rewatch() {
  // A file that was replaced or deleted has dropped out of the watcher.
  if (!path_.isEmpty() && !watcher_.files().contains(path_) && QFileInfo::exists(path_)) {
    watcher_.addPath(path_);
  }
}
