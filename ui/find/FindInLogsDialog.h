#pragma once

#include <QDialog>
#include <functional>

#include "LinePattern.h"
#include "TextEncoding.h"

class LogsResults;
class LogsSearch;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidgetItem;

// Search > Find in logs: searches the logs of a folder for a text, as Find in runs searches one
// log, off the GUI thread, and lists the runs with matches as they are found. Enter or a
// double-click on a result, and F4 and Shift+F4, ask for its run to be shown; Escape stops a
// search that runs and closes the dialog otherwise.
class FindInLogsDialog : public QDialog {
  Q_OBJECT

 public:
  // `encoding` tells how the files are to be read when the search starts.
  FindInLogsDialog(std::function<EncodingChoice()> encoding, QWidget* parent = nullptr);
  ~FindInLogsDialog() override;

  void SetFolder(const QString& folder);
  QString Folder() const;
  void SetText(const QString& text);
  void SetSubfolders(bool on);
  void SetRegex(bool on);
  // Starts a search with what the dialog holds.
  void Start();
  // Stops a search that runs; the results found so far stay.
  void Stop();
  bool Searching() const;
  // Goes to the next (or previous) run with matches, from one file to the next.
  void StepThroughResults(bool forward);

  LogsResults* Results() const { return results_; }
  QString Summary() const;
  // What the line under the results says: the progress, the summary or why the search failed.
  QString StatusText() const;

 signals:
  // Show the run of table row `row` (from 0) of `file`, with the log pane's Find on `pattern`.
  void RunRequested(const QString& file, int row, const TLinePattern& pattern);

 protected:
  void reject() override;

 private:
  // Shows why the engine refuses the expression searched for, if it does; false then.
  bool ShowIfInvalid();
  void CreateForm();
  void CreateShortcuts();
  void BrowseFolder();
  void ShowProgress();
  void ShowSummary(const QString& prefix);
  void Go(QTreeWidgetItem* item);

  std::function<EncodingChoice()> encoding_;
  LogsSearch* search_;
  LogsResults* results_;
  QLineEdit* folder_;
  QCheckBox* subfolders_;
  QLineEdit* pattern_;
  QLineEdit* text_;
  QCheckBox* matchCase_;
  QCheckBox* regex_;
  QPushButton* find_;
  QLabel* status_;
  // What the results were searched for, which opening one of them hands on.
  TLinePattern searched_;
  int files_ = 0;  // to search, once listed
  qint64 bytes_ = 0;
  qint64 bytesDone_ = 0;
};
