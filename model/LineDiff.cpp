#include "LineDiff.h"

#include <algorithm>

namespace {

using Kind = DiffBlock::Kind;
constexpr uint64_t kStepsBetweenStopChecks = 4096;

// Appends rows to a diff, joining a block to the one before it when they are of one kind.
class BlockAppender {
 public:
  explicit BlockAppender(LineDiff& diff) : diff_(diff) {}

  void Append(Kind kind, size_t count) {
    if (count == 0) return;
    std::vector<DiffBlock>& blocks = diff_.Blocks;
    if (!blocks.empty() && blocks.back().What == kind) {
      blocks.back().Count += count;
    } else {
      blocks.push_back({kind, baseline_, run_, count});
    }
    if (kind != Kind::OnlyRun) baseline_ += count;
    if (kind != Kind::OnlyBaseline) run_ += count;
  }
  // `removed` baseline lines replaced by `added` run lines.
  void AppendGap(size_t removed, size_t added) {
    const size_t changed = std::min(removed, added);
    Append(Kind::Changed, changed);
    Append(Kind::OnlyBaseline, removed - changed);
    Append(Kind::OnlyRun, added - changed);
  }

 private:
  LineDiff& diff_;
  size_t baseline_ = 0;
  size_t run_ = 0;
};

// Myers' O(ND) search for the middle snake, applied recursively (his linear-space refinement):
// it marks the baseline lines to remove and the run lines to add.
class ShortestEdit {
 public:
  enum class End { Done, Stopped, TooCostly };

  ShortestEdit(std::span<const uint64_t> a, std::span<const uint64_t> b,
               const std::atomic<bool>& stop, uint64_t maxWork)
      : a_(a), b_(b), stop_(stop), maxWork_(maxWork), removed_(a.size()), added_(b.size()) {
    const size_t diagonals = a.size() + b.size() + 3;
    forward_.resize(diagonals);
    backward_.resize(diagonals);
  }

  End Search() {
    Compare(0, static_cast<int64_t>(a_.size()), 0, static_cast<int64_t>(b_.size()));
    return end_;
  }

  void AppendTo(BlockAppender& out) const {
    size_t i = 0;
    size_t j = 0;
    while (i < a_.size() || j < b_.size()) {
      const size_t gapStartA = i;
      const size_t gapStartB = j;
      while (i < a_.size() && removed_[i]) ++i;
      while (j < b_.size() && added_[j]) ++j;
      out.AppendGap(i - gapStartA, j - gapStartB);
      size_t same = 0;
      while (i < a_.size() && j < b_.size() && !removed_[i] && !added_[j]) {
        ++i;
        ++j;
        ++same;
      }
      out.Append(Kind::Same, same);
    }
  }

 private:
  void Compare(int64_t aLo, int64_t aHi, int64_t bLo, int64_t bHi) {
    while (aLo < aHi && bLo < bHi && a_[aLo] == b_[bLo]) {
      ++aLo;
      ++bLo;
    }
    while (aLo < aHi && bLo < bHi && a_[aHi - 1] == b_[bHi - 1]) {
      --aHi;
      --bHi;
    }
    if (aLo == aHi || bLo == bHi) {
      std::fill(removed_.begin() + aLo, removed_.begin() + aHi, uint8_t{1});
      std::fill(added_.begin() + bLo, added_.begin() + bHi, uint8_t{1});
      return;
    }
    int64_t x = 0;
    int64_t y = 0;
    if (!MiddleSnake(aLo, aHi, bLo, bHi, x, y)) return;
    Compare(aLo, aLo + x, bLo, bLo + y);
    if (end_ == End::Done) Compare(aLo + x, aHi, bLo + y, bHi);
  }

  // Counts `steps` of work; false once the search must end.
  bool Work(uint64_t steps) {
    work_ += steps;
    if (work_ > maxWork_) {
      end_ = End::TooCostly;
    } else if (work_ >= nextCheck_) {
      nextCheck_ = work_ + kStepsBetweenStopChecks;
      if (stop_.load(std::memory_order_relaxed)) end_ = End::Stopped;
    }
    return end_ == End::Done;
  }

  // Takes diagonal `k` (at `index`) of `furthest` one edit on, and then along the equal lines
  // after it, which `same(x, y)` tells in the direction searched: the x reached, or nothing
  // when the search must end.
  template <typename Same>
  std::optional<int64_t> Advance(std::vector<int32_t>& furthest, int64_t index, int64_t k,
                                 int64_t d, int64_t n, int64_t m, const Same& same) {
    int64_t x = (k == -d || (k != d && furthest[index - 1] < furthest[index + 1]))
                    ? furthest[index + 1]
                    : furthest[index - 1] + 1;
    const int64_t start = x;
    while (x < n && x - k < m && same(x, x - k)) ++x;
    if (!Work(static_cast<uint64_t>(x - start) + 1)) return std::nullopt;
    furthest[index] = static_cast<int32_t>(x);
    return x;
  }

