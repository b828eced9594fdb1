#pragma once

#include <QtGlobal>
#include <utility>

#include "TextPanePositions.h"
#include "TextPaneRows.h"

// Where the caret goes for each way of moving it. None of these is asked about an empty pane.

// One character on, or back; across a line end to the next line, or back.
TTextPos NextPlace(const TPaneRows& rows, TTextPos pos);
TTextPos PreviousPlace(const TPaneRows& rows, TTextPos pos);

// The start and end of the wrapped row that holds `pos`. Where a row wraps after a space, its end
// is before that space, so that the caret stays on the row.
TTextPos RowStart(const TPaneRows& rows, TTextPos pos);
TTextPos RowEnd(const TPaneRows& rows, TTextPos pos);

// The place at `x` in the row `count` rows below `pos` (above when negative); past the first or
// last row, the start or end of the text.
TTextPos RowsAway(const TPaneRows& rows, TTextPos pos, int count, qreal x);

// The word that holds the character at `pos`, as the places before and after it.
std::pair<TTextPos, TTextPos> WordAround(const TPaneRows& rows, TTextPos pos);
