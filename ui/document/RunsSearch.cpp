#include "RunsSearch.h"

#include <chrono>
#include <exception>
#include <new>
#include <utility>

#include "RunSearch.h"

namespace {

// Counts go to the GUI thread this often: the column fills as the search goes, and a fast
// search sends one report.
constexpr std::chrono::milliseconds kReportInterval(50);

int Percent(uint64_t done, uint64_t total) {
  return total == 0 ? 100 : static_cast<int>(done * 100 / total);
}

}  // namespace

RunsSearch::RunsSearch(QObject* parent) : QObject(parent) {}

RunsSearch::~RunsSearch() {
  Cancel();
}

void RunsSearch::Start(const std::shared_ptr<const LineMatcher>& matcher, const LogStore& store,
                       std::vector<LineSpan> rowLogs, int firstRow, Counts counts) {
  Cancel();
  if (counts == Counts::Anew) counted_.clear();
  firstRow_ = firstRow;
  counted_.resize(static_cast<size_t>(firstRow) + rowLogs.size());
  cancelled_ = false;
  failed_ = false;
  done_ = 0;
  shownPercent_ = 0;
  failureShown_ = false;
  rowLogs_ = std::move(rowLogs);
  total_ = BytesOf(rowLogs_);
  parts_ = SearchParts(store, rowLogs_);
  partCounts_.clear();
  for (const SearchPart& part : parts_) {
    partCounts_.push_back({firstRow + static_cast<int>(part.Begin),
                           firstRow + static_cast<int>(part.End),
                           {},
                           false});
  }
  for (size_t index = 0; index < parts_.size(); ++index) {
    threads_.emplace_back([this, matcher, index, generation = generation_] {
      Search(*matcher, parts_[index], index, generation);
    });
  }
}

void RunsSearch::Cancel() {
  cancelled_ = true;
  Join();
  ++generation_;
}

void RunsSearch::Forget() {
  Cancel();
  counted_.clear();
}

void RunsSearch::Join() {
  for (std::thread& thread : threads_) thread.join();
  threads_.clear();
  // The readers' blocks are not kept while no search runs.
  parts_.clear();
}

void RunsSearch::Search(const LineMatcher& matcher, SearchPart& part, size_t index,
                        unsigned generation) {
  try {
    SearchAndReport(matcher, part, index, generation);
  } catch (...) {
    // Not even the failure could be told, for want of memory: the part stays unfinished until
    // the next search or a close cancels it.
    failed_ = true;
  }
}

void RunsSearch::SearchAndReport(const LineMatcher& matcher, SearchPart& part, size_t index,
                                 unsigned generation) {
  Report report;
  report.part = index;
  try {
    Count(matcher, part, report, generation);
  } catch (const FileChangedError& error) {
    report.failure = QString::fromStdString(error.what());
    report.fileReplaced = true;
    failed_ = true;
  } catch (const std::bad_alloc&) {
    report.failure = tr("Find in runs stopped: there is not enough memory.");
    failed_ = true;
  } catch (const std::exception& error) {
    report.failure = tr("Find in runs stopped: %1").arg(QString::fromLocal8Bit(error.what()));
    failed_ = true;
  }
  if (cancelled_) return;
  report.percent = Percent(done_, total_);
  report.last = true;
  Post(std::move(report), generation);
}

void RunsSearch::Count(const LineMatcher& matcher, SearchPart& part, Report& report,
                       unsigned generation) {
  using Clock = std::chrono::steady_clock;
  auto lastReport = Clock::now();
  const auto reportInTime = [&] {
    if (Clock::now() - lastReport < kReportInterval) return;
    report.percent = Percent(done_, total_);
    Report next;
    next.part = report.part;
    Post(std::exchange(report, std::move(next)), generation);
    lastReport = Clock::now();
  };
  for (size_t row = part.Begin; row < part.End; ++row) {
    const std::optional<size_t> count = CountRow(matcher, part, row, reportInTime);
    if (!count) return;
    report.counts.push_back(*count);
  }
}

std::optional<size_t> RunsSearch::CountRow(const LineMatcher& matcher, SearchPart& part, size_t row,
                                           const std::function<void()>& reportInTime) {
  CountedLines& counted = counted_[static_cast<size_t>(firstRow_) + row];
  SpanMatchCount count(matcher, rowLogs_[row], counted);
  done_ += count.Spared();
  while (!count.Done()) {
    if (cancelled_ || failed_) return std::nullopt;
    done_ += count.SearchBlock(part.Reader);
    counted = count.Counted();
    if (blockSearched_) blockSearched_(part.Reader.BytesRead());
    reportInTime();
  }
  return count.Lines();
}

void RunsSearch::Post(Report report, unsigned generation) {
  QMetaObject::invokeMethod(
      this,
      [this, report = std::move(report), generation] {
        if (generation == generation_) Deliver(report);
      },
      Qt::QueuedConnection);
}

// A slot may start another search from any signal, which ends this delivery.
void RunsSearch::Deliver(const Report& report) {
  const unsigned generation = generation_;
  PartCounts& part = partCounts_[report.part];
  part.held.insert(part.held.end(), report.counts.begin(), report.counts.end());
  part.done = report.last;
  const bool finished = std::all_of(partCounts_.begin(), partCounts_.end(),
                                    [](const PartCounts& counts) { return counts.done; });
  if (finished) Join();
  EmitCountsInOrder();
  if (generation != generation_) return;
  const int percent = finished ? 100 : std::max(shownPercent_, report.percent);
  if (percent != shownPercent_ || finished) {
    shownPercent_ = percent;
    emit Progressed(percent);
    if (generation != generation_) return;
  }
  if (!report.failure.isEmpty() && !failureShown_) {
    failureShown_ = true;
    if (report.fileReplaced) {
      emit FileReplaced(report.failure);
    } else {
      emit Failed(report.failure);
    }
    if (generation != generation_) return;
  }
  if (finished) emit Finished();
}

void RunsSearch::EmitCountsInOrder() {
  const unsigned generation = generation_;
  for (PartCounts& part : partCounts_) {
    if (!part.held.empty()) {
      const int firstRow = part.nextRow;
      const std::vector<size_t> counts = std::exchange(part.held, {});
      part.nextRow += static_cast<int>(counts.size());
      emit Counted(firstRow, counts);
      if (generation != generation_) return;
    }
    // A part stopped short by a file that changed leaves rows uncounted, and the rows after
    // them are not reported.
    if (!part.done || part.nextRow != part.endRow) return;
  }
}
