#include "RunsSearch.h"

#include <chrono>
#include <numeric>
#include <utility>

#include "RunSearch.h"

namespace {

// A long run is searched in pieces of about this size, so that a cancel never waits long.
constexpr size_t kPieceBytes = 1 << 20;
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

void RunsSearch::Start(const TextSearch& search, SpanReader reader, std::vector<LineSpan> rowLogs,
                       int firstRow) {
  Cancel();
  cancelled_ = false;
  thread_ = std::thread([this, search, reader = std::move(reader), rowLogs = std::move(rowLogs),
                         firstRow, generation = generation_]() mutable {
    Search(search, reader, rowLogs, firstRow, generation);
  });
}

void RunsSearch::Cancel() {
  cancelled_ = true;
  if (thread_.joinable()) thread_.join();
  ++generation_;
}

void RunsSearch::Search(const TextSearch& search, SpanReader& reader,
                        const std::vector<LineSpan>& rowLogs, int firstRow, unsigned generation) {
  Report report;
  report.firstRow = firstRow;
  try {
    Count(search, reader, rowLogs, report, generation);
  } catch (const FileChangedError& error) {
    report.failure = QString::fromStdString(error.what());
  }
  if (cancelled_) return;
  report.percent = 100;
  report.last = true;
  Post(std::move(report), generation);
}

void RunsSearch::Count(const TextSearch& search, SpanReader& reader,
                       const std::vector<LineSpan>& rowLogs, Report& report, unsigned generation) {
  using Clock = std::chrono::steady_clock;
  const uint64_t total =
      std::accumulate(rowLogs.begin(), rowLogs.end(), uint64_t{0},
                      [](uint64_t sum, const LineSpan& log) { return sum + log.Size(); });
  uint64_t done = 0;
  auto lastReport = Clock::now();
  const auto reportInTime = [&] {
    if (Clock::now() - lastReport < kReportInterval) return;
    report.percent = Percent(done, total);
    Report next;
    next.firstRow = report.firstRow + static_cast<int>(report.counts.size());
    Post(std::exchange(report, std::move(next)), generation);
    lastReport = Clock::now();
  };
  for (const LineSpan& log : rowLogs) {
    size_t count = 0;
    for (std::string_view rest = reader.Bytes(log); !rest.empty();) {
      if (cancelled_) return;
      const std::string_view piece = LeadingLines(rest, kPieceBytes);
      count += CountMatchingLines(search, piece);
      rest.remove_prefix(piece.size());
      done += piece.size();
      reportInTime();
    }
    report.counts.push_back(count);
  }
}

void RunsSearch::Post(Report report, unsigned generation) {
  QMetaObject::invokeMethod(
      this,
      [this, report = std::move(report), generation] {
        if (generation == generation_) Deliver(report);
      },
      Qt::QueuedConnection);
}

void RunsSearch::Deliver(const Report& report) {
  if (report.last) thread_.join();
  if (!report.counts.empty()) emit Counted(report.firstRow, report.counts);
  emit Progressed(report.percent);
  if (!report.failure.isEmpty()) emit FileReplaced(report.failure);
  if (report.last) emit Finished();
}
