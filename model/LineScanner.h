#pragma once

#include <cstring>
#include <string_view>

// Walks the lines of a byte range. A line ends at CR LF, a lone CR or a lone LF; the line end
// belongs to no line, and text after the last line end is one more line. The positions of the
// next CR and LF are cached so that a file with only one kind of line end is scanned once for
// the other kind, not once per line.
class LineScanner {
 public:
  LineScanner(const char* begin, const char* end)
      : pos_(begin), end_(end), nextCr_(Find(begin, '\r')), nextLf_(Find(begin, '\n')) {}

  bool AtEnd() const { return pos_ == end_; }
  // Where the next line starts (the end of the range when none is left).
  const char* Position() const { return pos_; }

  // The next line, without its line end. Precondition: !AtEnd().
  std::string_view Next() {
    const char* stop = nextCr_ < nextLf_ ? nextCr_ : nextLf_;
    std::string_view line(pos_, static_cast<size_t>(stop - pos_));
    if (stop == end_) {
      pos_ = end_;
    } else if (*stop == '\r' && stop + 1 != end_ && stop[1] == '\n') {
      pos_ = stop + 2;
    } else {
      pos_ = stop + 1;
    }
    if (nextCr_ < pos_) nextCr_ = Find(pos_, '\r');
    if (nextLf_ < pos_) nextLf_ = Find(pos_, '\n');
    return line;
  }

 private:
  const char* Find(const char* from, char c) const {
    const void* hit = from == end_ ? nullptr : std::memchr(from, c, static_cast<size_t>(end_ - from));
    return hit ? static_cast<const char*>(hit) : end_;
  }

  const char* pos_;
  const char* end_;
  const char* nextCr_;
  const char* nextLf_;
};
