#include "RunsTableModel.h"

#include <QGuiApplication>
#include <QPalette>
#include <algorithm>

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

void TRunsTableModel::RowsChangedFrom(int firstRow) {
  const int total = static_cast<int>(store_.RowToRun.size());
  if (total < rows_) {
    beginRemoveRows(QModelIndex(), total, rows_ - 1);
    rows_ = total;
    matchCounts_.Truncate(total);
    alertCounts_.Truncate(total);
    endRemoveRows();
  }
  if (firstRow < rows_) emit dataChanged(index(firstRow, 0), index(rows_ - 1, NUM_COLUMNS - 1));
  AppendNewRows();
}

void TRunsTableModel::RefreshTexts() {
  if (rows_ > 0) emit dataChanged(index(0, 0), index(rows_ - 1, NUM_COLUMNS - 1));
}

bool TRunsTableModel::TRowCounts::Set(int firstRow, const std::vector<size_t>& counts, int rows) {
  const auto lastRow = static_cast<size_t>(firstRow) + counts.size();
  if (counts.empty() || lastRow > static_cast<size_t>(rows)) return false;
  if (counts_.size() < lastRow) counts_.resize(lastRow);
  std::copy(counts.begin(), counts.end(), counts_.begin() + firstRow);
  return true;
}

int TRunsTableModel::TRowCounts::Clear(int rows) {
  const int counted = std::min(static_cast<int>(counts_.size()), rows);
  counts_.clear();
  return counted;
}

void TRunsTableModel::TRowCounts::Truncate(int rows) {
  counts_.resize(std::min(counts_.size(), static_cast<size_t>(rows)));
}

std::optional<size_t> TRunsTableModel::TRowCounts::At(int row) const {
  const auto at = static_cast<size_t>(row);
  return at < counts_.size() ? counts_[at] : std::nullopt;
}

void TRunsTableModel::SetMatchCounts(int firstRow, const std::vector<size_t>& counts) {
  if (matchCounts_.Set(firstRow, counts, rows_)) {
    CountsChanged(firstRow, firstRow + static_cast<int>(counts.size()) - 1);
  }
}

void TRunsTableModel::ClearMatchCounts() {
  if (const int counted = matchCounts_.Clear(rows_); counted > 0) CountsChanged(0, counted - 1);
}

void TRunsTableModel::SetAlertCounts(int firstRow, const std::vector<size_t>& counts) {
  if (alertCounts_.Set(firstRow, counts, rows_)) {
    CountsChanged(firstRow, firstRow + static_cast<int>(counts.size()) - 1);
  }
}

void TRunsTableModel::ClearAlertCounts() {
  if (const int counted = alertCounts_.Clear(rows_); counted > 0) CountsChanged(0, counted - 1);
}

// A count changes the colour of the whole row, not only its own cell.
void TRunsTableModel::CountsChanged(int firstRow, int lastRow) {
  emit dataChanged(index(firstRow, 0), index(lastRow, NUM_COLUMNS - 1),
                   {Qt::DisplayRole, Qt::ForegroundRole});
}

int TRunsTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : rows_;
}

int TRunsTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : NUM_COLUMNS;
}

QVariant TRunsTableModel::data(const QModelIndex& index, int role) const {
  if (!checkIndex(index, CheckIndexOption::IndexIsValid)) return {};
  switch (role) {
    case Qt::DisplayRole:
      return CellText(index.row(), index.column());
    case Qt::ForegroundRole:
      // Rows without matches step back, so that the eye finds the ones with matches.
      if (MatchCount(index.row()) == size_t{0}) {
        return QGuiApplication::palette().brush(QPalette::Disabled, QPalette::Text);
      }
      return {};
    default:
      return {};
  }
}

QString TRunsTableModel::CellText(int row, int column) const {
  const auto at = static_cast<size_t>(row);
  switch (column) {
    case RunColumn:
      return QString::number(row + 1);
    case OutcomeColumn:
      return QString::fromLatin1(OutcomeName(store_.OutcomeOfRow(at)));
    case LinesColumn:
      return QString::number(store_.LogOf(store_.RunOfRow(at)).Count);
    case AlertsColumn:
    case MatchesColumn: {
      const std::optional<size_t> count =
          column == AlertsColumn ? AlertCount(row) : MatchCount(row);
      return count ? QString::number(*count) : QString();
    }
    default:
      break;
  }
  const RunsInfo& run = store_.RunOfRow(at);
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
    case OutcomeColumn:
      return tr("Outcome");
    case LinesColumn:
      return tr("Lines");
    case AlertsColumn:
      return tr("Alerts");
    case MatchesColumn:
      return tr("Matches");
    default:
      return {};
  }
}

Qt::ItemFlags TRunsTableModel::flags(const QModelIndex& index) const {
  return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren
                         : Qt::NoItemFlags;
}
