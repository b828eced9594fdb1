#pragma once

#include <QObject>
#include <QString>
#include <memory>

#include "ComparisonWorker.h"

class BaselineChoice;
class CompareWindow;
class QAction;
class QMenu;
class TFormDisplay;
class TStatusLine;

// Search > Compare with previous finished run (Ctrl+D) and Compare with row... (Ctrl+Shift+D),
// also in the table's context menu: compares the selected row's run with a baseline run, off
// the GUI thread, and shows the result in a window of its own, which stays as it was while the
// log grows or is read again, with a note saying so, until F5 in it compares again. Search >
// Comparison masking... edits the rules that make two runs' lines compare as equal.
class CompareCommand : public QObject {
  Q_OBJECT

 public:
  CompareCommand(TFormDisplay& window, TStatusLine& statusLine, QMenu& menu);
  ~CompareCommand() override;
  CompareCommand(const CompareCommand&) = delete;
  CompareCommand& operator=(const CompareCommand&) = delete;

  // The store is about to change: a comparison that reads it stops first.
  void StoreChanging();
  // Compares table row `row` with table row `baselineRow` (both from 0).
  void Compare(int row, int baselineRow);
  // The window of the comparisons, once there has been one.
  CompareWindow* Window() const { return compareWindow_; }
  BaselineChoice* Choice() const { return choice_; }

  void CompareWithPrevious();
  void ChooseBaseline();

 private:
  void CreateActions(QMenu& menu);
  void ConnectWindow();
  void CompareAgain();
  void EditMasking();
  void TakeComparison(std::shared_ptr<const RunComparison> comparison);
  void TellGrown(int firstChangedRow);
  void TellOutdated(const QString& note);
  // The row selected in the table, or -1 after saying that there is none.
  int SelectedRowToCompare();
  QString NoBaselineText(int row) const;

  TFormDisplay& window_;
  TStatusLine& statusLine_;
  ComparisonWorker* worker_;
  BaselineChoice* choice_;
  CompareWindow* compareWindow_ = nullptr;
  int comparedRow_ = -1;  // the rows of the comparison shown or under way
  int comparedBaseline_ = -1;
};
