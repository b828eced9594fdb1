#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include "RunsSearch.h"

class FindCommands;
class QCheckBox;
class QMenu;
class TFindBar;
class TFormDisplay;
class TRunsTableModel;
class TStatusLine;

// Search > Find in runs: a bar under the panes takes a text, and the log of every row's run is
// searched for it off the GUI thread. The table's "Matches" column shows how many lines of each
// row's run hold the text, "Only runs with matches" hides the other rows, and F4 and Shift+F4
// select the next and the previous row with matches, with the log pane's Find on the first
// match. Closing the bar takes the column and the filter away.
class FindInRunsCommand : public QObject {
  Q_OBJECT

 public:
  FindInRunsCommand(TFormDisplay& window, TStatusLine& statusLine, FindCommands& findCommands);

  // The store is about to change: the search, which reads it, stops first.
  void StoreChanging();
  // The runs' texts changed (read again, or decoded otherwise): counts them anew while the bar
  // is open, keeping the counts shown until the new ones arrive.
  void SearchAgain();
  // A load took in a piece, or the followed file grew: counts anew only the rows from
  // `firstChangedRow` on (and those a count that was cut short had not reached), so that a count
  // ends while the file keeps growing and rows are counted as they come.
  void SearchChangedRows(int firstChangedRow);

 private:
  enum class Step { Next, Previous };

  void CreateBar();
  void CreateMenu(QMenu& menu);
  void OpenBar();
  void Close();
  // Searches every row's run for the bar's text; the counts shown so far stay until the new
  // ones replace them when `keepCounts` is set, as after the file was read again.
  void Search(bool keepCounts);
  // The same from table row `firstRow` on; the rows before it keep their counts.
  void SearchFrom(int firstRow, bool keepCounts,
                  RunsSearch::Counts counts = RunsSearch::Counts::Anew);
  void TakeCounts(int firstRow, const std::vector<size_t>& counts);
  void ShowProgress(int percent);
  void HideProgress();
  void ShowResult();
  void StepTo(Step step);
  void SelectRow(int row, bool wrapped, Step step);
  // How many of the table rows before `end` have matches.
  int RowsWithMatchesBefore(int end) const;

  TFormDisplay& window_;
  TRunsTableModel& table_;
  TStatusLine& statusLine_;
  FindCommands& findCommands_;
  TFindBar* bar_ = nullptr;
  QCheckBox* onlyWithMatches_ = nullptr;
  RunsSearch* search_;
  QElapsedTimer searchTime_;
  int countedRows_ = 0;  // the first rows, whose counts are those of the bar's text now
  QString progress_;     // the status line's message while it shows how far the search is
};
