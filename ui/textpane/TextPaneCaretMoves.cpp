#include "TextPaneCaretMoves.h"

#include <QTextBoundaryFinder>

namespace {

int ChunkLength(const TPaneRows& rows, TChunkRef ref) {
  return static_cast<int>(rows.Layouts().At(ref).Text.size());
}

bool IsLastRowOfLine(const TPaneRows& rows, TRowPos row) {
  const std::optional<TRowPos> below = rows.RowBelow(row);
  return !below || below->Ref.Line != row.Ref.Line;
}

}  // namespace

TTextPos NextPlace(const TPaneRows& rows, TTextPos pos) {
  if (pos.Column < ChunkLength(rows, pos.Ref)) {
    const int next = rows.Layouts().At(pos.Ref).Layout.nextCursorPosition(pos.Column);
    return rows.Normalized({pos.Ref, next});
  }
  if (pos.Ref.Line + 1 < rows.Lines().Count()) return {{pos.Ref.Line + 1, 0}, 0};
  return pos;
}

TTextPos PreviousPlace(const TPaneRows& rows, TTextPos pos) {
  if (pos.Column > 0) {
    return {pos.Ref, rows.Layouts().At(pos.Ref).Layout.previousCursorPosition(pos.Column)};
  }
  const std::optional<TChunkRef> previous = rows.Lines().Previous(pos.Ref);
  if (!previous) return pos;
  const int end = ChunkLength(rows, *previous);
  if (previous->Line != pos.Ref.Line) return {*previous, end};
  return {*previous, rows.Layouts().At(*previous).Layout.previousCursorPosition(end)};
}

TTextPos RowStart(const TPaneRows& rows, TTextPos pos) {
  return {pos.Ref, rows.Line(rows.RowOf(pos)).textStart()};
}

TTextPos RowEnd(const TPaneRows& rows, TTextPos pos) {
  const TRowPos row = rows.RowOf(pos);
  const QTextLine line = rows.Line(row);
  int end = line.textStart() + line.textLength();
  if (!IsLastRowOfLine(rows, row) && rows.Layouts().At(row.Ref).Text.at(end - 1).isSpace()) --end;
  return rows.Normalized({row.Ref, end});
}

TTextPos RowsAway(const TPaneRows& rows, TTextPos pos, int count, qreal x) {
  const TRowPos from = rows.RowOf(pos);
  const TRowPos to = rows.Offset(from, count);
  if (to == from && count < 0) return {};
  if (to == from && count > 0) return rows.End();
  return rows.Normalized({to.Ref, rows.Line(to).xToCursor(x)});
}

std::pair<TTextPos, TTextPos> WordAround(const TPaneRows& rows, TTextPos pos) {
  const QString& text = rows.Layouts().At(pos.Ref).Text;
  if (pos.Column >= text.size()) return {pos, pos};
  QTextBoundaryFinder words(QTextBoundaryFinder::Word, text);
  words.setPosition(pos.Column);
  const int start =
      words.isAtBoundary() ? pos.Column : static_cast<int>(words.toPreviousBoundary());
  words.setPosition(pos.Column);
  const int end = static_cast<int>(words.toNextBoundary());
  return {{pos.Ref, start}, rows.Normalized({pos.Ref, end})};
}
