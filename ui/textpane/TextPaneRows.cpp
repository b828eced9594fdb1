#include "TextPaneRows.h"

#include <algorithm>

TPaneRows::TPaneRows(const TPaneLayouts& layouts) : layouts_(layouts) {}

TRowPos TPaneRows::LastRow() const {
  const TChunkRef last = Lines().LastChunk();
  return {last, layouts_.At(last).Layout.lineCount() - 1};
}

std::optional<TRowPos> TPaneRows::RowAbove(TRowPos row) const {
  if (row.Row > 0) return TRowPos{row.Ref, row.Row - 1};
  const std::optional<TChunkRef> previous = Lines().Previous(row.Ref);
  if (!previous) return std::nullopt;
  return TRowPos{*previous, layouts_.At(*previous).Layout.lineCount() - 1};
}

std::optional<TRowPos> TPaneRows::RowBelow(TRowPos row) const {
  if (row.Row + 1 < layouts_.At(row.Ref).Layout.lineCount()) return TRowPos{row.Ref, row.Row + 1};
  const std::optional<TChunkRef> next = Lines().Next(row.Ref);
  if (!next) return std::nullopt;
  return TRowPos{*next, 0};
}

TRowPos TPaneRows::Offset(TRowPos row, int count) const {
  for (; count < 0; ++count) {
    const std::optional<TRowPos> above = RowAbove(row);
    if (!above) break;
    row = *above;
  }
  for (; count > 0; --count) {
    const std::optional<TRowPos> below = RowBelow(row);
    if (!below) break;
    row = *below;
  }
  return row;
}

TRowPos TPaneRows::TopShowing(TRowPos bottom, qreal height) const {
  TRowPos top = bottom;
  qreal used = Line(bottom).height();
  for (std::optional<TRowPos> above = RowAbove(top); above; above = RowAbove(top)) {
    used += Line(*above).height();
    if (used > height) break;
    top = *above;
  }
  return top;
}

TRowPos TPaneRows::RowOf(TTextPos pos) const {
  return {pos.Ref, Layouts().At(pos.Ref).Layout.lineForTextPosition(pos.Column).lineNumber()};
}

QTextLine TPaneRows::Line(TRowPos row) const {
  return layouts_.At(row.Ref).Layout.lineAt(row.Row);
}

TTextPos TPaneRows::End() const {
  const TChunkRef last = Lines().LastChunk();
  return {last, static_cast<int>(layouts_.At(last).Text.size())};
}

TTextPos TPaneRows::Normalized(TTextPos pos) const {
  const bool atChunkEnd = pos.Column == layouts_.At(pos.Ref).Text.size();
  if (atChunkEnd && pos.Ref.Chunk + 1 < Lines().ChunkCount(pos.Ref.Line)) {
    return {{pos.Ref.Line, pos.Ref.Chunk + 1}, 0};
  }
  return pos;
}

std::vector<TVisibleChunk> TPaneRows::VisibleChunks(TRowPos top, qreal height) const {
  std::vector<TVisibleChunk> chunks;
  if (Lines().Count() == 0) return chunks;
  qreal y = -Line(top).y();
  for (std::optional<TChunkRef> ref = top.Ref; ref && y < height; ref = Lines().Next(*ref)) {
    chunks.push_back({*ref, y});
    y += layouts_.At(*ref).Height;
  }
  return chunks;
}

TTextPos TPaneRows::PosAt(TRowPos top, QPointF point, qreal height,
                          QTextLine::CursorPosition mode) const {
  const qreal y = std::clamp(point.y(), 0.0, std::max(0.0, height - 1));
  const std::vector<TVisibleChunk> chunks = VisibleChunks(top, height);
  const auto hit = std::prev(std::upper_bound(
      chunks.begin(), chunks.end(), y,
      [](qreal wanted, const TVisibleChunk& chunk) { return wanted < chunk.Top; }));
  const TChunkLayout& chunk = layouts_.At(hit->Ref);
  for (int row = 0; row < chunk.Layout.lineCount(); ++row) {
    const QTextLine line = chunk.Layout.lineAt(row);
    if (y - hit->Top < line.y() + line.height()) {
      return Normalized({hit->Ref, line.xToCursor(point.x(), mode)});
    }
  }
  return Normalized({hit->Ref, static_cast<int>(chunk.Text.size())});
}
