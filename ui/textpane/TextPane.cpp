#include "TextPane.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QTextCharFormat>
#include <QWheelEvent>
#include <algorithm>

#include "TextPaneCaretMoves.h"
#include "TextPaneKeys.h"
#include "TextPaneText.h"

namespace {

// Room beside the text, so that a caret at the start of a row does not sit on the pane's edge.
constexpr int kTextMargin = 4;
// How often a selecting drag held beyond the top or bottom edge scrolls one more row.
constexpr int kDragScrollMs = 50;
// Behind the matches Find marks: unlike the selection's colour, so that the current match, which
// is selected, stands out among them.
constexpr QColor kMatchBackground(0xFF, 0xD8, 0x4D);

}  // namespace

TTextPane::TTextPane(QWidget* parent) : QAbstractScrollArea(parent) {
  setFocusPolicy(Qt::StrongFocus);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  viewport()->setCursor(Qt::IBeamCursor);
  connect(verticalScrollBar(), &QScrollBar::actionTriggered, this, &TTextPane::StepScrollBar);
  layouts_.Reset(font(), WrapWidth());
}

TTextPane::~TTextPane() = default;

void TTextPane::Clear() {
  lines_.Clear();
  highlights_.Clear();
  ShowFromStart();
  emit LinesChanged(0);
}

void TTextPane::AppendLines(const LineList& lines, Encoding encoding) {
  lines_.Append(lines, encoding);
  highlights_.Clear();
  ShowFromStart();
  emit LinesChanged(0);
}

bool TTextPane::ExtendLines(const LineList& lines, Encoding encoding) {
  const size_t changed = Empty() ? 0 : lines_.Count() - 1;
  if (!lines_.Extend(lines, encoding)) return false;
  layouts_.ForgetFrom(changed);
  highlights_.ForgetFrom(changed);
  KeepPlacesBefore(changed);
  UpdateScrollRange();
  emit LinesChanged(changed);
  return true;
}

void TTextPane::KeepPlacesBefore(size_t line) {
  if (Empty()) {
    ShowFromStart();
    return;
  }
  // A line that came anew has at least the characters it had, unless it is gone or a long line
  // now cut into chunks elsewhere: then a place in it moves to its start, or to the end.
  const auto exists = [this](TChunkRef ref) {
    return ref.Line < lines_.Count() && ref.Chunk < lines_.ChunkCount(ref.Line);
  };
  for (TTextPos* pos : {&anchor_, &caret_}) {
    if (pos->Ref.Line < line) continue;
    const bool fits = exists(pos->Ref) && pos->Column <= layouts_.At(pos->Ref).Text.size();
    *pos = fits ? rows_.Normalized(*pos) : rows_.End();
  }
  if (top_.Ref.Line >= line) {
    const bool fits = exists(top_.Ref) && top_.Row < layouts_.At(top_.Ref).Layout.lineCount();
    if (!fits) top_ = exists({line, 0}) ? TRowPos{{line, 0}, 0} : rows_.LastRow();
  }
}

void TTextPane::SetEncoding(Encoding encoding) {
  lines_.SetEncoding(encoding);
  highlights_.Clear();
  // Caret and selection count decoded characters, which another decoding may not have.
  anchor_ = caret_ = TTextPos{};
  Relayout();
  viewport()->update();
  emit LinesChanged(0);
}

int TTextPane::LineCount() const {
  return static_cast<int>(lines_.Count());
}

QString TTextPane::Text() const {
  return Empty() ? QString() : TextBetween(lines_, {}, rows_.End());
}

QString TTextPane::SelectedText() const {
  if (!HasSelection()) return {};
  const auto [from, to] = std::minmax(anchor_, caret_);
  return TextBetween(lines_, from, to);
}

QString TTextPane::SelectedTextWithLineNumbers() const {
  if (!HasSelection()) return {};
  const auto [from, to] = std::minmax(anchor_, caret_);
  return NumberedTextBetween(lines_, from, to);
}

int TTextPane::WrapWidth() const {
  return std::max(1, viewport()->width() - 2 * kTextMargin);
}

void TTextPane::Copy() {
  if (HasSelection()) QGuiApplication::clipboard()->setText(SelectedText());
}

void TTextPane::CopyWithLineNumbers() {
  if (HasSelection()) QGuiApplication::clipboard()->setText(SelectedTextWithLineNumbers());
}

void TTextPane::SelectAll() {
  if (Empty()) return;
  anchor_ = {};
  caret_ = rows_.End();
  viewport()->update();
  OfferPrimarySelection();
}

// On X11 the text a user selects is offered for middle-click pasting, as every text view there
// does. A selection that Find makes is not the user's, and is not offered.
void TTextPane::OfferPrimarySelection() const {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (clipboard->supportsSelection() && HasSelection()) {
    clipboard->setText(SelectedText(), QClipboard::Selection);
  }
}

