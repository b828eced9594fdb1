#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "LineMatcher.h"
#include "LineSpan.h"
#include "SpanReader.h"
#include "TextSearch.h"

// Find in runs counts a run's log a block at a time, so that a log of gigabytes takes a few
// blocks of memory and a stop is looked at between blocks.

// The lines that hold a match in a text that comes in blocks cut anywhere, even inside a line:
// a line that runs on into the next block counts once, and so does a match that runs on across
// the edge, for which only the needle's size less one of the line's last bytes is kept.
class MatchingLineCounter final : public LineCounter {
 public:
  explicit MatchingLineCounter(const TextSearch& search) : search_(&search) {}

  void Add(std::string_view block) override;
  // With the last line, which may go on in the next block, when it holds a match already.
  size_t Lines() const override { return ended_ + (openMatches_ ? 1 : 0); }
  // The lines up to the last line end added, and the bytes they take.
  size_t LinesEnded() const override { return ended_; }
  uint64_t BytesEnded() const override { return bytesEnded_; }

 private:
  // Searches on in the line that the last block left open.
  void GoOnInLine(std::string_view piece);
  void EndLine();

  const TextSearch* search_;
  size_t ended_ = 0;
  uint64_t bytesAdded_ = 0;
  uint64_t bytesEnded_ = 0;
  bool openMatches_ = false;
  std::string openTail_;  // the open line's last bytes, while it holds no match
};

// What an earlier count found in the first lines of a span: the lines from `Begin` up to a line
// end at `End`, and how many of them hold a match. A span that has grown since (a followed run)
// is counted on from there.
struct CountedLines {
  uint64_t Begin = 0;
  uint64_t End = 0;
  size_t Lines = 0;
};

// One span's count, a block of a reader at a time.
class SpanMatchCount {
 public:
  // From where `counted` ended, when it counted the first lines of `span`; else from its start.
  SpanMatchCount(const LineMatcher& matcher, const LineSpan& span,
                 const CountedLines& counted = {});

  bool Done() const { return at_ == span_.End; }
  // Searches the next block; returns its size.
  size_t SearchBlock(SpanReader& reader);
  // The bytes of the span that an earlier count spared this one.
  uint64_t Spared() const { return from_ - span_.Begin; }
  size_t Lines() const { return before_ + counter_->Lines(); }
  // What a count of the span grown might start from.
  CountedLines Counted() const;

 private:
  LineSpan span_;
  uint64_t from_;
  size_t before_;
  uint64_t at_;
  std::unique_ptr<LineCounter> counter_;
};

// The lines of `span` that hold a match, read through `reader` a block at a time; `goOn`, when
// given, is asked before each block and stops the count by answering false.
size_t CountMatchingLines(const LineMatcher& matcher, SpanReader& reader, const LineSpan& span,
                          const std::function<bool()>& goOn = {});
