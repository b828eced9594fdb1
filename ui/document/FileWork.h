#pragma once

#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>
#include <utility>

// Work on a file that may block for as long as the system lets it: opening or reading a file on
// a share whose server stops answering waits until the system gives up, tens of seconds later.
// One job is out at a time, each on a thread of its own, which is left to finish alone when its
// answer is no longer wanted; its answer is handed on on this object's thread. A job that has not
// come back after kNotAnsweringMilliseconds is told (Answering), and so is its answer when it
// comes.
class FileWork : public QObject {
  Q_OBJECT

 public:
  static constexpr int kNotAnsweringMilliseconds = 2000;

  explicit FileWork(QObject* parent = nullptr);
  ~FileWork() override;
  FileWork(const FileWork&) = delete;
  FileWork& operator=(const FileWork&) = delete;

  // A job is out and its answer still wanted.
  bool Busy() const { return busy_; }
  // Runs `job` on a thread of its own and hands what it returns to `take`, unless Drop comes
  // first. Only while not Busy; false when no thread can be had now. `job` must not throw: what
  // it throws is lost, and so is its answer.
  template <class Job, class Take>
  bool Run(Job job, Take take) {
    return Start([job = std::move(job), take = std::move(take)]() -> std::function<void()> {
      auto answer = std::make_shared<decltype(job())>(job());
      return [take, answer] { take(std::move(*answer)); };
    });
  }
  // The answer of the job that is out is not wanted any more.
  void Drop();

 signals:
  // A job has not come back for a while (false), or has come back after that (true).
  void Answering(bool answering);

 private:
  struct Mailbox;

  bool Start(std::function<std::function<void()>()> job);
  void Deliver(unsigned job, const std::function<void()>& handOn);

  std::shared_ptr<Mailbox> mailbox_;  // where the jobs' threads post their answers
  unsigned jobs_ = 0;                 // the jobs started; the last one is out while `busy_`
  bool busy_ = false;
  bool answering_ = true;
  QTimer notAnswering_;
};
