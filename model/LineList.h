#pragma once

#include <cstddef>
#include <iterator>
#include <string_view>

#include "LineScanner.h"

// Consecutive lines of the store's text buffer. A list owns no text: it is the byte range from
// its first line to the line end of its last one, so a run of a million lines costs three words.
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
  // An empty list whose first line, once appended, starts at `firstLine`.
  explicit LineList(const char* firstLine) : begin_(firstLine), end_(firstLine) {}

  size_t Count() const { return count_; }
  bool Empty() const { return count_ == 0; }
  // All lines of the list with their line ends, as they stand in the file.
  std::string_view Bytes() const { return {begin_, static_cast<size_t>(end_ - begin_)}; }

  // Appends the line that starts at the list's end and whose line end finishes at `next`.
  void AppendLineEndingAt(const char* next) {
    end_ = next;
    ++count_;
  }

  Iterator begin() const { return {begin_, end_}; }
  Iterator end() const { return {end_, end_}; }

 private:
  const char* begin_ = nullptr;
  const char* end_ = nullptr;
  size_t count_ = 0;
};
