#include "CompareView.h"

#include <QFontDatabase>
#include <QHelpEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>
#include <algorithm>

namespace {

using Kind = DiffBlock::Kind;
constexpr int kPadding = 4;
// A step of the run that took this much longer than the baseline's, and at least twice as long,
// is marked: a wait that timed out, a retry, a slow device.
constexpr int32_t kSlowStepMs = 1000;
// Long lines are cut at the side's edge; the view scrolls sideways up to this many characters.
constexpr int kWidestLineChars = 400;

QString TimeSpan(int64_t ms, bool withSign) {
  const QString sign = ms < 0 ? QStringLiteral("-") : (withSign ? QStringLiteral("+") : QString());
  ms = std::abs(ms);
  const int64_t seconds = ms / 1000;
  const QString fraction = QStringLiteral(".%1").arg(ms % 1000, 3, 10, QLatin1Char('0'));
  if (seconds < 60) return sign + QString::number(seconds) + fraction;
  const QString minutesAndSeconds =
      QStringLiteral("%1:%2").arg(seconds / 60 % 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
  if (seconds < 3600) return sign + minutesAndSeconds + fraction;
  return sign +
         QStringLiteral("%1:%2")
             .arg(seconds / 3600)
             .arg(QStringLiteral("%1").arg(minutesAndSeconds, 5, QLatin1Char('0'))) +
         fraction;
}

QString Expanded(QString text) {
  return text.replace(QLatin1Char('\t'), QStringLiteral("    "));
}

}  // namespace

CompareView::CompareView(QWidget* parent) : QAbstractScrollArea(parent) {
  setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  setFocusPolicy(Qt::StrongFocus);
  viewport()->setAutoFillBackground(true);
  viewport()->setBackgroundRole(QPalette::Base);
}

QColor CompareView::ColourOf(Kind kind) {
  switch (kind) {
    case Kind::Changed:
      return {0xFF, 0xEC, 0xB3};
    case Kind::OnlyBaseline:
      return {0xFF, 0xCD, 0xD2};
    case Kind::OnlyRun:
      return {0xC8, 0xE6, 0xC9};
    case Kind::Same:
      break;
  }
  return {};
}

void CompareView::Show(std::shared_ptr<const RunComparison> comparison, Page page) {
  comparison_ = std::move(comparison);
  page_ = page;
  current_.reset();
  const QFontMetrics metrics(font());
  const size_t lines = std::max(LinesOf(true).Count(), LinesOf(false).Count());
  columns_.number = metrics.horizontalAdvance(QString::number(lines)) + 2 * kPadding;
  const bool timed = page == Page::Log;
  columns_.time = timed ? metrics.horizontalAdvance(QStringLiteral("0:00:00.000")) : 0;
  columns_.lag = timed ? metrics.horizontalAdvance(QStringLiteral("+0:00:00.000")) : 0;
  verticalScrollBar()->setValue(0);
  horizontalScrollBar()->setValue(0);
  UpdateScrollBars();
  viewport()->update();
  emit RowsInViewChanged();
}

void CompareView::Clear() {
  comparison_.reset();
  current_.reset();
  UpdateScrollBars();
  viewport()->update();
  emit RowsInViewChanged();
}

const DiffRows* CompareView::Rows() const {
  if (!comparison_) return nullptr;
  return page_ == Page::Log ? &comparison_->Log : &comparison_->Script;
}

const RunLines& CompareView::LinesOf(bool baselineSide) const {
  const ComparedRun& side = baselineSide ? comparison_->Baseline : comparison_->Run;
  return page_ == Page::Log ? side.Log : side.Script;
}

void CompareView::GoTo(size_t row) {
  current_ = row;
  // A few rows of what comes before stay in view above it.
  const size_t above = std::min(row, VisibleRows() / 4);
  verticalScrollBar()->setValue(static_cast<int>(row - above));
  viewport()->update();
}

int CompareView::RowHeight() const {
  return QFontMetrics(font()).lineSpacing() + 2;
}

size_t CompareView::FirstVisibleRow() const {
  return static_cast<size_t>(verticalScrollBar()->value());
}

size_t CompareView::VisibleRows() const {
  return static_cast<size_t>(std::max(1, viewport()->height() / RowHeight()));
}

void CompareView::UpdateScrollBars() {
  const size_t rows = Rows() ? Rows()->Count() : 0;
  const auto visible = static_cast<int>(VisibleRows());
  verticalScrollBar()->setRange(0, std::max(0, static_cast<int>(rows) - visible));
  verticalScrollBar()->setPageStep(visible);
  const int textWidth = QFontMetrics(font()).averageCharWidth() * kWidestLineChars;
  horizontalScrollBar()->setRange(0, Rows() ? std::max(0, textWidth - viewport()->width() / 2) : 0);
  horizontalScrollBar()->setPageStep(viewport()->width() / 2);
}

void CompareView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollBars();
  emit RowsInViewChanged();
}

