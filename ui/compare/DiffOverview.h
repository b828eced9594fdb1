#pragma once

#include <QWidget>
#include <vector>

#include "DiffRows.h"

// The thin bar beside the comparison's scroll bar: where in the whole comparison its
// differences are, in their colours, and which part is in view. A click goes there.
class DiffOverview : public QWidget {
  Q_OBJECT

 public:
  explicit DiffOverview(QWidget* parent = nullptr);

  // The differences of `rows`; nothing for none.
  void Show(const DiffRows* rows);
  void ShowInView(size_t firstRow, size_t rows);
  QSize sizeHint() const override;

 signals:
  void RowClicked(size_t row);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  int YOf(size_t row) const;

  std::vector<DiffRows::Stretch> stretches_;
  size_t rows_ = 0;
  size_t firstInView_ = 0;
  size_t inView_ = 0;
};
