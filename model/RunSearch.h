#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "LogStore.h"
#include "TextSearch.h"

// Find in runs: how many lines of each run's log hold the text the user looks for. A match never
// spans a line end, so a line counts once however many matches it holds.

// The lines of `bytes` that hold a match; `bytes` are whole lines with their line ends, as
// SpanReader gives them.
size_t CountMatchingLines(const TextSearch& search, std::string_view bytes);

// The whole lines at the start of `bytes` that take at least `size` bytes (all of `bytes` when
// they are fewer), so that a long run can be searched piece by piece.
std::string_view LeadingLines(std::string_view bytes, size_t size);

// Where the log of each table row's run lies, in row order (and so in file order), from row
// `firstRow` on.
std::vector<LineSpan> RowLogSpans(const LogStore& store, size_t firstRow = 0);

// For each table row, the number of lines of its run's log that hold a match. An indexed store
// streams its file (SpanReader.h).
std::vector<size_t> RowMatchCounts(const LogStore& store, const TextSearch& search);
