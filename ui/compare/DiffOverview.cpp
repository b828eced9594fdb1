#include "DiffOverview.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "CompareView.h"

namespace {

constexpr int kWidth = 12;

}  // namespace

DiffOverview::DiffOverview(QWidget* parent) : QWidget(parent) {
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
  setToolTip(tr("Where the runs differ; click to go there"));
}

QSize DiffOverview::sizeHint() const {
  return {kWidth, 100};
}

void DiffOverview::Show(const DiffRows* rows) {
  stretches_ = rows ? rows->Differences() : std::vector<DiffRows::Stretch>();
  rows_ = rows ? rows->Count() : 0;
  update();
}

void DiffOverview::ShowInView(size_t firstRow, size_t rows) {
  firstInView_ = firstRow;
  inView_ = rows;
  update();
}

int DiffOverview::YOf(size_t row) const {
  return rows_ == 0 ? 0 : static_cast<int>(static_cast<double>(row) / rows_ * height());
}

void DiffOverview::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().color(QPalette::Window).darker(105));
  if (rows_ == 0) return;
  for (const DiffRows::Stretch& stretch : stretches_) {
    const int top = YOf(stretch.First);
    // However long the comparison, a difference stays visible.
    const int bottom = std::max(top + 2, YOf(stretch.First + stretch.Count));
    painter.fillRect(QRect(1, top, width() - 2, bottom - top),
                     CompareView::ColourOf(stretch.What).darker(130));
  }
  const int top = YOf(firstInView_);
  const int bottom = std::max(top + 3, YOf(std::min(rows_, firstInView_ + inView_)));
  painter.setPen(palette().color(QPalette::Highlight));
  painter.drawRect(QRect(0, top, width() - 1, bottom - top - 1));
}

void DiffOverview::mousePressEvent(QMouseEvent* event) {
  if (rows_ == 0 || height() == 0) return;
  const double share = std::clamp(event->position().y() / height(), 0.0, 1.0);
  emit RowClicked(std::min(rows_ - 1, static_cast<size_t>(share * static_cast<double>(rows_))));
}

void DiffOverview::mouseMoveEvent(QMouseEvent* event) {
  if (event->buttons() & Qt::LeftButton) mousePressEvent(event);
}
