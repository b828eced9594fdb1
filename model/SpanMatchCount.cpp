#include "SpanMatchCount.h"

#include <algorithm>

#include "RunSearch.h"

namespace {

constexpr std::string_view kLineEnds = "\r\n";

}  // namespace

void MatchingLineCounter::Add(std::string_view block) {
  const size_t firstEnd = std::min(block.find_first_of(kLineEnds), block.size());
  GoOnInLine(block.substr(0, firstEnd));
  if (firstEnd == block.size()) {
    bytesAdded_ += block.size();
    return;
  }
  EndLine();
  // Between the first line end and the last the lines are whole. The first of them is empty
  // when the block starts with a line end, which holds no match.
  const size_t afterLastEnd = block.find_last_of(kLineEnds) + 1;
  ended_ += CountMatchingLines(*search_, block.substr(firstEnd, afterLastEnd - firstEnd));
  bytesAdded_ += afterLastEnd;
  bytesEnded_ = bytesAdded_;
  const std::string_view open = block.substr(afterLastEnd);
  GoOnInLine(open);
  bytesAdded_ += open.size();
}

void MatchingLineCounter::GoOnInLine(std::string_view piece) {
  if (openMatches_ || piece.empty()) return;
  const size_t keep = search_->Size() - 1;
  if (!openTail_.empty()) {
    // A match that starts in the bytes kept ends within the first `keep` bytes of the piece.
    openTail_.append(piece.substr(0, keep));
    openMatches_ = search_->FindForward(openTail_, 0) != TextSearch::npos;
  }
  openMatches_ = openMatches_ || search_->FindForward(piece, 0) != TextSearch::npos;
  if (openMatches_ || keep == 0) {
    openTail_.clear();
  } else if (piece.size() >= keep) {
    openTail_.assign(piece.substr(piece.size() - keep));
  } else if (openTail_.empty()) {
    openTail_.assign(piece);
  } else if (openTail_.size() > keep) {
    openTail_.erase(0, openTail_.size() - keep);
  }
}

void MatchingLineCounter::EndLine() {
  if (openMatches_) ++ended_;
  openMatches_ = false;
  openTail_.clear();
}

SpanMatchCount::SpanMatchCount(const LineMatcher& matcher, const LineSpan& span,
                               const CountedLines& counted)
    : span_(span), from_(span.Begin), before_(0), at_(span.Begin), counter_(matcher.NewCounter()) {
  if (counted.Begin == span.Begin && counted.End >= span.Begin && counted.End <= span.End) {
    from_ = at_ = counted.End;
    before_ = counted.Lines;
  }
}

size_t SpanMatchCount::SearchBlock(SpanReader& reader) {
  const std::string_view block = reader.BlockOf(span_, at_);
  counter_->Add(block);
  at_ += block.size();
  return block.size();
}

CountedLines SpanMatchCount::Counted() const {
  return {span_.Begin, from_ + counter_->BytesEnded(), before_ + counter_->LinesEnded()};
}

size_t CountMatchingLines(const LineMatcher& matcher, SpanReader& reader, const LineSpan& span,
                          const std::function<bool()>& goOn) {
  SpanMatchCount count(matcher, span);
  while (!count.Done() && (!goOn || goOn())) count.SearchBlock(reader);
  return count.Lines();
}