QMenu* TTextPane::CreateContextMenu() {
  auto* menu = new QMenu(this);
  QAction* copy = menu->addAction(tr("&Copy"), this, &TTextPane::Copy);
  copy->setShortcut(QKeySequence::Copy);
  copy->setEnabled(HasSelection());
  QAction* numbered =
      menu->addAction(tr("Copy with line numbers"), this, &TTextPane::CopyWithLineNumbers);
  numbered->setEnabled(HasSelection());
  QAction* selectAll = menu->addAction(tr("Select &All"), this, &TTextPane::SelectAll);
  selectAll->setShortcut(QKeySequence::SelectAll);
  return menu;
}

std::optional<TTextRange> TTextPane::RangeOfBytes(const char* begin, const char* end) const {
  const auto line = lines_.LineOfByte(begin);
  if (!line) return std::nullopt;
  const auto [index, offset] = *line;
  return TTextRange{PlaceInLine(lines_, index, offset),
                    PlaceInLine(lines_, index, offset + static_cast<size_t>(end - begin))};
}

TTextRange TTextPane::Selection() const {
  const auto [from, to] = std::minmax(anchor_, caret_);
  return {from, to};
}

void TTextPane::Select(TTextRange range) {
  if (Empty()) return;
  const bool wasInView = InView(rows_.RowOf(range.From)) && InView(rows_.RowOf(range.To));
  anchor_ = range.From;
  MoveCaret(range.To, true);
  if (!wasInView) ScrollTo(rows_.Offset(rows_.RowOf(range.From), -PageRows() / 2));
}

void TTextPane::HighlightMatches(LineMatchers matchers) {
  highlighted_ = std::move(matchers);
  viewport()->update();
  emit MatchesHighlighted();
}

std::vector<TTextRange> TTextPane::HighlightedMatches() const {
  std::vector<TTextRange> matches;
  for (const TVisibleChunk& chunk : rows_.VisibleChunks(top_, viewport()->height())) {
    for (const auto& [start, end] : MatchedColumns(lines_, chunk.Ref, highlighted_)) {
      matches.push_back({{chunk.Ref, start}, {chunk.Ref, end}});
    }
  }
  return matches;
}

void TTextPane::SetHighlighter(std::shared_ptr<const LineHighlighter> highlighter) {
  highlights_.SetHighlighter(std::move(highlighter));
  viewport()->update();
}

void TTextPane::PutBesideScrollBar(QWidget* widget) {
  besideScrollBar_ = widget;
  widget->setParent(this);
  setViewportMargins(0, 0, widget->sizeHint().width(), 0);
  PlaceBesideScrollBar();
  widget->show();
}

// The view's resize events come here, also when the scroll bar comes or goes.
void TTextPane::PlaceBesideScrollBar() {
  if (!besideScrollBar_) return;
  const QRect view = viewport()->geometry();
  besideScrollBar_->setGeometry(view.right() + 1, view.top(), besideScrollBar_->sizeHint().width(),
                                view.height());
}

bool TTextPane::event(QEvent* event) {
  // Copy and select-all act on the pane that has the focus, before any shortcut of the window.
  if (event->type() == QEvent::ShortcutOverride) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->matches(QKeySequence::Copy) || key->matches(QKeySequence::SelectAll)) {
      event->accept();
      return true;
    }
  }
  return QAbstractScrollArea::event(event);
}

void TTextPane::changeEvent(QEvent* event) {
  if (event->type() == QEvent::FontChange) Relayout();
  QAbstractScrollArea::changeEvent(event);
}

void TTextPane::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  PlaceBesideScrollBar();
  if (WrapWidth() != layouts_.Width()) {
    Relayout();
  } else {
    UpdateScrollRange();
  }
}

void TTextPane::ShowFromStart() {
  layouts_.Clear();
  top_ = {};
  anchor_ = caret_ = {};
  caretX_ = 0;
  UpdateScrollRange();
}

void TTextPane::Relayout() {
  // The top row keeps its first character as the rows wrap anew.
  const int topColumn = Empty() ? 0 : rows_.Line(top_).textStart();
  layouts_.Reset(font(), WrapWidth());
  if (!Empty()) top_ = rows_.RowOf({top_.Ref, topColumn});
  UpdateScrollRange();
}

void TTextPane::UpdateScrollRange() {
  lastTop_ = Empty() ? TRowPos{} : rows_.TopShowing(rows_.LastRow(), viewport()->height());
  const int lastUnit = static_cast<int>(lines_.UnitOf(lastTop_.Ref));
  QScrollBar* bar = verticalScrollBar();
  bar->setRange(0, lastUnit);
  bar->setPageStep(std::max(1, static_cast<int>(lines_.UnitCount()) - lastUnit));
  ScrollTo(top_);
}

