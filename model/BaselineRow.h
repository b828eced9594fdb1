#pragma once

#include <cstddef>
#include <optional>

struct LogStore;

// The row to compare the run of table row `row` with: the nearest row above it whose run
// finished and ran the same script, known by its file name, or by its name when the run has no
// file name. Nothing when there is no such row.
std::optional<size_t> PreviousFinishedRow(const LogStore& store, size_t row);
