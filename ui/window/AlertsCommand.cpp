#include "AlertsCommand.h"

#include <QAction>
#include <QMenu>

#include "AlertLineMatcher.h"
#include "DisplayForm.h"
#include "HighlightRulesHolder.h"
#include "LogDocument.h"
#include "OptionalColumns.h"
#include "RunSearch.h"
#include "RunsView.h"

AlertsCommand::AlertsCommand(TFormDisplay& window, HighlightRulesHolder& rules,
                             OptionalColumns& columns, QMenu& menu)
    : QObject(&window),
      window_(window),
      table_(*window.RunsView->Items()),
      rules_(rules),
      search_(&window.Document().AlertsSearch()),
      matchers_(AlertMatchersFor(rules.Highlighter())),
      columnShown_(!window.RunsView->isColumnHidden(TRunsTableModel::AlertsColumn)) {
  onlyWithAlerts_ = menu.addAction(tr("Only runs with alert&s"));
  onlyWithAlerts_->setCheckable(true);
  RunsMatchFilter* filter = window.RunsView->MatchFilter();
  connect(onlyWithAlerts_, &QAction::toggled, filter, &RunsMatchFilter::SetAlertsOnly);
  // A run-selection request for a row the filter hides turns the filter off.
  connect(filter, &RunsMatchFilter::AlertsToggled, this, [this](bool on) {
    onlyWithAlerts_->setChecked(on);
    filtered_ = on;
    if (on) CountFrom(countedRows_, RunsSearch::Counts::GoOn);
  });
  connect(&columns, &OptionalColumns::ColumnShown, this, [this](int column, bool shown) {
    if (column != TRunsTableModel::AlertsColumn) return;
    columnShown_ = shown;
    if (shown) CountFrom(countedRows_, RunsSearch::Counts::GoOn);
  });
  connect(&rules, &HighlightRulesHolder::RulesChanged, this, &AlertsCommand::RulesChanged);
  connect(search_, &RunsSearch::Counted, this, &AlertsCommand::TakeCounts);
  connect(&window, &TFormDisplay::LoadedRowsShown, this, &AlertsCommand::CountChangedRows);
  connect(&window, &TFormDisplay::LogAppended, this,
          [this](qint64, int firstChangedRow) { CountChangedRows(firstChangedRow); });
  if (columnShown_) CountFrom(0, RunsSearch::Counts::Anew);
}

void AlertsCommand::StoreChanging() {
  search_->Cancel();
}

void AlertsCommand::CountAgain() {
  countedRows_ = 0;
  CountFrom(0, RunsSearch::Counts::Anew);
}

void AlertsCommand::CountChangedRows(int firstChangedRow) {
  CountFrom(std::min(countedRows_, firstChangedRow), RunsSearch::Counts::GoOn);
}

void AlertsCommand::Want() {
  if (wanted_) return;
  wanted_ = true;
  CountFrom(countedRows_, RunsSearch::Counts::GoOn);
}

void AlertsCommand::RulesChanged() {
  search_->Forget();
  matchers_ = AlertMatchersFor(rules_.Highlighter());
  table_.ClearAlertCounts();
  CountAgain();
}

void AlertsCommand::CountFrom(int firstRow, RunsSearch::Counts counts) {
  if (!Wanted()) return;
  search_->Cancel();
  countedRows_ = firstRow;
  const LogStore& store = window_.LogData();
  std::vector<LineSpan> rowLogs = RowLogSpans(store, static_cast<size_t>(firstRow));
  // The table may not have taken in every row of a load that runs yet.
  rowLogs.resize(
      std::min(rowLogs.size(), static_cast<size_t>(std::max(0, table_.rowCount() - firstRow))));
  if (rowLogs.empty()) return;
  search_->Start(matchers_.For(store.TextEncoding), store, std::move(rowLogs), firstRow, counts);
}

void AlertsCommand::TakeCounts(int firstRow, const std::vector<size_t>& counts) {
  table_.SetAlertCounts(firstRow, counts);
  countedRows_ = firstRow + static_cast<int>(counts.size());
  emit Counted(firstRow);
}