void CompareView::scrollContentsBy(int /*dx*/, int /*dy*/) {
  viewport()->update();
  emit RowsInViewChanged();
}

bool CompareView::viewportEvent(QEvent* event) {
  if (event->type() != QEvent::ToolTip || !Rows()) return QAbstractScrollArea::viewportEvent(event);
  const auto* help = static_cast<QHelpEvent*>(event);
  const size_t row = FirstVisibleRow() + static_cast<size_t>(help->pos().y() / RowHeight());
  if (row < Rows()->Count()) {
    QToolTip::showText(help->globalPos(), TipText(row), viewport());
  } else {
    QToolTip::hideText();
  }
  return true;
}

QString CompareView::TipText(size_t row) const {
  const DiffRows::Row shown = Rows()->At(row);
  QStringList sides;
  for (const bool baselineSide : {true, false}) {
    const std::optional<size_t> line = baselineSide ? shown.Baseline : shown.Run;
    const ComparedRun& run = baselineSide ? comparison_->Baseline : comparison_->Run;
    if (!line) continue;
    sides << tr("Run %1, line %2: %3")
                 .arg(run.Row + 1)
                 .arg(*line + 1)
                 .arg(DecodedLine(LinesOf(baselineSide).Line(*line), comparison_->TextEncoding)
                          .toHtmlEscaped());
  }
  return QStringLiteral("<p style='white-space:pre'>%1</p>")
      .arg(sides.join(QStringLiteral("<br>")));
}

void CompareView::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(viewport());
  const DiffRows* rows = Rows();
  if (!rows) return;
  const int height = RowHeight();
  const size_t first = FirstVisibleRow();
  const size_t end = std::min(rows->Count(), first + VisibleRows() + 1);
  for (size_t row = first; row < end; ++row) {
    PaintRow(painter, row, static_cast<int>(row - first) * height);
  }
  const int middle = viewport()->width() / 2;
  painter.setPen(palette().color(QPalette::Mid));
  painter.drawLine(middle, 0, middle, viewport()->height());
}

void CompareView::PaintRow(QPainter& painter, size_t row, int y) const {
  const DiffRows::Row shown = Rows()->At(row);
  const int half = viewport()->width() / 2;
  PaintSide(painter, shown, true, 0, y, half);
  PaintSide(painter, shown, false, half + 1, y, viewport()->width() - half - 1);
  if (current_ == row) {
    painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
    painter.drawLine(0, y + 1, viewport()->width(), y + 1);
  }
}

