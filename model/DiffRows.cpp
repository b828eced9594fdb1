#include "DiffRows.h"

#include <algorithm>

namespace {

using Kind = DiffBlock::Kind;

}  // namespace

DiffRows::DiffRows(LineDiff diff) : diff_(std::move(diff)) {
  starts_.reserve(diff_.Blocks.size() + 1);
  size_t row = 0;
  for (const DiffBlock& block : diff_.Blocks) {
    starts_.push_back(row);
    row += block.Count;
  }
  starts_.push_back(row);
}

size_t DiffRows::BlockOf(size_t row) const {
  return static_cast<size_t>(std::upper_bound(starts_.begin(), starts_.end(), row) -
                             starts_.begin()) -
         1;
}

DiffRows::Row DiffRows::At(size_t row) const {
  const size_t index = BlockOf(row);
  const DiffBlock& block = diff_.Blocks[index];
  const size_t within = row - starts_[index];
  Row shown;
  shown.What = block.What;
  if (block.What != Kind::OnlyRun) shown.Baseline = block.Baseline + within;
  if (block.What != Kind::OnlyBaseline) shown.Run = block.Run + within;
  return shown;
}

std::vector<DiffRows::Stretch> DiffRows::Differences() const {
  std::vector<Stretch> stretches;
  for (size_t index = 0; index < diff_.Blocks.size(); ++index) {
    const DiffBlock& block = diff_.Blocks[index];
    if (block.What == Kind::Same) continue;
    const bool joins = index > 0 && diff_.Blocks[index - 1].What != Kind::Same;
    if (joins) {
      stretches.back().Count += block.Count;
    } else {
      stretches.push_back({starts_[index], block.Count, block.What});
    }
  }
  return stretches;
}

std::optional<size_t> DiffRows::NextDifference(std::optional<size_t> row) const {
  for (size_t index = row ? BlockOf(*row) + 1 : 0; index < diff_.Blocks.size(); ++index) {
    const bool startsStretch = index == 0 || diff_.Blocks[index - 1].What == Kind::Same;
    if (diff_.Blocks[index].What != Kind::Same && startsStretch) return starts_[index];
  }
  return std::nullopt;
}

std::optional<size_t> DiffRows::PreviousDifference(size_t row) const {
  std::optional<size_t> found;
  for (const Stretch& stretch : Differences()) {
    if (stretch.First >= row) break;
    found = stretch.First;
  }
  return found;
}
