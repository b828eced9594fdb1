#include "BaselineRow.h"

#include "LogStore.h"

std::optional<size_t> PreviousFinishedRow(const LogStore& store, size_t row) {
  const RunsInfo& run = store.RunOfRow(row);
  const bool byFile = !run.ScriptFilename.empty();
  for (size_t earlier = row; earlier-- > 0;) {
    const RunsInfo& candidate = store.RunOfRow(earlier);
    const bool sameScript =
        byFile ? candidate.ScriptFilename == run.ScriptFilename : candidate.Script == run.Script;
    if (sameScript && store.OutcomeOfRow(earlier) == RunOutcome::Finished) return earlier;
  }
  return std::nullopt;
}
