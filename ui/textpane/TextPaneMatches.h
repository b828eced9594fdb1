#pragma once

#include <QString>
#include <cstddef>
#include <utility>
#include <vector>

#include "LineMatcher.h"
#include "TextPaneLines.h"
#include "TextPanePositions.h"

// A stretch of a pane's text, from one place to a later one.
struct TTextRange {
  TTextPos From;
  TTextPos To;
  auto operator<=>(const TTextRange&) const = default;
};

// The place before byte `offset` of line `line`; the line's length gives the place at its end.
TTextPos PlaceInLine(const TPaneLines& lines, size_t line, size_t offset);

// The columns of chunk `ref` that matches of `matchers` cover, as (start, end) in order, found in
// the chunk's bytes as Find finds them in the whole text. A match that a chunk's end cuts shows in
// part in both chunks.
std::vector<std::pair<int, int>> MatchedColumns(const TPaneLines& lines, TChunkRef ref,
                                                const LineMatchers& matchers);
