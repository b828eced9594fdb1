#pragma once

#include <QTreeView>

#include "RunsMatchFilter.h"
#include "RunsTableModel.h"

// The runs table: a report-style list with whole-row single selection. Every change of the
// selection, by code or by the user, raises SelectItem, with `selected` false for the row that
// lost it, so the selection handler is the one place that shows a run. Rows are counted in the
// whole table, whatever rows the match filter hides.
class TRunsView : public QTreeView {
  Q_OBJECT

 public:
  TRunsView(const LogStore& store, QWidget* parent = nullptr);

  TRunsTableModel* Items() const { return model_; }
  RunsMatchFilter* MatchFilter() const { return filter_; }
  int RowCount() const { return model_->rowCount(); }
  // The selected row counted from 0, or -1.
  int SelectedIndex() const;
  // Selects the row (or none, for -1) without scrolling the table; a row the match filter hides
  // is shown again by turning the filter off.
  void SetSelectedIndex(int row);
  // The last row the view shows, counted in the whole table: the last row, unless the match
  // filter hides it; -1 when the view shows none.
  int LastShownRow() const;
  // Scrolls the row into view unless some of it is visible already.
  void MakeVisible(int row);
  // Sizes the "Script" and "Script Filename" columns to their texts.
  void FitColumnsToTexts();
  // The selected row's shown cells as one line of tab-separated text, as Copy puts it on the
  // clipboard; empty without a selected row.
  QString SelectedRowText() const;

 signals:
  void SelectItem(QObject* sender, int row, bool selected);

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void KeepSelectionVisibleWithoutFocus();
  void CopySelectedRow();
  void ReportSelectionChange(const QItemSelection& selected, const QItemSelection& deselected);
  // Where table row `row` stands among the rows shown; invalid for a row the filter hides.
  QModelIndex ShownIndex(int row) const;

  TRunsTableModel* model_;
  RunsMatchFilter* filter_;
};
