#pragma once

#include <QObject>
#include <QString>
#include <optional>

#include "LinePattern.h"

class FindCommands;
class FindInLogsDialog;
class TFormDisplay;

// Search > Find in logs: opens the dialog beside the window, and shows a result's run: the file
// is opened as Open opens it (unless it is the one shown), the run's row selected and the log
// pane's Find put on the first match. While the dialog is open, F4 and Shift+F4 step through its
// results in the window too, in place of Find in runs' rows.
class FindInLogsCommand : public QObject {
  Q_OBJECT

 public:
  FindInLogsCommand(TFormDisplay& window, FindCommands& findCommands);

  // Made on first use.
  FindInLogsDialog& Dialog();

 protected:
  bool eventFilter(QObject* target, QEvent* event) override;

 private:
  struct Target {
    int row = 0;
    TLinePattern pattern;
  };

  void OpenDialog();
  void ShowRun(const QString& file, int row, const TLinePattern& pattern);
  void SelectRun(const Target& target);

  TFormDisplay& window_;
  FindCommands& findCommands_;
  FindInLogsDialog* dialog_ = nullptr;
  std::optional<Target> afterLoad_;  // the run to show once the file that loads has loaded
};
