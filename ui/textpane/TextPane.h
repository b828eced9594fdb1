#pragma once

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QPointF>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "LineList.h"
#include "TextEncoding.h"
#include "TextPaneHighlights.h"
#include "TextPaneLayouts.h"
#include "TextPaneLines.h"
#include "TextPaneMatches.h"
#include "TextPanePositions.h"
#include "TextPaneRows.h"

class QMenu;

// A read-only, word-wrapping text view of lines of the log store. It keeps only where each line
// starts in the store's bytes, and decodes and lays out only the lines in view, so a run of a
// million lines shows at once. The store must outlive what the pane shows: the window clears
// the panes before it frees the store.
class TTextPane : public QAbstractScrollArea {
  Q_OBJECT

 public:
  explicit TTextPane(QWidget* parent = nullptr);
  ~TTextPane() override;

  // Empties the text and lets go of every byte of the store it showed.
  void Clear();
  // Appends all lines of `lines`, in order, decoded with `encoding`.
  void AppendLines(const LineList& lines, Encoding encoding);
  // Shows what the list shown has gained at its end, for a log that grows while it is followed
  // (see TPaneLines::Extend), without laying out anew what was shown, and keeps the view's place.
  // False, with nothing changed, when `lines` is not the list shown, grown.
  bool ExtendLines(const LineList& lines, Encoding encoding);
  // Shows the same lines decoded with `encoding`.
  void SetEncoding(Encoding encoding);

  int LineCount() const;
  // The lines shown, as they stand in the store.
  const TPaneLines& Lines() const { return lines_; }
  // The whole text, lines joined by '\n' (tests and copy of everything).
  QString Text() const;
  QString SelectedText() const;
  // The selected text with the number of each line it holds some of (see NumberedTextBetween).
  QString SelectedTextWithLineNumbers() const;
  bool HasSelection() const { return anchor_ != caret_; }

  // The width at which rows wrap: the viewport's width less the margins beside the text.
  int WrapWidth() const;

  void Copy();
  void CopyWithLineNumbers();
  void SelectAll();
  // A new menu with "Copy", "Copy with line numbers" and "Select All", owned by the pane.
  QMenu* CreateContextMenu();

  // What Find needs, which searches the store's bytes and shows here what it finds.

  // The store's bytes that chunk `ref` shows.
  std::string_view ChunkBytes(TChunkRef ref) const { return lines_.ChunkBytes(ref); }
  // Where the bytes from `begin` to `end`, in one line of the store, stand in the text; none when
  // the pane does not show them.
  std::optional<TTextRange> RangeOfBytes(const char* begin, const char* end) const;
  // From the earlier end of the selection to the later one.
  TTextRange Selection() const;
  // Selects `range` and scrolls it into view: to the middle of the view when it was out of it.
  void Select(TTextRange range);
  // Marks the matches of `matchers` in the rows in view with a background of their own; empty
  // matchers mark none.
  void HighlightMatches(LineMatchers matchers);
  // The marked matches in the rows in view.
  std::vector<TTextRange> HighlightedMatches() const;

  // Colours the lines that the rules of `highlighter` colour, under Find's marks and the
  // selection; none colours no line.
  void SetHighlighter(std::shared_ptr<const LineHighlighter> highlighter);
  // Puts `widget` between the text and the vertical scroll bar, as tall as the view, and keeps
  // it there; the pane owns it.
  void PutBesideScrollBar(QWidget* widget);

 signals:
  // The lines shown from `firstLine` on are new or have changed (all of them for 0).
  void LinesChanged(size_t firstLine);
  // Find marks the matches of another text now, or none.
  void MatchesHighlighted();

 protected:
  bool event(QEvent* event) override;
  void changeEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void timerEvent(QTimerEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  bool Empty() const { return lines_.Count() == 0; }
  void ShowFromStart();
  // Moves places in line `line` or after it, which came anew, to where they still exist.
  void KeepPlacesBefore(size_t line);
  void Relayout();
  void UpdateScrollRange();
  void FollowScrollBar();
  void StepScrollBar(int action);
  void ScrollTo(TRowPos top);
  void ScrollByRows(int count);
  int PageRows() const;

  void OfferPrimarySelection() const;
  bool MoveCaretForKey(const QKeyEvent& event);
  void MoveCaret(TTextPos pos, bool extendSelection);
  void EnsureCaretVisible();
  bool InView(TRowPos row) const;
  TTextPos PosAt(QPointF point,
                 QTextLine::CursorPosition mode = QTextLine::CursorBetweenCharacters) const;

  void PaintChunk(QPainter& painter, const TVisibleChunk& chunk) const;
  QList<QTextLayout::FormatRange> MatchFormats(TChunkRef ref) const;
  void PaintSelectedLineEnd(QPainter& painter, const TChunkLayout& layout, QPointF origin) const;
  void PlaceBesideScrollBar();

  TPaneLines lines_;
  TPaneLayouts layouts_{lines_};
  TPaneRows rows_{layouts_};
  TPaneHighlights highlights_{lines_};
  QWidget* besideScrollBar_ = nullptr;

  TRowPos top_;      // the row at the top of the view
  TRowPos lastTop_;  // the lowest top row: the one that shows the last row at the bottom
  TTextPos anchor_;  // where the selection started; it ends at the caret
  TTextPos caret_;
  qreal caretX_ = 0;  // the x that moving up and down keeps, as the caret passes shorter rows
  int wheelDelta_ = 0;
  LineMatchers highlighted_;
  QBasicTimer dragScroll_;
  QPointF dragPoint_;
};
