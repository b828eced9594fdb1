#pragma once

#include <QTreeView>

#include "RunsTableModel.h"

// The runs table: a report-style list with whole-row single selection. Every change of the
// selection, by code or by the user, raises SelectItem, with `selected` false for the row that
// lost it, so the selection handler is the one place that shows a run.
class TRunsView : public QTreeView {
  Q_OBJECT

 public:
  TRunsView(const LogStore& store, QWidget* parent = nullptr);

  TRunsTableModel* Items() const { return model_; }
  int RowCount() const { return model_->rowCount(); }
  // The selected row counted from 0, or -1.
  int SelectedIndex() const;
  // Selects the row (or none, for -1) without scrolling the table.
  void SetSelectedIndex(int row);
  // Scrolls the row into view unless some of it is visible already.
  void MakeVisible(int row);
  // Sizes the "Script" and "Script Filename" columns to their texts.
  void FitColumnsToTexts();

 signals:
  void SelectItem(QObject* sender, int row, bool selected);

 private:
  void ReportSelectionChange(const QItemSelection& selected, const QItemSelection& deselected);

  TRunsTableModel* model_;
};
