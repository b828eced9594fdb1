#include "StoreInvariants.h"

#include <iterator>

#include "SpanReader.h"

namespace {

std::string At(const char* what, size_t position) {
  return std::string(what) + " " + std::to_string(position) + ": ";
}

std::string CheckLineLists(const std::vector<LineSpan>& lists, const LogStore& store,
                           const char* what) {
  SpanReader reader(store);
  const uint64_t textEnd = store.Text.End();
  uint64_t previousEnd = 0;
  for (size_t k = 0; k < lists.size(); ++k) {
    const LineSpan& span = lists[k];
    if (!span.Empty() && (span.Begin < previousEnd || span.End > textEnd)) {
      return At(what, k) + "lies outside the text or before the list ahead of it";
    }
    if (!span.Empty()) previousEnd = span.End;
    const LineList lines = reader.Lines(span);
    if (static_cast<size_t>(std::distance(lines.begin(), lines.end())) != span.Count) {
      return At(what, k) + "holds another number of lines than it counts";
    }
  }
  return {};
}

std::string CheckRuns(const LogStore& store) {
  if (store.Runs.size() != store.RunLogs.size()) return "RunLogs and Runs differ in length";
  if (store.Runs.size() != store.Outcomes.size()) return "Outcomes and Runs differ in length";
  for (size_t k = 0; k < store.Runs.size(); ++k) {
    const RunsInfo& run = store.Runs[k];
    if (run.LogIndex != static_cast<int32_t>(k))
      return At("run", k) + "LogIndex is not its position";
    if (run.ScriptIndex < 0 || static_cast<size_t>(run.ScriptIndex) >= store.ScriptParts.size()) {
      return At("run", k) + "ScriptIndex out of range";
    }
    if (k > 0 && run.ScriptIndex < store.Runs[k - 1].ScriptIndex) {
      return At("run", k) + "ScriptIndex decreases";
    }
  }
  return {};
}

std::string CheckRows(const LogStore& store) {
  size_t nextRun = 0;  // runs below this are reached by a row or folded into the run after them
  for (size_t row = 0; row < store.RowToRun.size(); ++row) {
    const int32_t run = store.RowToRun[row];
    if (run < 0 || static_cast<size_t>(run) >= store.Runs.size() ||
        static_cast<size_t>(run) < nextRun) {
      return At("row", row) + "does not name a later run";
    }
    for (auto folded = nextRun; folded < static_cast<size_t>(run); ++folded) {
      if (store.Runs[folded].DateTime != store.Runs[folded + 1].DateTime) {
        return At("run", folded) + "is neither shown nor folded into the next run";
      }
    }
    nextRun = static_cast<size_t>(run) + 1;
  }
  if (!store.RowToRun.empty() && nextRun != store.Runs.size()) return "the last runs have no row";
  return {};
}

}  // namespace

std::string CheckStoreInvariants(const LogStore& store) {
  for (const std::string& problem :
       {CheckLineLists(store.ScriptParts, store, "script"),
        CheckLineLists(store.RunLogs, store, "run log"), CheckRuns(store), CheckRows(store)}) {
    if (!problem.empty()) return problem;
  }
  return {};
}
