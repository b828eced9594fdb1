#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <memory>
#include <thread>

#include "RunComparison.h"

// Compares two runs off the GUI thread (CompareRuns) and tells the result on the GUI thread.
// One comparison at a time: starting one stops the one before. A stop waits for at most a few
// thousand lines' work or one piece of a read.
class ComparisonWorker : public QObject {
  Q_OBJECT

 public:
  explicit ComparisonWorker(QObject* parent = nullptr);
  ~ComparisonWorker() override;
  ComparisonWorker(const ComparisonWorker&) = delete;
  ComparisonWorker& operator=(const ComparisonWorker&) = delete;

  void Start(ComparisonRequest request);
  // Stops the comparison that runs and waits for its thread; nothing of it is told after this.
  void Cancel();
  bool Running() const { return thread_.joinable(); }

 signals:
  void Finished(std::shared_ptr<const RunComparison> comparison);
  // `message` says why the comparison could not be made.
  void Failed(const QString& message);

 private:
  void Compare(const ComparisonRequest& request, unsigned generation);
  void Deliver(std::shared_ptr<const RunComparison> comparison, const QString& failure,
               unsigned generation);

  std::thread thread_;
  std::atomic<bool> stop_ = false;
  // Counts the comparisons started; what an earlier one sent on its way is dropped.
  unsigned generation_ = 0;
};
