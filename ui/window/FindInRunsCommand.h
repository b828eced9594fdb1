#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>

class FindCommands;
class QCheckBox;
class QMenu;
class RunsSearch;
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
  // The runs' texts changed (read again, grown, or decoded otherwise): counts them anew while
  // the bar is open, keeping the counts shown until the new ones arrive.
  void SearchAgain();

 private:
  enum class Step { Next, Previous };

  void CreateBar();
  void CreateMenu(QMenu& menu);
  void OpenBar();
  void Close();
  // Searches every row's run for the bar's text; the counts shown so far stay until the new
  // ones replace them when `keepCounts` is set, as after the file was read again.
  void Search(bool keepCounts);
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
  QString progress_;  // the status line's message while it shows how far the search is
};
