#include "WholeLineCounter.h"

#include <algorithm>

namespace {

constexpr std::string_view kLineEnds = "\r\n";

// The bytes of the line end at `at` of `bytes`.
size_t LineEndSize(std::string_view bytes, size_t at) {
  return bytes[at] == '\r' && at + 1 < bytes.size() && bytes[at + 1] == '\n' ? 2 : 1;
}

}  // namespace

void WholeLineCounter::Add(std::string_view block) {
  if (block.empty()) return;
  if (crPending_) {
    crPending_ = false;
    const size_t lf = block.front() == '\n' ? 1 : 0;
    block.remove_prefix(lf);
    bytesAdded_ += lf;
    EndLine();
    bytesEnded_ = bytesAdded_;
  }
  const bool endsInCr = !block.empty() && block.back() == '\r';
  AddLines(endsInCr ? block.substr(0, block.size() - 1) : block);
  if (endsInCr) {
    crPending_ = true;
    lineOpen_ = true;
    ++bytesAdded_;
  }
}

void WholeLineCounter::AddLines(std::string_view lines) {
  const size_t firstEnd = lines.find_first_of(kLineEnds);
  if (firstEnd == std::string_view::npos) {
    KeepOpen(lines);
    bytesAdded_ += lines.size();
    return;
  }
  KeepOpen(lines.substr(0, firstEnd));
  EndLine();
  const size_t afterLastEnd = lines.find_last_of(kLineEnds) + 1;
  const size_t afterFirstEnd = firstEnd + LineEndSize(lines, firstEnd);
  if (afterLastEnd > afterFirstEnd) {
    ended_ +=
        matcher_->CountMatchingLines(lines.substr(afterFirstEnd, afterLastEnd - afterFirstEnd));
  }
  bytesAdded_ += afterLastEnd;
  bytesEnded_ = bytesAdded_;
  const std::string_view open = lines.substr(afterLastEnd);
  KeepOpen(open);
  bytesAdded_ += open.size();
}

void WholeLineCounter::KeepOpen(std::string_view piece) {
  if (piece.empty()) return;
  lineOpen_ = true;
  open_.append(piece.substr(0, kLongestLine - std::min(kLongestLine, open_.size())));
}

void WholeLineCounter::EndLine() {
  if (OpenLineMatches()) ++ended_;
  lineOpen_ = false;
  open_.clear();
}

size_t WholeLineCounter::Lines() const {
  return ended_ + (lineOpen_ && OpenLineMatches() ? 1 : 0);
}

bool WholeLineCounter::OpenLineMatches() const {
  // An empty line is a line too, which "^$" matches: the line end makes it one to count.
  std::string line = open_;
  line += '\n';
  return matcher_->CountMatchingLines(line) > 0;
}
