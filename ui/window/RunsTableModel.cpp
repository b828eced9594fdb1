#include "RunsTableModel.h"

TRunsTableModel::TRunsTableModel(const LogStore& store, QObject* parent)
    : QAbstractTableModel(parent), store_(store) {}

void TRunsTableModel::Clear() {
  beginResetModel();
  rows_ = 0;
  endResetModel();
}

void TRunsTableModel::AppendNewRows() {
  const int total = static_cast<int>(store_.RowToRun.size());
  if (total <= rows_) return;
  beginInsertRows(QModelIndex(), rows_, total - 1);
  rows_ = total;
  endInsertRows();
}

void TRunsTableModel::RefreshTexts() {
  if (rows_ > 0) emit dataChanged(index(0, 0), index(rows_ - 1, NUM_COLUMNS - 1));
}

int TRunsTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : rows_;
}

int TRunsTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : NUM_COLUMNS;
}

QVariant TRunsTableModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !checkIndex(index, CheckIndexOption::IndexIsValid)) {
    return {};
  }
  return CellText(index.row(), index.column());
}

QString TRunsTableModel::CellText(int row, int column) const {
  if (column == RunColumn) return QString::number(row + 1);
  const RunsInfo& run = store_.RunOfRow(static_cast<size_t>(row));
  const std::string* field = TableTexts(run).at(static_cast<size_t>(column - DateTimeColumn));
  return QString::fromStdString(Decode(*field, store_.TextEncoding));
}

QVariant TRunsTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  switch (section) {
    case RunColumn:
      return tr("Run");
    case DateTimeColumn:
      return tr("Date/Time");
    case ScriptColumn:
      return tr("Script");
    case ScriptTypeColumn:
      return tr("Script Type");
    case ScriptFilenameColumn:
      return tr("Script Filename");
    default:
      return {};
  }
}

Qt::ItemFlags TRunsTableModel::flags(const QModelIndex& index) const {
  return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren
                         : Qt::NoItemFlags;
}
