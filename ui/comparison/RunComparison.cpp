#include "RunComparison.h"

#include <QThread>
#include <exception>
#include <functional>
#include <memory>

#include "LineDecoder.h"
#include "LogStore.h"

namespace {

constexpr size_t kLinesBetweenStopChecks = 4096;

QString Decoded(const std::string& field, Encoding encoding) {
  return QString::fromStdString(Decode(field, encoding));
}

QString RunTitle(const LogStore& store, int row) {
  const RunsInfo& run = store.RunOfRow(static_cast<size_t>(row));
  return QObject::tr("run %1, %2, %3")
      .arg(row + 1)
      .arg(Decoded(run.DateTime, store.TextEncoding), Decoded(run.Script, store.TextEncoding));
}

ComparisonRequest::Side SideOf(const LogStore& store, int row) {
  const RunsInfo& run = store.RunOfRow(static_cast<size_t>(row));
  return {row, RunTitle(store, row), RunSource(store, store.LogOf(run)),
          RunSource(store, store.ScriptOf(run))};
}

using LineValue = std::function<uint64_t(std::string_view line)>;

// The value each line compares by; nothing when stopped.
std::optional<std::vector<uint64_t>> LineValues(const RunLines& lines, const LineValue& value,
                                                const std::atomic<bool>& stop) {
  std::vector<uint64_t> values(lines.Count());
  for (size_t k = 0; k < values.size(); ++k) {
    if (k % kLinesBetweenStopChecks == 0 && stop.load(std::memory_order_relaxed)) {
      return std::nullopt;
    }
    values[k] = value(lines.Line(k));
  }
  return values;
}

std::vector<RunClock::LineTime> TimesOf(const RunLines& lines) {
  std::vector<RunClock::LineTime> times(lines.Count());
  RunClock clock;
  for (size_t k = 0; k < times.size(); ++k) times[k] = clock.Next(lines.Line(k));
  return times;
}

// Reads one side and works out its log lines' masked values and times; nothing when stopped.
std::optional<ComparedRun> ReadSide(const ComparisonRequest::Side& side,
                                    const ComparisonRequest& request,
                                    std::vector<uint64_t>& logValues,
                                    const std::atomic<bool>& stop) {
  LineDecoder decoder(request.TextEncoding);
  const LineValue value = [&](std::string_view line) {
    return request.Rules.MaskedHash(decoder.Decode(line));
  };
  std::optional<RunLines> log = side.Log.Read(stop);
  std::optional<RunLines> script = log ? side.Script.Read(stop) : std::nullopt;
  if (!script) return std::nullopt;
  std::optional<std::vector<uint64_t>> values = LineValues(*log, value, stop);
  if (!values) return std::nullopt;
  logValues = std::move(*values);
  ComparedRun run{side.Row, side.Title, std::move(*log), std::move(*script), {}};
  run.Times = TimesOf(run.Log);
  return run;
}

std::optional<DiffRows> Diff(const std::vector<uint64_t>& baseline,
                             const std::vector<uint64_t>& run, const std::atomic<bool>& stop) {
  std::optional<LineDiff> diff = DiffLines(baseline, run, stop);
  if (!diff) return std::nullopt;
  return DiffRows(std::move(*diff));
}

std::optional<DiffRows> ScriptDiff(const RunLines& baseline, const RunLines& run,
                                   const std::atomic<bool>& stop) {
  const LineValue asIs = [](std::string_view line) { return std::hash<std::string_view>()(line); };
  const auto baselineValues = LineValues(baseline, asIs, stop);
  const auto runValues = LineValues(run, asIs, stop);
  if (!baselineValues || !runValues) return std::nullopt;
  return Diff(*baselineValues, *runValues, stop);
}

}  // namespace

ComparisonRequest ComparisonRequest::For(const LogStore& store, int runRow, int baselineRow,
                                         const MaskRules& rules) {
  return {SideOf(store, baselineRow), SideOf(store, runRow), store.TextEncoding, rules};
}

std::optional<RunComparison> CompareRuns(const ComparisonRequest& request,
                                         const std::atomic<bool>& stop) {
  // Masking is most of the work: the two runs are masked on two cores.
  std::vector<uint64_t> baselineValues;
  std::optional<ComparedRun> baseline;
  std::exception_ptr baselineFailure;
  const std::unique_ptr<QThread> baselineRead(QThread::create([&] {
    try {
      baseline = ReadSide(request.Baseline, request, baselineValues, stop);
    } catch (...) {
      baselineFailure = std::current_exception();
    }
  }));
  baselineRead->start();
  std::vector<uint64_t> runValues;
  std::optional<ComparedRun> run;
  try {
    run = ReadSide(request.Run, request, runValues, stop);
  } catch (...) {
    baselineRead->wait();
    throw;
  }
  baselineRead->wait();
  if (baselineFailure) std::rethrow_exception(baselineFailure);
  if (!baseline || !run) return std::nullopt;
  std::optional<DiffRows> log = Diff(baselineValues, runValues, stop);
  std::optional<DiffRows> script =
      log ? ScriptDiff(baseline->Script, run->Script, stop) : std::nullopt;
  if (!script) return std::nullopt;
  return RunComparison{std::move(*baseline), std::move(*run),      std::move(*log),
                       std::move(*script),   request.TextEncoding, request.Rules};
}
