#include "ComparisonWorker.h"

#include <exception>
#include <new>

#include "LogFileSource.h"

ComparisonWorker::ComparisonWorker(QObject* parent) : QObject(parent) {}

ComparisonWorker::~ComparisonWorker() {
  Cancel();
}

void ComparisonWorker::Start(ComparisonRequest request) {
  Cancel();
  stop_ = false;
  thread_ = std::thread([this, request = std::move(request), generation = generation_] {
    Compare(request, generation);
  });
}

void ComparisonWorker::Cancel() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
  ++generation_;
}

void ComparisonWorker::Compare(const ComparisonRequest& request, unsigned generation) {
  std::shared_ptr<const RunComparison> result;
  QString failure;
  try {
    std::optional<RunComparison> comparison = CompareRuns(request, stop_);
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
          if (thread_.joinable()) thread_.join();
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
