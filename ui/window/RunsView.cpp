#include "RunsView.h"

#include <QHeaderView>

namespace {

constexpr int kDateTimeWidth = 140;
constexpr int kScriptTypeWidth = 80;
// Sizing a column to its texts looks at this many rows around the visible ones, not at all
// rows: a million rows would cost seconds.
constexpr int kRowsSampledForWidth = 1000;

QList<int> RowsOf(const QItemSelection& selection) {
  QList<int> rows;
  for (const QItemSelectionRange& range : selection) {
    for (int row = range.top(); row <= range.bottom(); ++row) {
      if (!rows.contains(row)) rows.append(row);
    }
  }
  return rows;
}

}  // namespace

TRunsView::TRunsView(const LogStore& store, QWidget* parent)
    : QTreeView(parent), model_(new TRunsTableModel(store, this)) {
  setModel(model_);
  setRootIsDecorated(false);
  setItemsExpandable(false);
  setUniformRowHeights(true);
  setAllColumnsShowFocus(true);
  setSortingEnabled(false);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setFrameShape(QFrame::NoFrame);
  header()->setSectionsMovable(false);
  header()->setStretchLastSection(false);
  header()->setResizeContentsPrecision(kRowsSampledForWidth);
  setColumnWidth(TRunsTableModel::DateTimeColumn, kDateTimeWidth);
  setColumnWidth(TRunsTableModel::ScriptTypeColumn, kScriptTypeWidth);

  // The selected run stays marked while the user reads the panes.
  QPalette colours = palette();
  for (const auto role : {QPalette::Highlight, QPalette::HighlightedText}) {
    colours.setColor(QPalette::Inactive, role, colours.color(QPalette::Active, role));
  }
  setPalette(colours);

  connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &TRunsView::ReportSelectionChange);
}

int TRunsView::SelectedIndex() const {
  const QModelIndexList rows = selectionModel()->selectedRows();
  return rows.isEmpty() ? -1 : rows.first().row();
}

void TRunsView::SetSelectedIndex(int row) {
  if (row < 0 || row >= RowCount()) {
    selectionModel()->clearSelection();
    return;
  }
  const bool scrolls = hasAutoScroll();
  setAutoScroll(false);
  selectionModel()->setCurrentIndex(
      model_->index(row, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  setAutoScroll(scrolls);
}

void TRunsView::MakeVisible(int row) {
  const QModelIndex index = model_->index(row, 0);
  const QRect rect = visualRect(index);
  const bool partlyVisible = rect.bottom() >= 0 && rect.top() < viewport()->height();
  if (!partlyVisible) scrollTo(index, EnsureVisible);
}

void TRunsView::FitColumnsToTexts() {
  resizeColumnToContents(TRunsTableModel::ScriptColumn);
  resizeColumnToContents(TRunsTableModel::ScriptFilenameColumn);
}

void TRunsView::ReportSelectionChange(const QItemSelection& selected,
                                      const QItemSelection& deselected) {
  for (const int row : RowsOf(deselected)) emit SelectItem(this, row, false);
  for (const int row : RowsOf(selected)) emit SelectItem(this, row, true);
}