void TTextPane::scrollContentsBy(int, int) {
  FollowScrollBar();
}

void TTextPane::FollowScrollBar() {
  // The bar's value is only the chunk at the top; the pane's own scrolling also keeps the row
  // within it, so only a value that names another chunk moves the view.
  const QScrollBar* bar = verticalScrollBar();
  if (static_cast<size_t>(bar->value()) == lines_.UnitOf(top_.Ref)) return;
  top_ = bar->value() == bar->maximum() ? lastTop_ : TRowPos{lines_.ChunkAtUnit(bar->value()), 0};
  viewport()->update();
}

void TTextPane::StepScrollBar(int action) {
  // The bar's arrows and trough move by rows, as the keys do, and not by whole chunks.
  switch (action) {
    case QAbstractSlider::SliderSingleStepAdd:
      return ScrollByRows(1);
    case QAbstractSlider::SliderSingleStepSub:
      return ScrollByRows(-1);
    case QAbstractSlider::SliderPageStepAdd:
      return ScrollByRows(PageRows());
    case QAbstractSlider::SliderPageStepSub:
      return ScrollByRows(-PageRows());
    default:
      return;
  }
}

void TTextPane::ScrollTo(TRowPos top) {
  top_ = std::min(top, lastTop_);
  verticalScrollBar()->setValue(static_cast<int>(lines_.UnitOf(top_.Ref)));
  viewport()->update();
}

void TTextPane::ScrollByRows(int count) {
  if (!Empty()) ScrollTo(rows_.Offset(top_, count));
}

// Rows are laid out without the font's leading, so a page counts them the same way; fonts with
// leading (common on Windows) would otherwise page short of what the view shows.
int TTextPane::PageRows() const {
  return std::max(1, static_cast<int>(viewport()->height() / QFontMetricsF(font()).height()));
}

void TTextPane::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Copy)) {
    Copy();
  } else if (event->matches(QKeySequence::SelectAll)) {
    SelectAll();
  } else if (Empty() || !MoveCaretForKey(*event)) {
    QAbstractScrollArea::keyPressEvent(event);
  }
}

bool TTextPane::MoveCaretForKey(const QKeyEvent& event) {
  const std::optional<TKeyMove> move = KeyMove(event, rows_, caret_, caretX_, PageRows());
  if (!move) return false;
  // A page key moves the view by a page and the caret with it, so it stays where it was on screen.
  if (move->ScrollRows != 0) ScrollByRows(move->ScrollRows);
  const qreal x = caretX_;
  MoveCaret(move->Target, move->Select);
  if (move->KeepsX) caretX_ = x;
  if (move->Select) OfferPrimarySelection();
  return true;
}

void TTextPane::MoveCaret(TTextPos pos, bool extendSelection) {
  caret_ = pos;
  if (!extendSelection) anchor_ = pos;
  caretX_ = rows_.Line(rows_.RowOf(caret_)).cursorToX(caret_.Column);
  EnsureCaretVisible();
}

void TTextPane::EnsureCaretVisible() {
  const TRowPos row = rows_.RowOf(caret_);
  ScrollTo(std::clamp(top_, rows_.TopShowing(row, viewport()->height()), row));
}

bool TTextPane::InView(TRowPos row) const {
  return rows_.TopShowing(row, viewport()->height()) <= top_ && top_ <= row;
}

TTextPos TTextPane::PosAt(QPointF point, QTextLine::CursorPosition mode) const {
  return rows_.PosAt(top_, point - QPointF(kTextMargin, 0), viewport()->height(), mode);
}

void TTextPane::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || Empty()) {
    return QAbstractScrollArea::mousePressEvent(event);
  }
  MoveCaret(PosAt(event->position()), event->modifiers() & Qt::ShiftModifier);
}

void TTextPane::mouseMoveEvent(QMouseEvent* event) {
  if (!(event->buttons() & Qt::LeftButton) || Empty()) return;
  dragPoint_ = event->position();
  // Held beyond the top or bottom edge, the drag goes on scrolling without the mouse moving.
  const bool beyondEdge = dragPoint_.y() < 0 || dragPoint_.y() >= viewport()->height();
  if (!beyondEdge) {
    dragScroll_.stop();
  } else if (!dragScroll_.isActive()) {
    dragScroll_.start(kDragScrollMs, this);
  }
  MoveCaret(PosAt(dragPoint_), true);
}

void TTextPane::mouseReleaseEvent(QMouseEvent*) {
  dragScroll_.stop();
  OfferPrimarySelection();
}

