#pragma once

#include <QKeyEvent>
#include <optional>

#include "TextPanePositions.h"
#include "TextPaneRows.h"

// What a key that moves the caret does, after the platform's key bindings.
struct TKeyMove {
  TTextPos Target;
  bool Select = false;  // the selection grows to the target instead of being dropped
  bool KeepsX = false;  // the move is up or down, so the caret keeps the x it had
  int ScrollRows = 0;   // a page key moves the view as well
};

// The move for `event` with the caret at `caret`, or none for a key that does not move it.
// The pane must not be empty.
std::optional<TKeyMove> KeyMove(const QKeyEvent& event, const TPaneRows& rows, TTextPos caret,
                                qreal caretX, int pageRows);
