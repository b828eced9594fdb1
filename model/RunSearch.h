#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "LogStore.h"
#include "TextSearch.h"

// Find in runs: how many lines of each run's log hold the text the user looks for. A match never
// spans a line end, so a line counts once however many matches it holds.

// The lines of `bytes` that hold a match; `bytes` are whole lines with their line ends, as
// LineList::Bytes() gives them.
size_t CountMatchingLines(const TextSearch& search, std::string_view bytes);

// The whole lines at the start of `bytes` that take at least `size` bytes (all of `bytes` when
// they are fewer), so that a long run can be searched piece by piece.
std::string_view LeadingLines(std::string_view bytes, size_t size);

// The log bytes of each table row's run, in row order.
std::vector<std::string_view> RowLogBytes(const LogStore& store);

// For each table row, the number of lines of its run's log that hold a match.
std::vector<size_t> RowMatchCounts(const LogStore& store, const TextSearch& search);
