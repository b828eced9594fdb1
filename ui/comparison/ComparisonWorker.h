#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <memory>
#include <vector>

class QThread;

#include "RunComparison.h"

// Compares two runs off the GUI thread (CompareRuns) and tells the result on the GUI thread.
// One comparison at a time: starting one stops the one before. A comparison that reads the
// store's text is waited for when stopped, which takes at most a few thousand lines' work or one
// piece of a copy; one that reads the file of an indexed store is not, since a file on a share
// that stops answering could keep it for long: it ends on its own, and what it finds is dropped.
class ComparisonWorker : public QObject {
  Q_OBJECT

 public:
  explicit ComparisonWorker(QObject* parent = nullptr);
  ~ComparisonWorker() override;
  ComparisonWorker(const ComparisonWorker&) = delete;
  ComparisonWorker& operator=(const ComparisonWorker&) = delete;

  void Start(ComparisonRequest request);
  // Stops the comparison that runs; nothing of it is told after this, and one that reads the
  // store's text has ended.
  void Cancel();
  bool Running() const { return current_.thread != nullptr; }

 signals:
  void Finished(std::shared_ptr<const RunComparison> comparison);
  // `message` says why the comparison could not be made.
  void Failed(const QString& message);

 private:
  // A comparison's thread, and what it shares with the GUI thread. A QThread, not a thread of
  // the standard library's, which Qt would adopt when it matches an expression or posts the
  // result: on Windows Qt then cleans up after such a thread from another one.
  struct Job {
    std::unique_ptr<QThread> thread;
    std::shared_ptr<std::atomic<bool>> stop = std::make_shared<std::atomic<bool>>(false);
    std::shared_ptr<std::atomic<bool>> ended = std::make_shared<std::atomic<bool>>(false);
    bool readsStore = true;
  };

  void Compare(const ComparisonRequest& request, const std::atomic<bool>& stop,
               unsigned generation);
  void Deliver(std::shared_ptr<const RunComparison> comparison, const QString& failure,
               unsigned generation);
  // Joins the stopped comparisons that have ended.
  void JoinEnded();

  Job current_;
  std::vector<Job> ending_;  // stopped comparisons of a file, still reading it
  // Counts the comparisons started; what an earlier one sent on its way is dropped.
  unsigned generation_ = 0;
};
