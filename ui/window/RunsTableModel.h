#pragma once

#include <QAbstractTableModel>
#include <optional>
#include <vector>

#include "LogStore.h"

// The rows of the runs table, read straight from the store: row k shows the run at
// RowToRun[k]. The model has rows only once they were appended, so the table can be emptied
// before the store is.
class TRunsTableModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum Columns {
    RunColumn = 0,
    DateTimeColumn,
    ScriptColumn,
    ScriptTypeColumn,
    ScriptFilenameColumn,
    OutcomeColumn,  // the optional columns, hidden unless the user asks for them
    LinesColumn,
    AlertsColumn,   // the lines that the highlight rules mark as alerts
    MatchesColumn,  // shown while Find in runs is open
    NUM_COLUMNS
  };

  explicit TRunsTableModel(const LogStore& store, QObject* parent = nullptr);

  // Removes every row. The match counts stay with the row positions until Find in runs replaces
  // or clears them, so that reading the file again keeps the rows it filters in place.
  void Clear();
  // Shows the rows of RowToRun that the table does not show yet, at its end.
  void AppendNewRows();
  // The log grew: the rows from `firstRow` on show other runs or texts now, and new rows follow.
  // Rows that RowToRun no longer has (a run that folded into the row before it) are removed,
  // with their counts; the rows before them stay where they are.
  void RowsChangedFrom(int firstRow);
  // Texts were decoded with another encoding: every cell is asked for again.
  void RefreshTexts();

  // Find in runs counted, for the rows from `firstRow` on, the lines of their runs that hold what
  // it looks for. A row counted without matches shows in a quieter colour.
  void SetMatchCounts(int firstRow, const std::vector<size_t>& counts);
  // No row has a count any more.
  void ClearMatchCounts();
  // The row's count, or none while it has not been counted.
  std::optional<size_t> MatchCount(int row) const { return matchCounts_.At(row); }

  // The same for the alert lines of the rows' runs.
  void SetAlertCounts(int firstRow, const std::vector<size_t>& counts);
  void ClearAlertCounts();
  std::optional<size_t> AlertCount(int row) const { return alertCounts_.At(row); }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  // A count for each row, none for a row not counted yet; shorter when the last are uncounted.
  class TRowCounts {
   public:
    // False, with nothing changed, for counts beyond the `rows` rows.
    bool Set(int firstRow, const std::vector<size_t>& counts, int rows);
    // Forgets every count; returns how many of the first `rows` rows had one.
    int Clear(int rows);
    void Truncate(int rows);
    std::optional<size_t> At(int row) const;

   private:
    std::vector<std::optional<size_t>> counts_;
  };

  QString CellText(int row, int column) const;
  void CountsChanged(int firstRow, int lastRow);

  const LogStore& store_;
  int rows_ = 0;
  TRowCounts matchCounts_;
  TRowCounts alertCounts_;
};
