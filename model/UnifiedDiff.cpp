#include "UnifiedDiff.h"

#include <algorithm>
#include <vector>

namespace {

using Kind = DiffBlock::Kind;

// Consecutive lines that differ: [BaselineBegin, BaselineEnd) replaced by [RunBegin, RunEnd).
struct Gap {
  size_t BaselineBegin = 0;
  size_t BaselineEnd = 0;
  size_t RunBegin = 0;
  size_t RunEnd = 0;
};

std::vector<Gap> GapsOf(const LineDiff& diff) {
  std::vector<Gap> gaps;
  bool inGap = false;
  for (const DiffBlock& block : diff.Blocks) {
    if (block.What == Kind::Same) {
      inGap = false;
      continue;
    }
    if (!inGap) gaps.push_back({block.Baseline, block.Baseline, block.Run, block.Run});
    inGap = true;
    if (block.What != Kind::OnlyRun) gaps.back().BaselineEnd = block.Baseline + block.Count;
    if (block.What != Kind::OnlyBaseline) gaps.back().RunEnd = block.Run + block.Count;
  }
  return gaps;
}

// "-5,3" or "+7,0": where a hunk's lines start, counted from 1, or the line before when none.
std::string Range(char sign, size_t begin, size_t end) {
  const size_t shownStart = end > begin ? begin + 1 : begin;
  return sign + std::to_string(shownStart) + ',' + std::to_string(end - begin);
}

class HunkWriter {
 public:
  HunkWriter(std::ostream& out, const UnifiedSides& sides, size_t context)
      : out_(out), sides_(sides), context_(context) {}

  // The gaps [first, last] in one hunk.
  void Write(const std::vector<Gap>& gaps, size_t first, size_t last) {
    const size_t lead = std::min(context_, gaps[first].BaselineBegin);
    const size_t baselineBegin = gaps[first].BaselineBegin - lead;
    const size_t runBegin = gaps[first].RunBegin - lead;
    const size_t trail = std::min(context_, sides_.BaselineLines - gaps[last].BaselineEnd);
    out_ << "@@ " << Range('-', baselineBegin, gaps[last].BaselineEnd + trail) << ' '
         << Range('+', runBegin, gaps[last].RunEnd + trail) << " @@\n";
    size_t run = runBegin;
    for (size_t k = first; k <= last; ++k) {
      Lines(' ', sides_.RunLine, run, gaps[k].RunBegin);
      Lines('-', sides_.BaselineLine, gaps[k].BaselineBegin, gaps[k].BaselineEnd);
      Lines('+', sides_.RunLine, gaps[k].RunBegin, gaps[k].RunEnd);
      run = gaps[k].RunEnd;
    }
    Lines(' ', sides_.RunLine, run, run + trail);
  }

 private:
  void Lines(char sign, const std::function<std::string(size_t)>& text, size_t begin, size_t end) {
    for (size_t line = begin; line < end; ++line) out_ << sign << text(line) << '\n';
  }

  std::ostream& out_;
  const UnifiedSides& sides_;
  size_t context_;
};

}  // namespace

void WriteUnifiedDiff(std::ostream& out, const LineDiff& diff, const UnifiedSides& sides,
                      size_t context) {
  const std::vector<Gap> gaps = GapsOf(diff);
  if (gaps.empty()) return;
  out << "--- " << sides.BaselineHeader << '\n' << "+++ " << sides.RunHeader << '\n';
  HunkWriter writer(out, sides, context);
  size_t first = 0;
  for (size_t k = 1; k <= gaps.size(); ++k) {
    const bool ends =
        k == gaps.size() || gaps[k].BaselineBegin - gaps[k - 1].BaselineEnd > 2 * context;
    if (!ends) continue;
    writer.Write(gaps, first, k - 1);
    first = k;
  }
}
