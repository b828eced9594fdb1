#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "LineList.h"
#include "LineSpan.h"
#include "LoadCheckpoint.h"
#include "RunOutcome.h"
#include "RunsInfo.h"
#include "TextBuffer.h"
#include "TextEncoding.h"

// What the last load of a log file produced. It holds the file's text in memory, or, for a file
// larger than InMemoryLimit(), is indexed: it keeps where each script text and run log lies in
// the file and reads their bytes again when they are wanted (RunText.h, SpanReader.h).
struct LogStore {
  std::vector<LineSpan> ScriptParts;
  std::vector<LineSpan> RunLogs;
  std::vector<RunsInfo> Runs;
  std::vector<int32_t> RowToRun;     // for each table row, the position in Runs of the run it shows
  std::vector<RunOutcome> Outcomes;  // for each run in Runs, how its log ended
  // The whole text; when indexed, only its last lines, from the parse's checkpoint on.
  TextBuffer Text;
  std::optional<std::filesystem::path> IndexedFile;  // the file, when the store is indexed
  Encoding TextEncoding = Encoding::Windows1252;
  LoadCheckpoint Checkpoint;  // where taking in appended bytes goes on from (LogFollow.h)

  // Empties the store whole: nothing is ever removed from it one element at a time.
  void Clear();

  // The run that table row `row` (from 0) shows; a row outside the table throws
  // std::out_of_range.
  const RunsInfo& RunOfRow(size_t row) const;
  RunOutcome OutcomeOfRow(size_t row) const;
  const LineSpan& LogOf(const RunsInfo& run) const;
  const LineSpan& ScriptOf(const RunsInfo& run) const;
  bool Indexed() const { return IndexedFile.has_value(); }
  // The lines of `span` in the text; only for a store that is not indexed.
  LineList LinesOf(const LineSpan& span) const;
};

// Empties `store`, reads the file `path` into it, parses it and folds its runs into table rows:
// the whole load, for the window and the headless modes alike. A file larger than
// InMemoryLimit() is indexed, read in pieces of which only the last lines are kept. A file that
// cannot be read throws LogFileError and leaves the store empty. `goOn`, when given, hears how
// far the load has got after each piece of the read, the parse or the index, and stops the load
// by answering false; the store is then of no use.
void LoadLogFile(LogStore& store, const std::filesystem::path& path,
                 EncodingChoice encoding = EncodingChoice::Auto,
                 const std::function<bool(uint64_t bytesTaken)>& goOn = {});

// The same for bytes that are already in memory.
void LoadLogText(LogStore& store, std::string_view bytes,
                 EncodingChoice encoding = EncodingChoice::Auto);

// Folds each stretch of adjacent runs with byte-equal DateTime into one table row and returns,
// for each row, the position of the last run of its stretch.
std::vector<int32_t> FoldRunsIntoRows(const std::vector<RunsInfo>& runs);
// The same for the runs from `firstRun` on, which starts a stretch, with their rows appended to
// `rows`.
void AppendFoldedRows(std::vector<int32_t>& rows, const std::vector<RunsInfo>& runs,
                      size_t firstRun);