void TTextPane::timerEvent(QTimerEvent* event) {
  if (event->timerId() != dragScroll_.timerId()) return QAbstractScrollArea::timerEvent(event);
  ScrollByRows(dragPoint_.y() < 0 ? -1 : 1);
  MoveCaret(PosAt(dragPoint_), true);
}

void TTextPane::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || Empty()) {
    return QAbstractScrollArea::mouseDoubleClickEvent(event);
  }
  const auto [start, end] =
      WordAround(rows_, PosAt(event->position(), QTextLine::CursorOnCharacter));
  anchor_ = start;
  MoveCaret(end, true);
  OfferPrimarySelection();
}

void TTextPane::wheelEvent(QWheelEvent* event) {
  // Each notch scrolls the rows the platform asks for; a fine-grained wheel adds up to notches.
  wheelDelta_ += event->angleDelta().y();
  const int notches = wheelDelta_ / QWheelEvent::DefaultDeltasPerStep;
  wheelDelta_ -= notches * QWheelEvent::DefaultDeltasPerStep;
  ScrollByRows(-notches * QApplication::wheelScrollLines());
  event->accept();
}

void TTextPane::contextMenuEvent(QContextMenuEvent* event) {
  QMenu* menu = CreateContextMenu();
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->popup(event->globalPos());
}

void TTextPane::focusInEvent(QFocusEvent* event) {
  viewport()->update();
  QAbstractScrollArea::focusInEvent(event);
}

void TTextPane::focusOutEvent(QFocusEvent* event) {
  viewport()->update();
  QAbstractScrollArea::focusOutEvent(event);
}

void TTextPane::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  painter.setPen(palette().color(QPalette::Text));
  for (const TVisibleChunk& chunk : rows_.VisibleChunks(top_, viewport()->height())) {
    PaintChunk(painter, chunk);
  }
  // The pane has no border; a thin line in the highlight colour, as text fields show their focus,
  // tells which pane has it.
  if (hasFocus()) {
    painter.setPen(palette().color(QPalette::Highlight));
    painter.drawRect(viewport()->rect().adjusted(0, 0, -1, -1));
  }
}

void TTextPane::PaintChunk(QPainter& painter, const TVisibleChunk& chunk) const {
  const TChunkLayout& layout = layouts_.At(chunk.Ref);
  const QPointF origin(kTextMargin, chunk.Top);
  const auto [from, to] = std::minmax(anchor_, caret_);
  // The rules' colours come first and the selection last, so that a marked match shows over a
  // coloured line and the selection over both.
  QList<QTextLayout::FormatRange> formats = highlights_.Formats(chunk.Ref);
  formats.append(MatchFormats(chunk.Ref));
  if (from != to && from.Ref <= chunk.Ref && chunk.Ref <= to.Ref) {
    const int start = from.Ref == chunk.Ref ? from.Column : 0;
    const int end = to.Ref == chunk.Ref ? to.Column : static_cast<int>(layout.Text.size());
    QTextCharFormat format;
    // Without the focus, the selection shows in the colours of an inactive window.
    const QPalette::ColorGroup group = hasFocus() ? QPalette::Active : QPalette::Inactive;
    format.setBackground(palette().brush(group, QPalette::Highlight));
    format.setForeground(palette().brush(group, QPalette::HighlightedText));
    formats.append({start, end - start, format});
    const bool endsLine = chunk.Ref.Chunk + 1 == lines_.ChunkCount(chunk.Ref.Line);
    if (endsLine && to.Ref.Line > chunk.Ref.Line) PaintSelectedLineEnd(painter, layout, origin);
  }
  layout.Layout.draw(&painter, origin, formats, viewport()->rect());
  if (hasFocus() && caret_.Ref == chunk.Ref) {
    layout.Layout.drawCursor(&painter, origin, caret_.Column);
  }
}

QList<QTextLayout::FormatRange> TTextPane::MatchFormats(TChunkRef ref) const {
  QList<QTextLayout::FormatRange> formats;
  QTextCharFormat format;
  format.setBackground(kMatchBackground);
  for (const auto& [start, end] : MatchedColumns(lines_, ref, highlighted_)) {
    formats.append({start, end - start, format});
  }
  return formats;
}

void TTextPane::PaintSelectedLineEnd(QPainter& painter, const TChunkLayout& layout,
                                     QPointF origin) const {
  // A selection that goes on to the next line shows a space's width after this one, so that a
  // selected empty line is seen to be selected.
  const QTextLine last = layout.Layout.lineAt(layout.Layout.lineCount() - 1);
  const QRectF mark(origin + QPointF(last.naturalTextWidth(), last.y()),
                    QSizeF(QFontMetricsF(font()).horizontalAdvance(u' '), last.height()));
  painter.fillRect(mark, palette().highlight());
}
