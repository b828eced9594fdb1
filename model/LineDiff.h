#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// How the lines of a run line up with those of a baseline run: consecutive rows of one kind,
// each row a line of one side or a pair of lines, one of each.
struct DiffBlock {
  enum class Kind : uint8_t {
    Same,          // lines that are equal on both sides
    Changed,       // a baseline line replaced by a run line
    OnlyBaseline,  // lines the run lacks
    OnlyRun,       // lines the baseline lacks
  };
  Kind What = Kind::Same;
  size_t Baseline = 0;  // the first baseline line of the block (where it would be, for OnlyRun)
  size_t Run = 0;       // the first run line of the block (where it would be, for OnlyBaseline)
  size_t Count = 0;

  bool operator==(const DiffBlock&) const = default;
};

struct LineDiff {
  std::vector<DiffBlock> Blocks;
  // False when the runs were too large or too different for a shortest edit script, and their
  // lines were paired by position after what they share at their start and their end.
  bool Exact = true;
};

// Beyond these the search for a shortest edit script would take too long: the runs are aligned
// line by line instead. The search's work grows with the lines times their differences.
struct DiffLimits {
  size_t MaxExactLines = 4'000'000;     // of both runs together
  uint64_t MaxExactWork = 400'000'000;  // steps of the search, each a line compared or a
                                        // diagonal tried: about half a second
};

// The diff of two runs' lines, each given as a value that is equal for lines that compare as
// equal (a hash of the masked line): a shortest edit script by Myers' algorithm in linear space,
// where a run of deletions next to a run of insertions pairs up as changed lines. Nothing when
// `stop` is set before the end: the search looks at it every few thousand steps. Our own rather
// than a library's (dtl, say), since a search of runs of millions of lines must stop within a
// bounded step when asked, give up past a bound on its work, and keep its memory linear in the
// lines, which none of the header-only libraries at hand allow.
std::optional<LineDiff> DiffLines(std::span<const uint64_t> baseline, std::span<const uint64_t> run,
                                  const std::atomic<bool>& stop, const DiffLimits& limits = {});

// How many lines the diff has only in the baseline, only in the run, and changed (pairs).
struct DiffCounts {
  size_t OnlyBaseline = 0;
  size_t OnlyRun = 0;
  size_t Changed = 0;

  bool Any() const { return OnlyBaseline + OnlyRun + Changed > 0; }
};
DiffCounts CountDifferences(const LineDiff& diff);
