#include "FileFollower.h"

#include <QFileInfo>
#include <QFileSystemWatcher>
#include <algorithm>
#include <filesystem>
#include <utility>

#include "FilePath.h"

namespace {

#ifdef Q_OS_WIN
bool useSystemNotifications = false;
#else
bool useSystemNotifications = true;
#endif

}  // namespace

TFileFollower::TFileFollower(QObject* parent) : QObject(parent), looks_(new FileWork(this)) {
  connect(looks_, &FileWork::Answering, this, &TFileFollower::Answering);
  report_.setSingleShot(true);
  report_.setTimerType(Qt::PreciseTimer);
  connect(&report_, &QTimer::timeout, this, &TFileFollower::Report);
  poll_.setInterval(kPollMilliseconds);
  connect(&poll_, &QTimer::timeout, this, [this] { Look(false); });
}

TFileFollower::~TFileFollower() = default;

void TFileFollower::UseSystemNotifications(bool use) {
  useSystemNotifications = use;
}

bool TFileFollower::UsesSystemNotifications() {
  return useSystemNotifications;
}

void TFileFollower::Follow(const QString& path, std::optional<ProbedFile> known) {
  report_.stop();
  watcher_.reset();
  path_ = path.isEmpty() ? path : QFileInfo(path).absoluteFilePath();
  // A look still out is at the file followed before.
  looks_->Drop();
  baseline_ = false;
  seen_ = known;
  if (path_.isEmpty()) {
    poll_.stop();
    return;
  }
  Look(!known);
  poll_.start();
  if (useSystemNotifications) Watch();
}

void TFileFollower::Report() {
  // The poll that found the change has already taken the file as it found it. A change that
  // only the system's notice told of is found once more by the next look, which costs one more
  // report that finds nothing new, rather than a change missed while a look is out.
  Rewatch();
  emit Changed(path_);
}

void TFileFollower::Look(bool asBaseline) {
  baseline_ = baseline_ || asBaseline;
  if (looks_->Busy()) return;
  // Without a thread to be had now, the next poll tries again.
  looks_->Run([path = PathOf(path_)] { return LookAtFile(path); },
              [this](const FileLook& found) { TakeLook(found); });
}

void TFileFollower::TakeLook(const FileLook& found) {
  // Nothing is known of a locked file: the next look tries again.
  if (found.State == SharedFile::State::Locked) return;
  std::optional<ProbedFile> now;
  if (found.State == SharedFile::State::Open) now = found.File;
  if (std::exchange(baseline_, false)) {
    seen_ = now;
    return;
  }
  if (now == seen_) return;
  seen_ = now;
  Pending();
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
