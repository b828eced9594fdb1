#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "LineMatcher.h"
#include "LogStore.h"
#include "SpanReader.h"
#include "TextSearch.h"

// Find in runs: how many lines of each run's log hold the text the user looks for. A match never
// spans a line end, so a line counts once however many matches it holds.

// The lines of `bytes` that hold a match; `bytes` are whole lines with their line ends, as
// SpanReader gives them.
size_t CountMatchingLines(const TextSearch& search, std::string_view bytes);

// Where the log of each table row's run lies, in row order (and so in file order), from row
// `firstRow` on.
std::vector<LineSpan> RowLogSpans(const LogStore& store, size_t firstRow = 0);

// The bytes of all of `spans`.
uint64_t BytesOf(const std::vector<LineSpan>& spans);

// Find in runs goes through the rows in parts, one for each core (up to four), each on a thread
// of its own with a reader of its own that searches a block right after reading it. Reading a
// file that the system holds in memory is a copy, which two cores make at nearly twice the speed
// of one, and a block searched by the core that read it is still in that core's cache: on two
// cores, an indexed 4 GiB log is searched in about half the time that one thread reading ahead
// for another takes.
struct SearchPart {
  size_t Begin = 0;  // the part's first row log, an index into the row logs
  size_t End = 0;
  SpanReader Reader;
};

// One for each core, up to four.
size_t SearchPartsForThisMachine();

// `rowLogs` (in file order) cut into `count` parts of about equal bytes, each with its reader.
// There may be empty parts when the rows are few.
std::vector<SearchPart> SearchParts(const LogStore& store, const std::vector<LineSpan>& rowLogs,
                                    size_t count = SearchPartsForThisMachine());

// For each table row, the number of lines of its run's log that hold a match. An indexed store
// streams its file (SpanReader.h), a long run's log a block at a time (SpanMatchCount.h).
// `goOn`, when given, is asked before each row and each block, on each part's thread, and stops
// the search by answering false; the counts are then of no use.
std::vector<size_t> RowMatchCounts(const LogStore& store, const LineMatcher& matcher,
                                   const std::function<bool()>& goOn = {});
