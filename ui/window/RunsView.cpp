#include "RunsView.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>

#include "StoreDump.h"

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

// The cells as one line of tab-separated text, escaped as --list writes its fields.
QString TabSeparatedLine(const QStringList& cells) {
  std::string line;
  for (const QString& cell : cells) {
    if (!line.empty()) line += '\t';
    AppendTableField(line, cell.toStdString());
  }
  return QString::fromStdString(line);
}

}  // namespace

TRunsView::TRunsView(const LogStore& store, QWidget* parent)
    : QTreeView(parent),
      model_(new TRunsTableModel(store, this)),
      filter_(new RunsMatchFilter(*model_, this)) {
  setModel(filter_);
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
  for (int column = TRunsTableModel::OutcomeColumn; column < TRunsTableModel::NUM_COLUMNS;
       ++column) {
    setColumnHidden(column, true);
  }
  // The counts of Find in runs next to the row numbers, where they are seen without scrolling
  // sideways; the model, Copy and --list keep the column last.
  header()->moveSection(header()->visualIndex(TRunsTableModel::MatchesColumn),
                        header()->visualIndex(TRunsTableModel::RunColumn) + 1);

  KeepSelectionVisibleWithoutFocus();
  auto* copy = new QAction(tr("&Copy"), this);
  copy->setShortcut(QKeySequence::Copy);
  copy->setShortcutContext(Qt::WidgetShortcut);
  connect(copy, &QAction::triggered, this, &TRunsView::CopySelectedRow);
  addAction(copy);
  setContextMenuPolicy(Qt::ActionsContextMenu);

  connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &TRunsView::ReportSelectionChange);
  // A table that was emptied starts again at its top, so the rows of the next file show from
  // their first one.
  connect(model_, &QAbstractItemModel::modelReset, this, &QAbstractItemView::scrollToTop);
}

void TRunsView::KeepSelectionVisibleWithoutFocus() {
  // The selected run stays marked while the user reads the panes, in the platform's colour for
  // a window without focus; where the style has none of its own, a paler one, so that the
  // marked row still tells whether the table has the keyboard focus.
  QPalette colours = palette();
  const QColor active = colours.color(QPalette::Active, QPalette::Highlight);
  if (colours.color(QPalette::Inactive, QPalette::Highlight) == active) {
    const QColor base = colours.color(QPalette::Active, QPalette::Base);
    QColor pale = active;
    pale.setRgbF((active.redF() + base.redF()) / 2, (active.greenF() + base.greenF()) / 2,
                 (active.blueF() + base.blueF()) / 2);
    colours.setColor(QPalette::Inactive, QPalette::Highlight, pale);
    colours.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     colours.color(QPalette::Active, QPalette::Text));
  }
  setPalette(colours);
}

QString TRunsView::SelectedRowText() const {
  const int row = SelectedIndex();
  if (row < 0) return {};
  QStringList cells;
  for (int column = 0; column < model_->columnCount(); ++column) {
    if (!isColumnHidden(column)) cells << model_->index(row, column).data().toString();
  }
  return TabSeparatedLine(cells);
}

void TRunsView::keyPressEvent(QKeyEvent* event) {
  // The view's own Copy would take one cell; a user wants the row.
  if (event->matches(QKeySequence::Copy)) {
    CopySelectedRow();
  } else {
    QTreeView::keyPressEvent(event);
  }
}

void TRunsView::CopySelectedRow() {
  if (SelectedIndex() >= 0) QGuiApplication::clipboard()->setText(SelectedRowText());
}

int TRunsView::SelectedIndex() const {
  const QModelIndexList rows = selectionModel()->selectedRows();
  return rows.isEmpty() ? -1 : filter_->mapToSource(rows.first()).row();
}

void TRunsView::SetSelectedIndex(int row) {
  if (row < 0 || row >= RowCount()) {
    selectionModel()->clearSelection();
    return;
  }
  if (!ShownIndex(row).isValid()) filter_->ShowAll();
  const bool scrolls = hasAutoScroll();
  setAutoScroll(false);
  selectionModel()->setCurrentIndex(
      ShownIndex(row), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  setAutoScroll(scrolls);
}

int TRunsView::LastShownRow() const {
  const int shown = filter_->rowCount();
  return shown == 0 ? -1 : filter_->mapToSource(filter_->index(shown - 1, 0)).row();
}

void TRunsView::MakeVisible(int row) {
  const QModelIndex index = ShownIndex(row);
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
  for (const int row : RowsOf(filter_->mapSelectionToSource(deselected))) {
    emit SelectItem(this, row, false);
  }
  for (const int row : RowsOf(filter_->mapSelectionToSource(selected))) {
    emit SelectItem(this, row, true);
  }
}

QModelIndex TRunsView::ShownIndex(int row) const {
  return filter_->mapFromSource(model_->index(row, 0));
}