  // Where a shortest path through the lines from (aLo, bLo) to (aHi, bHi) crosses the middle,
  // as offsets (x, y) from (aLo, bLo); false when the search had to end first. Both ranges hold
  // lines, and their first and their last lines differ.
  bool MiddleSnake(int64_t aLo, int64_t aHi, int64_t bLo, int64_t bHi, int64_t& x, int64_t& y) {
    const int64_t n = aHi - aLo;
    const int64_t m = bHi - bLo;
    const int64_t maxD = (n + m + 1) / 2;
    const int64_t offset = maxD;
    const auto size = static_cast<size_t>(2 * maxD + 2);
    std::fill(forward_.begin(), forward_.begin() + size, -1);
    std::fill(backward_.begin(), backward_.begin() + size, -1);
    forward_[offset + 1] = 0;
    backward_[offset + 1] = 0;
    const int64_t delta = n - m;
    const bool oddDelta = (delta % 2) != 0;
    const auto forwardSame = [&](int64_t fx, int64_t fy) { return a_[aLo + fx] == b_[bLo + fy]; };
    const auto backwardSame = [&](int64_t bx, int64_t by) {
      return a_[aHi - bx - 1] == b_[bHi - by - 1];
    };
    // What the other direction has reached on diagonal `index`, or -1.
    const auto reached = [size](const std::vector<int32_t>& furthest, int64_t index) {
      return index >= 0 && index < static_cast<int64_t>(size) ? int64_t{furthest[index]} : -1;
    };
    // Diagonals that ran off the edges are not tried again.
    int64_t forwardStart = 0, forwardEnd = 0, backwardStart = 0, backwardEnd = 0;
    for (int64_t d = 0; d < maxD; ++d) {
      for (int64_t k = -d + forwardStart; k <= d - forwardEnd; k += 2) {
        const std::optional<int64_t> fx = Advance(forward_, offset + k, k, d, n, m, forwardSame);
        if (!fx) return false;
        const int64_t other = reached(backward_, offset + delta - k);
        if (*fx > n) {
          forwardEnd += 2;
        } else if (*fx - k > m) {
          forwardStart += 2;
        } else if (oddDelta && other >= 0 && *fx >= n - other) {
          x = *fx;
          y = *fx - k;
          return true;
        }
      }
      for (int64_t k = -d + backwardStart; k <= d - backwardEnd; k += 2) {
        const std::optional<int64_t> bx = Advance(backward_, offset + k, k, d, n, m, backwardSame);
        if (!bx) return false;
        const int64_t other = reached(forward_, offset + delta - k);
        if (*bx > n) {
          backwardEnd += 2;
        } else if (*bx - k > m) {
          backwardStart += 2;
        } else if (!oddDelta && other >= 0 && other >= n - *bx) {
          x = other;
          y = other - (delta - k);
          return true;
        }
      }
    }
    // The ranges share no line at all: every line is an edit, which the caller's halves mark.
    x = n;
    y = 0;
    return true;
  }

  std::span<const uint64_t> a_;
  std::span<const uint64_t> b_;
  const std::atomic<bool>& stop_;
  uint64_t maxWork_;
  uint64_t work_ = 0;
  uint64_t nextCheck_ = kStepsBetweenStopChecks;
  End end_ = End::Done;
  std::vector<uint8_t> removed_;
  std::vector<uint8_t> added_;
  // The furthest x reached on each diagonal, forwards from the start and backwards from the end.
  std::vector<int32_t> forward_;
  std::vector<int32_t> backward_;
};

// What two runs share at their start and their end, then the lines between paired by position.
LineDiff AlignedByPosition(std::span<const uint64_t> a, std::span<const uint64_t> b) {
  LineDiff diff;
  diff.Exact = false;
  BlockAppender out(diff);
  const size_t shorter = std::min(a.size(), b.size());
  size_t head = 0;
  while (head < shorter && a[head] == b[head]) ++head;
  size_t tail = 0;
  while (tail < shorter - head && a[a.size() - 1 - tail] == b[b.size() - 1 - tail]) ++tail;
  out.Append(Kind::Same, head);
  for (size_t k = head; k < shorter - tail; ++k) {
    out.Append(a[k] == b[k] ? Kind::Same : Kind::Changed, 1);
  }
  out.Append(Kind::OnlyBaseline, a.size() - shorter);
  out.Append(Kind::OnlyRun, b.size() - shorter);
  out.Append(Kind::Same, tail);
  return diff;
}

}  // namespace

std::optional<LineDiff> DiffLines(std::span<const uint64_t> baseline, std::span<const uint64_t> run,
                                  const std::atomic<bool>& stop, const DiffLimits& limits) {
  if (baseline.size() + run.size() > limits.MaxExactLines) {
    return AlignedByPosition(baseline, run);
  }
  ShortestEdit search(baseline, run, stop, limits.MaxExactWork);
  switch (search.Search()) {
    case ShortestEdit::End::Stopped:
      return std::nullopt;
    case ShortestEdit::End::TooCostly:
      return AlignedByPosition(baseline, run);
    case ShortestEdit::End::Done:
      break;
  }
  LineDiff diff;
  BlockAppender out(diff);
  search.AppendTo(out);
  return diff;
}

DiffCounts CountDifferences(const LineDiff& diff) {
  DiffCounts counts;
  for (const DiffBlock& block : diff.Blocks) {
    if (block.What == Kind::OnlyBaseline) counts.OnlyBaseline += block.Count;
    if (block.What == Kind::OnlyRun) counts.OnlyRun += block.Count;
    if (block.What == Kind::Changed) counts.Changed += block.Count;
  }
  return counts;
}
