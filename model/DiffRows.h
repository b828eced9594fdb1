#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "LineDiff.h"

// The rows a side-by-side view of a diff shows, one a block's line or pair of lines, found by
// their number without a list of every row.
class DiffRows {
 public:
  struct Row {
    DiffBlock::Kind What = DiffBlock::Kind::Same;
    std::optional<size_t> Baseline;  // the baseline line the row shows, if any
    std::optional<size_t> Run;
  };

  DiffRows() = default;
  explicit DiffRows(LineDiff diff);

  const LineDiff& Diff() const { return diff_; }
  size_t Count() const { return starts_.empty() ? 0 : starts_.back(); }
  Row At(size_t row) const;
  // The first row of the first stretch of differences after row `row`, or before it; nothing
  // when there is none.
  std::optional<size_t> NextDifference(std::optional<size_t> row) const;
  std::optional<size_t> PreviousDifference(size_t row) const;
  // The first row of each stretch of differences, with its length in rows, in row order.
  struct Stretch {
    size_t First = 0;
    size_t Count = 0;
    DiffBlock::Kind What = DiffBlock::Kind::Changed;  // of the stretch's first block
  };
  std::vector<Stretch> Differences() const;

 private:
  size_t BlockOf(size_t row) const;

  LineDiff diff_;
  std::vector<size_t> starts_;  // the first row of each block, and last the row count
};