void CompareView::PaintSide(QPainter& painter, const DiffRows::Row& row, bool baselineSide, int x,
                            int y, int width) const {
  const std::optional<size_t> line = baselineSide ? row.Baseline : row.Run;
  const QRect rect(x, y, width, RowHeight());
  if (!line) {
    painter.fillRect(rect, palette().color(QPalette::AlternateBase).darker(104));
    return;
  }
  if (row.What != Kind::Same) painter.fillRect(rect, ColourOf(row.What));
  painter.save();
  painter.setClipRect(rect);
  const QFontMetrics metrics(font());
  const int baseline = y + 1 + metrics.ascent();
  int left = x + kPadding;
  painter.setPen(palette().color(QPalette::PlaceholderText));
  painter.drawText(QRect(left, y, columns_.number - kPadding, RowHeight()),
                   Qt::AlignRight | Qt::AlignVCenter, QString::number(*line + 1));
  left += columns_.number;
  if (columns_.time > 0) {
    painter.drawText(QRect(left, y, columns_.time, RowHeight()), Qt::AlignRight | Qt::AlignVCenter,
                     TimeText(*line, baselineSide));
    left += columns_.time + 2 * kPadding;
  }
  if (!baselineSide && columns_.lag > 0) {
    PaintLag(painter, row, QRect(left, y, columns_.lag, RowHeight()));
    left += columns_.lag + 2 * kPadding;
  }
  const Encoding encoding = comparison_->TextEncoding;
  const QString text = Expanded(DecodedLine(LinesOf(baselineSide).Line(*line), encoding));
  const std::optional<size_t> other = baselineSide ? row.Run : row.Baseline;
  const QString otherText =
      other ? Expanded(DecodedLine(LinesOf(!baselineSide).Line(*other), encoding)) : text;
  painter.setClipRect(QRect(left, y, x + width - left, RowHeight()));
  PaintText(painter, text, otherText, QPoint(left - horizontalScrollBar()->value(), baseline));
  painter.restore();
}

void CompareView::PaintText(QPainter& painter, const QString& text, const QString& otherText,
                            QPoint start) const {
  const QFontMetrics metrics(font());
  const QColor normal = palette().color(QPalette::Text);
  // Only on the log lines, and where the texts differ: there what masking hid is the news.
  const bool quiet = page_ == Page::Log && text != otherText;
  const QList<std::pair<int, int>> masked =
      quiet ? comparison_->Rules.MaskedParts(text) : QList<std::pair<int, int>>();
  int x = start.x();
  int from = 0;
  const auto draw = [&](int first, int length, const QColor& colour) {
    const QString piece = text.mid(first, length);
    painter.setPen(colour);
    painter.drawText(x, start.y(), piece);
    x += metrics.horizontalAdvance(piece);
  };
  const QColor quieter = palette().color(QPalette::PlaceholderText);
  for (const auto& [first, length] : masked) {
    draw(from, first - from, normal);
    draw(first, length, quieter);
    from = first + length;
  }
  draw(from, static_cast<int>(text.size()) - from, normal);
}

QString CompareView::TimeText(size_t line, bool baselineSide) const {
  const ComparedRun& side = baselineSide ? comparison_->Baseline : comparison_->Run;
  const int32_t since = side.Times[line].SinceStart;
  return since == RunClock::kNoTime ? QString() : TimeSpan(since, false);
}

void CompareView::PaintLag(QPainter& painter, const DiffRows::Row& row, QRect rect) const {
  if (!row.Baseline || !row.Run) return;
  const RunClock::LineTime base = comparison_->Baseline.Times[*row.Baseline];
  const RunClock::LineTime run = comparison_->Run.Times[*row.Run];
  if (base.SinceStart == RunClock::kNoTime || run.SinceStart == RunClock::kNoTime) return;
  const int64_t lag = int64_t{run.SinceStart} - base.SinceStart;
  const int64_t longer = int64_t{run.SincePrevious} - base.SincePrevious;
  const bool slow = longer >= kSlowStepMs && run.SincePrevious >= 2 * int64_t{base.SincePrevious};
  QFont font = painter.font();
  font.setBold(slow);
  painter.setFont(font);
  painter.setPen(slow ? QColor(0xB7, 0x1C, 0x1C) : palette().color(QPalette::PlaceholderText));
  painter.drawText(rect, Qt::AlignRight | Qt::AlignVCenter, TimeSpan(lag, true));
  font.setBold(false);
  painter.setFont(font);
}
