#include "TextPaneMatches.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "TextPaneChunks.h"

namespace {

// The UTF-16 units that `bytes` decode to: the columns they take in a chunk's text.
int DecodedLength(std::string_view bytes, Encoding encoding) {
  return static_cast<int>(QString::fromStdString(Decode(bytes, encoding)).size());
}

}  // namespace

TTextPos PlaceInLine(const TPaneLines& lines, size_t line, size_t offset) {
  const std::string_view bytes = lines.Line(line);
  const int chunks = ::ChunkCount(bytes.size());
  for (int chunk = 0;; ++chunk) {
    const std::string_view piece = ChunkBytes(bytes, chunk);
    const auto start = static_cast<size_t>(piece.data() - bytes.data());
    // A place at a chunk's end is the start of the next chunk, when there is one.
    if (offset < start + piece.size() || chunk + 1 == chunks) {
      const size_t into = std::min(offset - start, piece.size());
      return {{line, chunk}, DecodedLength(piece.substr(0, into), lines.LineEncoding(line))};
    }
  }
}

std::vector<std::pair<int, int>> MatchedColumns(const TPaneLines& lines, TChunkRef ref,
                                                const LineMatchers& matchers) {
  const Encoding encoding = lines.LineEncoding(ref.Line);
  const std::shared_ptr<const LineMatcher> matcher = matchers.For(encoding);
  if (!matcher || !matcher->CanMatch()) return {};
  const std::string_view line = lines.Line(ref.Line);
  const std::string_view chunk = lines.ChunkBytes(ref);
  // The chunk with as much of its neighbours as a match that reaches into it can take.
  const auto chunkStart = static_cast<size_t>(chunk.data() - line.data());
  const size_t chunkEnd = chunkStart + chunk.size();
  const size_t reach = matcher->Reach();
  const size_t from = chunkStart - std::min(chunkStart, reach);
  const std::string_view around = line.substr(from, std::min(line.size(), chunkEnd + reach) - from);

  // Matches come in order, so each column is the one before plus what lies between.
  size_t decoded = 0;
  int column = 0;
  const auto columnAt = [&](size_t offset) {
    column += DecodedLength(chunk.substr(decoded, offset - decoded), encoding);
    decoded = offset;
    return column;
  };
  std::vector<std::pair<int, int>> columns;
  for (std::optional<ByteMatch> match = matcher->FindForward(around, 0);
       match && from + match->Offset < chunkEnd;
       match = matcher->FindForward(around, match->Offset + match->Size)) {
    if (from + match->Offset + match->Size <= chunkStart) continue;
    const size_t start = std::max(from + match->Offset, chunkStart) - chunkStart;
    const size_t end = std::min(from + match->Offset + match->Size, chunkEnd) - chunkStart;
    const int startColumn = columnAt(start);
    columns.emplace_back(startColumn, columnAt(end));
  }
  return columns;
}
