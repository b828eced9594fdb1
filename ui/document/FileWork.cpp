#include "FileWork.h"

#include <mutex>
#include <system_error>
#include <thread>

// Outlives its FileWork while a job's thread still runs: the thread posts its answer only while
// the FileWork is there to take it.
struct FileWork::Mailbox {
  std::mutex lock;
  FileWork* owner = nullptr;
};

FileWork::FileWork(QObject* parent) : QObject(parent), mailbox_(std::make_shared<Mailbox>()) {
  mailbox_->owner = this;
  notAnswering_.setSingleShot(true);
  notAnswering_.setInterval(kNotAnsweringMilliseconds);
  connect(&notAnswering_, &QTimer::timeout, this, [this] {
    if (!answering_) return;
    answering_ = false;
    emit Answering(false);
  });
}

FileWork::~FileWork() {
  const std::lock_guard lock(mailbox_->lock);
  mailbox_->owner = nullptr;
}

void FileWork::Drop() {
  busy_ = false;
  notAnswering_.stop();
}

bool FileWork::Start(std::function<std::function<void()>()> job) {
  const unsigned number = ++jobs_;
  try {
    std::thread([mailbox = mailbox_, number, job = std::move(job)] {
      std::function<void()> handOn;
      try {
        handOn = job();
      } catch (...) {
        handOn = [] {};
      }
      const std::lock_guard lock(mailbox->lock);
      if (FileWork* owner = mailbox->owner) {
        QMetaObject::invokeMethod(
            owner, [owner, number, handOn] { owner->Deliver(number, handOn); },
            Qt::QueuedConnection);
      }
    }).detach();
  } catch (const std::system_error&) {
    return false;
  }
  busy_ = true;
  notAnswering_.start();
  return true;
}

void FileWork::Deliver(unsigned job, const std::function<void()>& handOn) {
  const bool wanted = job == jobs_ && busy_;
  if (wanted) {
    busy_ = false;
    notAnswering_.stop();
  }
  // A job whose answer was dropped answers for the file too, unless a later one still hangs.
  if (!answering_ && !busy_) {
    answering_ = true;
    emit Answering(true);
  }
  if (wanted) handOn();
}
