#pragma once

#include <compare>
#include <cstddef>

// A piece of a line that is decoded and laid out on its own. Almost every line is one chunk;
// only lines of many kilobytes are cut into several.
struct TChunkRef {
  size_t Line = 0;
  int Chunk = 0;
  auto operator<=>(const TChunkRef&) const =
      default;  // NOLINT(modernize-use-nullptr): a clang-tidy 14 misreading
};

// A place between two characters: a column (in UTF-16 units) of a chunk's decoded text. A place
// at the end of a chunk that the line continues after is always written as the start of the
// next chunk, so that each place has one spelling and the caret never stands still.
struct TTextPos {
  TChunkRef Ref;
  int Column = 0;
  auto operator<=>(const TTextPos&) const = default;  // NOLINT(modernize-use-nullptr)
};

// One wrapped row on screen: row `Row` of a chunk's layout.
struct TRowPos {
  TChunkRef Ref;
  int Row = 0;
  auto operator<=>(const TRowPos&) const = default;  // NOLINT(modernize-use-nullptr)
};
