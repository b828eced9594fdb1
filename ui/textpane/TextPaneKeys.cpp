#include "TextPaneKeys.h"

#include <algorithm>
#include <array>

#include "TextPaneCaretMoves.h"

namespace {

enum class TCaretMove {
  NextChar,
  PreviousChar,
  NextRow,
  PreviousRow,
  NextPage,
  PreviousPage,
  RowStart,
  RowEnd,
  DocumentStart,
  DocumentEnd
};

struct TKeyBinding {
  QKeySequence::StandardKey Move;
  QKeySequence::StandardKey Select;
  TCaretMove Action;
};

constexpr std::array kKeyBindings{
    TKeyBinding{QKeySequence::MoveToNextChar, QKeySequence::SelectNextChar, TCaretMove::NextChar},
    TKeyBinding{QKeySequence::MoveToPreviousChar, QKeySequence::SelectPreviousChar,
                TCaretMove::PreviousChar},
    TKeyBinding{QKeySequence::MoveToNextLine, QKeySequence::SelectNextLine, TCaretMove::NextRow},
    TKeyBinding{QKeySequence::MoveToPreviousLine, QKeySequence::SelectPreviousLine,
                TCaretMove::PreviousRow},
    TKeyBinding{QKeySequence::MoveToNextPage, QKeySequence::SelectNextPage, TCaretMove::NextPage},
    TKeyBinding{QKeySequence::MoveToPreviousPage, QKeySequence::SelectPreviousPage,
                TCaretMove::PreviousPage},
    TKeyBinding{QKeySequence::MoveToStartOfLine, QKeySequence::SelectStartOfLine,
                TCaretMove::RowStart},
    TKeyBinding{QKeySequence::MoveToEndOfLine, QKeySequence::SelectEndOfLine, TCaretMove::RowEnd},
    TKeyBinding{QKeySequence::MoveToStartOfDocument, QKeySequence::SelectStartOfDocument,
                TCaretMove::DocumentStart},
    TKeyBinding{QKeySequence::MoveToEndOfDocument, QKeySequence::SelectEndOfDocument,
                TCaretMove::DocumentEnd},
};

bool KeepsCaretX(TCaretMove move) {
  return move == TCaretMove::NextRow || move == TCaretMove::PreviousRow ||
         move == TCaretMove::NextPage || move == TCaretMove::PreviousPage;
}

TTextPos Target(const TPaneRows& rows, TCaretMove move, TTextPos caret, qreal x, int pageRows) {
  switch (move) {
    case TCaretMove::NextChar:
      return NextPlace(rows, caret);
    case TCaretMove::PreviousChar:
      return PreviousPlace(rows, caret);
    case TCaretMove::NextRow:
      return RowsAway(rows, caret, 1, x);
    case TCaretMove::PreviousRow:
      return RowsAway(rows, caret, -1, x);
    case TCaretMove::NextPage:
      return RowsAway(rows, caret, pageRows, x);
    case TCaretMove::PreviousPage:
      return RowsAway(rows, caret, -pageRows, x);
    case TCaretMove::RowStart:
      return ::RowStart(rows, caret);
    case TCaretMove::RowEnd:
      return ::RowEnd(rows, caret);
    case TCaretMove::DocumentStart:
      return {};
    case TCaretMove::DocumentEnd:
      return rows.End();
  }
  return caret;
}

int ScrollRows(TCaretMove move, int pageRows) {
  if (move == TCaretMove::NextPage) return pageRows;
  if (move == TCaretMove::PreviousPage) return -pageRows;
  return 0;
}

}  // namespace

std::optional<TKeyMove> KeyMove(const QKeyEvent& event, const TPaneRows& rows, TTextPos caret,
                                qreal caretX, int pageRows) {
  const auto binding = std::ranges::find_if(kKeyBindings, [&](const TKeyBinding& candidate) {
    return event.matches(candidate.Move) || event.matches(candidate.Select);
  });
  if (binding == kKeyBindings.end()) return std::nullopt;
  return TKeyMove{Target(rows, binding->Action, caret, caretX, pageRows),
                  event.matches(binding->Select), KeepsCaretX(binding->Action),
                  ScrollRows(binding->Action, pageRows)};
}
