#include "RunsMatchFilter.h"

#include <algorithm>

RunsMatchFilter::RunsMatchFilter(TRunsTableModel& table, QObject* parent)
    : QAbstractProxyModel(parent), table_(table) {
  setSourceModel(&table);
  connect(&table, &QAbstractItemModel::modelAboutToBeReset, this,
          &RunsMatchFilter::beginResetModel);
  connect(&table, &QAbstractItemModel::modelReset, this, [this] {
    shown_ = on_ ? RowsThatPass() : std::vector<int>();
    endResetModel();
  });
  connect(&table, &QAbstractItemModel::rowsAboutToBeInserted, this,
          [this](const QModelIndex&, int first, int last) {
            if (!on_) beginInsertRows(QModelIndex(), first, last);
          });
  connect(&table, &QAbstractItemModel::rowsInserted, this,
          [this](const QModelIndex&, int first, int last) { TableRowsInserted(first, last); });
  connect(
      &table, &QAbstractItemModel::rowsAboutToBeRemoved, this,
      [this](const QModelIndex&, int first, int last) { TableRowsAboutToBeRemoved(first, last); });
  connect(&table, &QAbstractItemModel::rowsRemoved, this,
          [this](const QModelIndex&, int first, int) { TableRowsRemoved(first); });
  connect(&table, &QAbstractItemModel::dataChanged, this, &RunsMatchFilter::TableDataChanged);
}

void RunsMatchFilter::SetOn(bool on) {
  if (on == matchesOnly_) return;
  matchesOnly_ = on;
  Refilter(matchesOnly_ || alertsOnly_);
  emit Toggled(on);
}

void RunsMatchFilter::SetAlertsOnly(bool on) {
  if (on == alertsOnly_) return;
  alertsOnly_ = on;
  Refilter(matchesOnly_ || alertsOnly_);
  emit AlertsToggled(on);
}

void RunsMatchFilter::ShowAll() {
  SetOn(false);
  SetAlertsOnly(false);
}

QModelIndex RunsMatchFilter::index(int row, int column, const QModelIndex& parent) const {
  if (parent.isValid() || row < 0 || row >= rowCount() || column < 0 || column >= columnCount()) {
    return {};
  }
  return createIndex(row, column);
}

QModelIndex RunsMatchFilter::parent(const QModelIndex& /*child*/) const {
  return {};
}

int RunsMatchFilter::rowCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  return on_ ? static_cast<int>(shown_.size()) : table_.rowCount();
}

int RunsMatchFilter::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : table_.columnCount();
}

QModelIndex RunsMatchFilter::mapToSource(const QModelIndex& proxyIndex) const {
  if (!proxyIndex.isValid()) return {};
  return table_.index(TableRowOf(proxyIndex.row()), proxyIndex.column());
}

QModelIndex RunsMatchFilter::mapFromSource(const QModelIndex& sourceIndex) const {
  if (!sourceIndex.isValid()) return {};
  const int row = RowOf(sourceIndex.row());
  return row < 0 ? QModelIndex() : createIndex(row, sourceIndex.column());
}

// The base class asks the table for the section of row 0, which a filter that hides every row
// does not have.
QVariant RunsMatchFilter::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation == Qt::Vertical) section = TableRowOf(section);
  return table_.headerData(section, orientation, role);
}

bool RunsMatchFilter::Passes(int tableRow) const {
  return (!matchesOnly_ || table_.MatchCount(tableRow).value_or(0) > 0) &&
         (!alertsOnly_ || table_.AlertCount(tableRow).value_or(0) > 0);
}

std::vector<int> RunsMatchFilter::RowsThatPass() const {
  std::vector<int> rows;
  for (int row = 0; row < table_.rowCount(); ++row) {
    if (Passes(row)) rows.push_back(row);
  }
  return rows;
}

void RunsMatchFilter::Refilter(bool on) {
  std::vector<int> shown = on ? RowsThatPass() : std::vector<int>();
  if (on == on_ && shown == shown_) return;
  emit layoutAboutToBeChanged();
  const QModelIndexList before = persistentIndexList();
  QList<int> tableRows;
  for (const QModelIndex& index : before) tableRows << TableRowOf(index.row());
  on_ = on;
  shown_ = std::move(shown);
  QModelIndexList after;
  for (qsizetype k = 0; k < before.size(); ++k) {
    const int row = RowOf(tableRows[k]);
    after << (row < 0 ? QModelIndex() : createIndex(row, before[k].column()));
  }
  changePersistentIndexList(before, after);
  emit layoutChanged();
}

void RunsMatchFilter::TableRowsInserted(int first, int last) {
  if (!on_) {
    endInsertRows();
    return;
  }
  // The rows after the new ones moved down in the table, but not among the rows shown.
  const int added = last - first + 1;
  for (int& row : shown_) {
    if (row >= first) row += added;
  }
  Refilter(true);
}

// The table removes rows only at its end, so the rows shown from the first removed one on go.
void RunsMatchFilter::TableRowsAboutToBeRemoved(int first, int last) {
  if (!on_) {
    beginRemoveRows(QModelIndex(), first, last);
    return;
  }
  const auto from = std::ranges::lower_bound(shown_, first) - shown_.begin();
  const auto count = static_cast<int>(shown_.size());
  if (from < count) beginRemoveRows(QModelIndex(), static_cast<int>(from), count - 1);
}

void RunsMatchFilter::TableRowsRemoved(int first) {
  if (!on_) {
    endRemoveRows();
    return;
  }
  const auto from = std::ranges::lower_bound(shown_, first);
  if (from == shown_.end()) return;
  shown_.erase(from, shown_.end());
  endRemoveRows();
}

void RunsMatchFilter::TableDataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight) {
  if (!on_) {
    emit dataChanged(createIndex(topLeft.row(), topLeft.column()),
                     createIndex(bottomRight.row(), bottomRight.column()));
    return;
  }
  if (bottomRight.column() >= TRunsTableModel::AlertsColumn) Refilter(true);
  const auto begin = std::ranges::lower_bound(shown_, topLeft.row());
  const auto end = std::ranges::upper_bound(shown_, bottomRight.row());
  if (begin == end) return;
  emit dataChanged(createIndex(static_cast<int>(begin - shown_.begin()), topLeft.column()),
                   createIndex(static_cast<int>(end - shown_.begin()) - 1, bottomRight.column()));
}

int RunsMatchFilter::TableRowOf(int row) const {
  if (!on_) return row;
  return row >= 0 && static_cast<size_t>(row) < shown_.size() ? shown_[static_cast<size_t>(row)]
                                                              : -1;
}

int RunsMatchFilter::RowOf(int tableRow) const {
  if (!on_) return tableRow;
  const auto at = std::ranges::lower_bound(shown_, tableRow);
  return at != shown_.end() && *at == tableRow ? static_cast<int>(at - shown_.begin()) : -1;
}
