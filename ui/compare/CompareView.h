#pragma once

#include <QAbstractScrollArea>
#include <memory>
#include <optional>

#include "RunComparison.h"

// Two runs side by side, the baseline on the left, their lines aligned row by row as the diff
// paired them, in the colours of their kind: changed lines, lines only in the baseline and only
// in the run. With the log lines each line shows how long after its run's first time stamp it
// was written, and the run's aligned lines how much later or sooner than the baseline's, marked
// where a step took much longer. What masking let compare as equal shows in a quieter colour.
class CompareView : public QAbstractScrollArea {
  Q_OBJECT

 public:
  enum class Page { Log, Script };

  explicit CompareView(QWidget* parent = nullptr);

  void Show(std::shared_ptr<const RunComparison> comparison, Page page);
  void Clear();
  const DiffRows* Rows() const;
  // The row marked as the one gone to, if any.
  std::optional<size_t> CurrentRow() const { return current_; }
  // Marks `row` and scrolls it into the upper part of the view.
  void GoTo(size_t row);
  size_t FirstVisibleRow() const;
  size_t VisibleRows() const;

  static QColor ColourOf(DiffBlock::Kind kind);

 signals:
  // The rows in view changed (scrolled, resized or shown anew).
  void RowsInViewChanged();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  // A line cut at its side's edge shows whole, with the line beside it, in a tool tip.
  bool viewportEvent(QEvent* event) override;

 private:
  struct Columns {
    int number = 0;
    int time = 0;
    int lag = 0;  // the run's side only
  };
  int RowHeight() const;
  void UpdateScrollBars();
  const RunLines& LinesOf(bool baselineSide) const;
  void PaintRow(QPainter& painter, size_t row, int y) const;
  void PaintSide(QPainter& painter, const DiffRows::Row& row, bool baselineSide, int x, int y,
                 int width) const;
  void PaintText(QPainter& painter, const QString& text, const QString& otherText,
                 QPoint start) const;
  void PaintLag(QPainter& painter, const DiffRows::Row& row, QRect rect) const;
  QString TimeText(size_t line, bool baselineSide) const;
  QString TipText(size_t row) const;

  std::shared_ptr<const RunComparison> comparison_;
  Page page_ = Page::Log;
  Columns columns_;
  std::optional<size_t> current_;
};
