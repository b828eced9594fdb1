#include "ComparisonWorker.h"

#include <QThread>
#include <exception>
#include <new>

#include "LogFileSource.h"

ComparisonWorker::ComparisonWorker(QObject* parent) : QObject(parent) {}

ComparisonWorker::~ComparisonWorker() {
  Cancel();
  // Their reports go to this object.
  for (Job& job : ending_) job.thread->wait();
}

void ComparisonWorker::Start(ComparisonRequest request) {
  Cancel();
  current_.readsStore = request.ReadsStore();
  current_.thread.reset(QThread::create([this, request = std::move(request), stop = current_.stop,
                                         ended = current_.ended, generation = generation_] {
    Compare(request, *stop, generation);
    *ended = true;
  }));
  current_.thread->start();
}

void ComparisonWorker::Cancel() {
  ++generation_;
  if (current_.thread) {
    *current_.stop = true;
    if (current_.readsStore) {
      current_.thread->wait();
    } else {
      ending_.push_back(std::move(current_));
    }
    current_ = Job();
  }
  JoinEnded();
}

void ComparisonWorker::JoinEnded() {
  std::erase_if(ending_, [](Job& job) {
    if (!*job.ended) return false;
    job.thread->wait();
    return true;
  });
}

void ComparisonWorker::Compare(const ComparisonRequest& request, const std::atomic<bool>& stop,
                               unsigned generation) {
  std::shared_ptr<const RunComparison> result;
  QString failure;
  try {
    std::optional<RunComparison> comparison = CompareRuns(request, stop);
    if (!comparison) return;
    result = std::make_shared<const RunComparison>(std::move(*comparison));
  } catch (const FileChangedError& error) {
    failure = QString::fromStdString(error.what());
  } catch (const std::bad_alloc&) {
    failure = tr("There is not enough memory to compare the runs.");
  } catch (const std::exception& error) {
    failure = tr("The runs cannot be compared: %1").arg(QString::fromLocal8Bit(error.what()));
  } catch (...) {
    failure = tr("The runs cannot be compared.");
  }
  Deliver(std::move(result), failure, generation);
}

void ComparisonWorker::Deliver(std::shared_ptr<const RunComparison> comparison,
                               const QString& failure, unsigned generation) {
  // Nothing here may throw out of the thread: a failed post loses the result, not the program.
  try {
    QMetaObject::invokeMethod(
        this,
        [this, comparison = std::move(comparison), failure, generation] {
          if (generation != generation_) return;
          // It has sent this as its last act.
          current_.thread->wait();
          current_ = Job();
          if (comparison) {
            emit Finished(comparison);
          } else {
            emit Failed(failure);
          }
        },
        Qt::QueuedConnection);
  } catch (...) {
  }
}
