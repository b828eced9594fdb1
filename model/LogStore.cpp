#include "LogStore.h"

#include <algorithm>

#include "LogFileError.h"
#include "LogFollow.h"
#include "LogParser.h"
#include "StoreLimit.h"

void LogStore::Clear() {
  RunLogs.clear();
  ScriptParts.clear();
  Runs.clear();
  RowToRun.clear();
  Outcomes.clear();
  RunLogs.shrink_to_fit();
  ScriptParts.shrink_to_fit();
  Runs.shrink_to_fit();
  RowToRun.shrink_to_fit();
  Outcomes.shrink_to_fit();
  Text = TextBuffer();
  IndexedFile.reset();
  TextEncoding = Encoding::Windows1252;
  Checkpoint = LoadCheckpoint();
}

const RunsInfo& LogStore::RunOfRow(size_t row) const {
  return Runs.at(static_cast<size_t>(RowToRun.at(row)));
}

RunOutcome LogStore::OutcomeOfRow(size_t row) const {
  return Outcomes.at(static_cast<size_t>(RowToRun.at(row)));
}

const LineSpan& LogStore::LogOf(const RunsInfo& run) const {
  return RunLogs.at(static_cast<size_t>(run.LogIndex));
}

const LineSpan& LogStore::ScriptOf(const RunsInfo& run) const {
  return ScriptParts.at(static_cast<size_t>(run.ScriptIndex));
}

LineList LogStore::LinesOf(const LineSpan& span) const {
  const char* text = Text.Data();
  return {text + span.Begin, text + span.End, span.Count};
}

namespace {

void ParseInto(LogStore& store, TextBuffer text, EncodingChoice encoding) {
  store.Text = std::move(text);
  // With Auto, what the look at the text finds is kept, so that appended bytes alone are looked
  // at when the log grows.
  store.Checkpoint.Choice = encoding;
  if (encoding == EncodingChoice::Auto) {
    store.Checkpoint.Utf8 = ContinueUtf8Scan({}, store.Text.View());
    store.TextEncoding = AutoEncoding(store.Checkpoint.Utf8);
  } else {
    store.TextEncoding = ResolveEncoding(encoding, store.Text.View());
  }
  ParseLog(store);
  store.RowToRun = FoldRunsIntoRows(store.Runs);
  store.Checkpoint.Valid = true;
}

// The parse of a load that may be stopped goes a piece at a time, as following the file from its
// first byte, and the store comes out the same.
void ParseInPieces(LogStore& store, TextBuffer text, EncodingChoice encoding,
                   const std::function<bool(uint64_t bytesTaken)>& goOn) {
  BeginLoadInPieces(store, std::move(text), encoding);
  const uint64_t end = store.Text.End();
  uint64_t taken = 0;
  do {
    taken = std::min<uint64_t>(end, taken + ReadPieceBytes());
    TakeInPiece(store, taken);
  } while (taken < end && goOn(taken));
}

}  // namespace

void LoadLogFile(LogStore& store, const std::filesystem::path& path, EncodingChoice encoding,
                 const std::function<bool(uint64_t bytesTaken)>& goOn) {
  const std::optional<ProbedFile> file = ProbeFile(path);
  if (!file || file->Size <= InMemoryLimit()) {
    store.Clear();
    try {
      TextBuffer text = TextBuffer::ReadFile(path, SIZE_MAX, goOn);
      if (goOn) {
        ParseInPieces(store, std::move(text), encoding, goOn);
      } else {
        ParseInto(store, std::move(text), encoding);
      }
      return;
    } catch (const FileTooLargeError&) {
      // The memory for the text cannot be had (a limited address space, a machine short of
      // memory); an index needs little.
    }
  }
  IndexLogFile(store, path, encoding, goOn);
}

void LoadLogText(LogStore& store, std::string_view bytes, EncodingChoice encoding) {
  store.Clear();
  ParseInto(store, TextBuffer::FromBytes(bytes), encoding);
}

std::vector<int32_t> FoldRunsIntoRows(const std::vector<RunsInfo>& runs) {
  std::vector<int32_t> rows;
  AppendFoldedRows(rows, runs, 0);
  return rows;
}

void AppendFoldedRows(std::vector<int32_t>& rows, const std::vector<RunsInfo>& runs,
                      size_t firstRun) {
  for (size_t i = firstRun; i < runs.size(); ++i) {
    while (i + 1 < runs.size() && runs[i + 1].DateTime == runs[i].DateTime) ++i;
    rows.push_back(static_cast<int32_t>(i));
  }
}
