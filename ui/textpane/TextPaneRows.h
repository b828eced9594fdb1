#pragma once

#include <QPointF>
#include <QTextLine>
#include <optional>
#include <vector>

#include "TextPaneLayouts.h"
#include "TextPanePositions.h"

// A chunk on screen and the y of its first row, which is negative when the view starts below
// that row.
struct TVisibleChunk {
  TChunkRef Ref;
  qreal Top = 0;
};

// Where the wrapped rows of a pane's text are. Every walk goes row by row from a known row, so
// it lays out only the chunks it passes. Unless said otherwise, a pane with no lines is not
// asked.
class TPaneRows {
 public:
  explicit TPaneRows(const TPaneLayouts& layouts);

  const TPaneLayouts& Layouts() const { return layouts_; }
  const TPaneLines& Lines() const { return layouts_.Lines(); }

  TRowPos LastRow() const;
  std::optional<TRowPos> RowAbove(TRowPos row) const;
  std::optional<TRowPos> RowBelow(TRowPos row) const;
  // `row` moved by `count` rows (up when negative), stopping at the first or last row.
  TRowPos Offset(TRowPos row, int count) const;
  // The earliest row that can be at the top of a view `height` high with `bottom` still whole in
  // it.
  TRowPos TopShowing(TRowPos bottom, qreal height) const;

  TRowPos RowOf(TTextPos pos) const;
  QTextLine Line(TRowPos row) const;

  TTextPos End() const;
  // `pos` in its one spelling (see TTextPos).
  TTextPos Normalized(TTextPos pos) const;

  // The chunks that show in `height` when the view starts at `top`; none for an empty pane.
  std::vector<TVisibleChunk> VisibleChunks(TRowPos top, qreal height) const;
  // The place nearest to `point`, or the character under it; `point` is taken from the left edge
  // of the text and the top of the view.
  TTextPos PosAt(TRowPos top, QPointF point, qreal height,
                 QTextLine::CursorPosition mode = QTextLine::CursorBetweenCharacters) const;

 private:
  const TPaneLayouts& layouts_;
};
