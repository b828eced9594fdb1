#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
#include <string_view>

// The bytes [From, To) of a range.
struct ByteStretch {
  const char* From = nullptr;
  const char* To = nullptr;

  bool Holds(const char* at) const { return at >= From && at < To; }
};

// Walks the lines of a byte range. A line ends at CR LF, a lone CR or a lone LF; the line end
// belongs to no line, and text after the last line end is one more line.
//
// A stretch already known to hold no CR or LF (the open last line of a log that grows a piece
// at a time) is skipped, not scanned again, so that a line of any length costs one scan.
//
// The line ends are found 64 bytes at a time: one pass marks every CR and LF of a block in a
// bit mask, and the lines of the block are then read off the mask. Looking for CR and LF
// separately (two memchr calls per line) took twice as long on a CR LF log.
class LineScanner {
 public:
  LineScanner(const char* begin, const char* end) : LineScanner(begin, end, {}) {}
  LineScanner(const char* begin, const char* end, ByteStretch withoutLineEnd)
      : pos_(begin), end_(end), quiet_(withoutLineEnd) {
    if (begin != end) LoadBlock(begin);
  }

  bool AtEnd() const { return pos_ == end_; }
  // Where the next line starts (the end of the range when none is left).
  const char* Position() const { return pos_; }

  // The next line, without its line end. Precondition: !AtEnd().
  std::string_view Next() {
    const char* stop = NextLineEnd();
    std::string_view line(pos_, static_cast<size_t>(stop - pos_));
    if (stop == end_) {
      pos_ = end_;
    } else if (*stop == '\r' && stop + 1 != end_ && stop[1] == '\n') {
      pos_ = stop + 2;
    } else {
      pos_ = stop + 1;
    }
    ForgetLineEndsBefore(pos_);
    return line;
  }

 private:
  static constexpr size_t kBlockSize = 64;

  const char* NextLineEnd() {
    while (mask_ == 0) {
      if (blockEnd_ == end_) return end_;
      LoadBlock(quiet_.Holds(blockEnd_) ? std::min(quiet_.To, end_) : blockEnd_);
    }
    return blockStart_ + std::countr_zero(mask_);
  }

  void ForgetLineEndsBefore(const char* position) {
    if (position >= blockEnd_) {
      mask_ = 0;
      if (position != end_) LoadBlock(position);
      return;
    }
    const auto skipped = static_cast<size_t>(position - blockStart_);
    mask_ &= ~uint64_t{0} << skipped;
  }

  void LoadBlock(const char* start);

  const char* pos_;
  const char* end_;
  ByteStretch quiet_;
  const char* blockStart_ = nullptr;
  const char* blockEnd_ = nullptr;
  uint64_t mask_ = 0;  // bit k: byte blockStart_[k] is a CR or an LF not before pos_
};
