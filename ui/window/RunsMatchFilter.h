#pragma once

#include <QAbstractProxyModel>
#include <vector>

#include "RunsTableModel.h"

// "Only runs with matches" and "Only runs with alerts": the runs table as the view shows it,
// without the rows whose runs hold no match of Find in runs, or no alert line, while the filter
// is on. The rows keep their numbers, since the
// "Run" column comes from the table itself.
//
// Off, the filter passes the table through row for row and keeps nothing per row, so that a
// table of a million rows fills as fast as without it (a QSortFilterProxyModel maps every row
// and more than doubled that time). The table only appends rows, changes cells, removes rows at
// its end or is emptied whole, and the filter follows those four.
class RunsMatchFilter : public QAbstractProxyModel {
  Q_OBJECT

 public:
  explicit RunsMatchFilter(TRunsTableModel& table, QObject* parent = nullptr);

  // "Only runs with matches".
  bool IsOn() const { return matchesOnly_; }
  void SetOn(bool on);
  // "Only runs with alerts", with or beside the other.
  bool AlertsOnly() const { return alertsOnly_; }
  void SetAlertsOnly(bool on);
  // Both off, as for a row that a filter hides and that is asked for.
  void ShowAll();

  QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QModelIndex mapToSource(const QModelIndex& proxyIndex) const override;
  QModelIndex mapFromSource(const QModelIndex& sourceIndex) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

 signals:
  void Toggled(bool on);
  void AlertsToggled(bool on);

 private:
  bool Passes(int tableRow) const;
  std::vector<int> RowsThatPass() const;
  // Shows the rows that pass now, keeping the view's selection and current row where they stay.
  void Refilter(bool on);
  void TableRowsInserted(int first, int last);
  void TableRowsAboutToBeRemoved(int first, int last);
  void TableRowsRemoved(int first);
  void TableDataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight);
  int TableRowOf(int row) const;
  // Where table row `tableRow` is shown, or -1.
  int RowOf(int tableRow) const;

  const TRunsTableModel& table_;
  bool matchesOnly_ = false;
  bool alertsOnly_ = false;
  bool on_ = false;         // either
  std::vector<int> shown_;  // while on: the table rows shown, in table order
};
