#pragma once

#include <cstddef>
#include <iterator>
#include <string_view>

#include "LineScanner.h"

// Consecutive lines in memory, to read: a view of a span of lines (LineSpan.h) in the bytes that
// hold them. A list owns no text, so a run of a million lines costs three words.
class LineList {
 public:
  class Iterator {
   public:
    using iterator_category = std::input_iterator_tag;
    using value_type = std::string_view;
    using difference_type = std::ptrdiff_t;
    using pointer = const std::string_view*;
    using reference = std::string_view;

    Iterator(const char* begin, const char* end) : scanner_(begin, end) { Advance(); }
    std::string_view operator*() const { return line_; }
    Iterator& operator++() {
      Advance();
      return *this;
    }
    bool operator==(const Iterator& other) const { return lineStart_ == other.lineStart_; }

   private:
    void Advance() {
      lineStart_ = scanner_.Position();
      if (!scanner_.AtEnd()) line_ = scanner_.Next();
    }
    LineScanner scanner_;
    const char* lineStart_ = nullptr;
    std::string_view line_;
  };

  LineList() = default;
  // The `count` lines from `begin` to the line end of the last one at `end`.
  LineList(const char* begin, const char* end, size_t count)
      : begin_(begin), end_(end), count_(count) {}

  // Every line of `bytes`, which must outlive the list; the last one may lack its line end.
  static LineList Of(std::string_view bytes) {
    size_t count = 0;
    for (LineScanner scanner(bytes.data(), bytes.data() + bytes.size()); !scanner.AtEnd();
         ++count) {
      scanner.Next();
    }
    return {bytes.data(), bytes.data() + bytes.size(), count};
  }

  size_t Count() const { return count_; }
  bool Empty() const { return count_ == 0; }
  // All lines of the list with their line ends, as they stand in the file.
  std::string_view Bytes() const { return {begin_, static_cast<size_t>(end_ - begin_)}; }

  Iterator begin() const { return {begin_, end_}; }
  Iterator end() const { return {end_, end_}; }

 private:
  const char* begin_ = nullptr;
  const char* end_ = nullptr;
  size_t count_ = 0;
};
