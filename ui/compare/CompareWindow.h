#pragma once

#include <QWidget>
#include <memory>

#include "CompareView.h"

class DiffOverview;
class QLabel;
class QTabBar;

// The comparison of a run with a baseline run, in a window of its own beside the main window:
// a summary line, a note when the comparison is out of date or inexact, the log lines or the
// script texts side by side (a tab each) with the overview bar, and the keys to step through
// the differences (F7, Shift+F7) and to compare again (F5).
class CompareWindow : public QWidget {
  Q_OBJECT

 public:
  explicit CompareWindow(QWidget* parent = nullptr);

  // Says that the two runs are being compared; what was shown goes.
  void ShowComparing(const QString& runTitle, const QString& baselineTitle);
  void ShowComparison(std::shared_ptr<const RunComparison> comparison);
  void ShowFailure(const QString& message);
  // A note above the lines, such as that the run has grown since; empty takes it away.
  void SetNote(const QString& note);

  const RunComparison* Comparison() const { return comparison_.get(); }
  CompareView* View() const { return view_; }
  QString Summary() const;
  QString Note() const;
  void ShowPage(CompareView::Page page);

  void GoToNextDifference();
  void GoToPreviousDifference();

 signals:
  void CompareAgainRequested();
  void MaskingRequested();

 private:
  void CreateActions(QWidget* bar);
  void ShowSummary();
  CompareView::Page CurrentPage() const;

  QLabel* summary_;
  QLabel* note_;
  QTabBar* tabs_;
  CompareView* view_;
  DiffOverview* overview_;
  std::shared_ptr<const RunComparison> comparison_;
  QString inexact_;  // why the log lines were aligned line by line, if they were
};
