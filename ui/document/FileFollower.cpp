#include "FileFollower.h"

#include <QFileInfo>
#include <QFileSystemWatcher>
#include <algorithm>
#include <filesystem>

#include "FilePath.h"

namespace {

#ifdef Q_OS_WIN
bool useSystemNotifications = false;
#else
bool useSystemNotifications = true;
#endif

}  // namespace

TFileFollower::TFileFollower(QObject* parent) : QObject(parent) {
  report_.setSingleShot(true);
  report_.setTimerType(Qt::PreciseTimer);
  connect(&report_, &QTimer::timeout, this, &TFileFollower::Report);
  poll_.setInterval(kPollMilliseconds);
  connect(&poll_, &QTimer::timeout, this, &TFileFollower::Poll);
}

TFileFollower::~TFileFollower() = default;

void TFileFollower::UseSystemNotifications(bool use) {
  useSystemNotifications = use;
}

bool TFileFollower::UsesSystemNotifications() {
  return useSystemNotifications;
}

void TFileFollower::Follow(const QString& path) {
  report_.stop();
  watcher_.reset();
  path_ = path.isEmpty() ? path : QFileInfo(path).absoluteFilePath();
  if (path_.isEmpty()) {
    poll_.stop();
    return;
  }
  seen_ = Probe();
  poll_.start();
  if (useSystemNotifications) Watch();
}

void TFileFollower::Report() {
  // What was reported is not news to the next poll.
  seen_ = Probe();
  Rewatch();
  emit Changed(path_);
}

void TFileFollower::Poll() {
  const std::optional<ProbedFile> now = Probe();
  if (now == seen_) return;
  seen_ = now;
  Pending();
}

std::optional<ProbedFile> TFileFollower::Probe() const {
  return ProbeFile(PathOf(path_));
}

void TFileFollower::Watch() {
  watcher_ = std::make_unique<QFileSystemWatcher>();
  connect(watcher_.get(), &QFileSystemWatcher::fileChanged, this, &TFileFollower::Pending);
  // The folder is watched too: it tells when a deleted or replaced file comes back.
  connect(watcher_.get(), &QFileSystemWatcher::directoryChanged, this, [this] {
    if (!watcher_->files().contains(path_) && QFileInfo::exists(path_)) Pending();
  });
  watcher_->addPath(QFileInfo(path_).absolutePath());
  Rewatch();
}

void TFileFollower::Pending() {
  if (!report_.isActive()) firstPending_.start();
  const qint64 longest = kLongestWaitMilliseconds - firstPending_.elapsed();
  report_.start(static_cast<int>(std::clamp<qint64>(longest, 0, kQuietMilliseconds)));
}

void TFileFollower::Rewatch() {
  // A file that was replaced or deleted has dropped out of the watcher.
  if (watcher_ && !watcher_->files().contains(path_) && QFileInfo::exists(path_)) {
    watcher_->addPath(path_);
  }
}
