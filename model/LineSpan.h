#pragma once

#include <cstddef>
#include <cstdint>

// Consecutive lines of a log file, as where they lie in it: from the first line's start to the
// last line's line end. What the store keeps of a script text or a run log, whether it holds the
// file's text or reads it again when the lines are wanted.
struct LineSpan {
  uint64_t Begin = 0;
  uint64_t End = 0;
  size_t Count = 0;

  // An empty span whose first line, once appended, starts at `firstLine`.
  static LineSpan At(uint64_t firstLine) { return {firstLine, firstLine, 0}; }
  uint64_t Size() const { return End - Begin; }
  bool Empty() const { return Count == 0; }
  // Appends the line that starts at the span's end and whose line end finishes at `next`.
  void AppendLineEndingAt(uint64_t next) {
    End = next;
    ++Count;
  }
  bool operator==(const LineSpan&) const = default;
};
