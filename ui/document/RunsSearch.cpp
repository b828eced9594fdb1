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

int Percent(size_t done, size_t total) {
  return total == 0 ? 100 : static_cast<int>(done * 100 / total);
}

}  // namespace

RunsSearch::RunsSearch(QObject* parent) : QObject(parent) {}

RunsSearch::~RunsSearch() {
  Cancel();
}

void RunsSearch::Start(const TextSearch& search, std::vector<std::string_view> rowLogs,
                       int firstRow) {
  Cancel();
  cancelled_ = false;
  thread_ =
      std::thread([this, search, rowLogs = std::move(rowLogs), firstRow, generation = generation_] {
        Search(search, rowLogs, firstRow, generation);
      });
}

void RunsSearch::Cancel() {
  cancelled_ = true;
  if (thread_.joinable()) thread_.join();
  ++generation_;
}

void RunsSearch::Search(const TextSearch& search, const std::vector<std::string_view>& rowLogs,
                        int firstRow, unsigned generation) {
  using Clock = std::chrono::steady_clock;
  const size_t total =
      std::accumulate(rowLogs.begin(), rowLogs.end(), size_t{0},
                      [](size_t sum, std::string_view log) { return sum + log.size(); });
  size_t done = 0;
  Report report;
  report.firstRow = firstRow;
  auto lastReport = Clock::now();
  const auto reportInTime = [&] {
    if (Clock::now() - lastReport < kReportInterval) return;
    report.percent = Percent(done, total);
    Report next;
    next.firstRow = report.firstRow + static_cast<int>(report.counts.size());
    Post(std::exchange(report, std::move(next)), generation);
    lastReport = Clock::now();
  };
  for (const std::string_view log : rowLogs) {
    size_t count = 0;
    for (std::string_view rest = log; !rest.empty();) {
      if (cancelled_) return;
      const std::string_view piece = LeadingLines(rest, kPieceBytes);
      count += CountMatchingLines(search, piece);
      rest.remove_prefix(piece.size());
      done += piece.size();
      reportInTime();
    }
    report.counts.push_back(count);
  }
  report.percent = 100;
  report.last = true;
  Post(std::move(report), generation);
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
  if (report.last) emit Finished();
}
