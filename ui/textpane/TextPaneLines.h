#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "LineList.h"
#include "TextEncoding.h"
#include "TextPanePositions.h"

// The lines a pane shows, kept as where each starts in the store's bytes: four bytes a line,
// filled by one scan, and no text of its own.
class TPaneLines {
 public:
  void Clear();
  void Append(const LineList& lines, Encoding encoding);
  // Takes in the lines `lines` has gained since it was appended, where the lines shown are
  // those of one list that has since grown at its end (into bytes that follow at the same
  // addresses). The last line shown may have grown too, or be gone (it was an unfinished end
  // line), so it is taken anew with the lines after it. False, with nothing changed, when
  // `lines` does not begin where the lines shown begin or is short of all but their last.
  bool Extend(const LineList& lines, Encoding encoding);
  // All lines are to be decoded with `encoding` from now on.
  void SetEncoding(Encoding encoding);

  size_t Count() const { return count_; }
  // Line `line` without its line end.
  std::string_view Line(size_t line) const;
  // The line that holds the byte at `byte` of the store, and how far into it that byte is; none
  // for a byte of no line shown.
  std::optional<std::pair<size_t, size_t>> LineOfByte(const char* byte) const;
  Encoding LineEncoding(size_t line) const { return SegmentOf(line).TextEncoding; }

  int ChunkCount(size_t line) const;
  std::string_view ChunkBytes(TChunkRef ref) const;
  std::optional<TChunkRef> Next(TChunkRef ref) const;
  std::optional<TChunkRef> Previous(TChunkRef ref) const;
  // Precondition: Count() > 0.
  TChunkRef LastChunk() const;

  // The vertical scroll bar counts chunks, so that a line of megabytes scrolls like the many
  // lines it wraps into while a million short lines still need no layout to be counted.
  size_t UnitCount() const { return units_; }
  size_t UnitOf(TChunkRef ref) const;
  TChunkRef ChunkAtUnit(size_t unit) const;

 private:
  // Lines of one Append, or of the part of it whose offsets fit in 32 bits.
  struct TSegment {
    const char* Base;
    const char* End;
    Encoding TextEncoding;
    size_t FirstLine;
    std::vector<uint32_t> Starts;
  };
  // A line of more than one chunk and the first scroll unit it takes.
  struct TLongLine {
    size_t Line;
    size_t FirstUnit;
    int Chunks;
  };

  const TSegment& SegmentOf(size_t line) const;
  void CountUnits(size_t lineBytes);
  // Appends the lines from `begin` to `end` (`count` of them), in the last segment when
  // `continueLast`.
  void AppendLines(const char* begin, const char* end, size_t count, Encoding encoding,
                   bool continueLast);
  void DropLastLine();

  std::vector<TSegment> segments_;
  std::vector<TLongLine> longLines_;
  size_t count_ = 0;
  size_t units_ = 0;
};
