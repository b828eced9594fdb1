#pragma once

#include <QObject>
#include <memory>

#include "LineMatcher.h"
#include "RunsSearch.h"

class HighlightRulesHolder;
class OptionalColumns;
class QAction;
class QMenu;
class TFormDisplay;
class TRunsTableModel;

// The alert lines of every row's run (see TAlertLineMatcher), counted off the GUI thread as Find
// in runs counts its matches, and shown in the table's optional "Alerts" column. Search > "Only
// runs with alerts" hides the rows without. The counting runs only while someone wants the
// counts: the column shows, the filter is on, or F8 has gone on from one run to another.
class AlertsCommand : public QObject {
  Q_OBJECT

 public:
  AlertsCommand(TFormDisplay& window, HighlightRulesHolder& rules, OptionalColumns& columns,
                QMenu& menu);

  // The store is about to change: the count, which reads it, stops first.
  void StoreChanging();
  // The runs' texts changed (read again, or decoded otherwise): counts them anew.
  void CountAgain();
  // A load took in a piece, or the followed file grew: counts the rows from `firstChangedRow` on.
  void CountChangedRows(int firstChangedRow);
  // Counts from now on, as F8 needs.
  void Want();
  // What the alert lines are in a store of each encoding, by the rules in force.
  const LineMatchers& Matchers() const { return matchers_; }

 signals:
  // The rows from `firstRow` on have their counts now.
  void Counted(int firstRow);

 private:
  bool Wanted() const { return columnShown_ || filtered_ || wanted_; }
  void RulesChanged();
  void CountFrom(int firstRow, RunsSearch::Counts counts);
  void TakeCounts(int firstRow, const std::vector<size_t>& counts);

  TFormDisplay& window_;
  TRunsTableModel& table_;
  HighlightRulesHolder& rules_;
  RunsSearch* search_;
  QAction* onlyWithAlerts_ = nullptr;
  LineMatchers matchers_;
  bool columnShown_ = false;
  bool filtered_ = false;
  bool wanted_ = false;
  int countedRows_ = 0;
};
