#include "FileFollower.h"

#include <QFileInfo>
#include <QFileSystemWatcher>
#include <algorithm>
#include <filesystem>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

#include "FilePath.h"

namespace {

#ifdef Q_OS_WIN
bool useSystemNotifications = false;
#else
bool useSystemNotifications = true;
#endif

}  // namespace

// Outlives the follower while a look's thread still runs: the thread posts what it found only
// while the follower is there to take it.
struct TFileFollower::Mailbox {
  std::mutex lock;
  TFileFollower* follower = nullptr;
};

TFileFollower::TFileFollower(QObject* parent)
    : QObject(parent), mailbox_(std::make_shared<Mailbox>()) {
  mailbox_->follower = this;
  report_.setSingleShot(true);
  report_.setTimerType(Qt::PreciseTimer);
  connect(&report_, &QTimer::timeout, this, &TFileFollower::Report);
  poll_.setInterval(kPollMilliseconds);
  connect(&poll_, &QTimer::timeout, this, &TFileFollower::Poll);
}

TFileFollower::~TFileFollower() {
  const std::lock_guard lock(mailbox_->lock);
  mailbox_->follower = nullptr;
}

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
  ++looks_;
  looking_ = false;
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

void TFileFollower::Poll() {
  if (!looking_) {
    Look(false);
  } else if (answering_ && lookTime_.elapsed() >= kNotAnsweringMilliseconds) {
    answering_ = false;
    emit Answering(false);
  }
}

void TFileFollower::Look(bool asBaseline) {
  baseline_ = baseline_ || asBaseline;
  if (looking_) return;
  const unsigned look = ++looks_;
  try {
    std::thread([mailbox = mailbox_, look, path = PathOf(path_)] {
      const FileLook found = LookAtFile(path);
      const std::lock_guard lock(mailbox->lock);
      if (TFileFollower* follower = mailbox->follower) {
        QMetaObject::invokeMethod(
            follower, [follower, look, found] { follower->TakeLook(look, found); },
            Qt::QueuedConnection);
      }
    }).detach();
  } catch (const std::system_error&) {
    return;  // no thread to be had now: the next poll tries again
  }
  looking_ = true;
  lookTime_.start();
}

void TFileFollower::TakeLook(unsigned look, const FileLook& found) {
  if (look != looks_ || !looking_) return;
  looking_ = false;
  if (!answering_) {
    answering_ = true;
    emit Answering(true);
  }
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
