#pragma once

#include <QAbstractTableModel>

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
    NUM_COLUMNS
  };

  explicit TRunsTableModel(const LogStore& store, QObject* parent = nullptr);

  // Removes every row.
  void Clear();
  // Shows the rows of RowToRun that the table does not show yet, at its end.
  void AppendNewRows();
  // Texts were decoded with another encoding: every cell is asked for again.
  void RefreshTexts();

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  QString CellText(int row, int column) const;

  const LogStore& store_;
  int rows_ = 0;
};
