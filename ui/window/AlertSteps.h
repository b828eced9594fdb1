#pragma once

#include <QObject>
#include <optional>

class AlertsCommand;
class QMenu;
class TFormDisplay;
class TStatusLine;

// F8 and Shift+F8: the next and the previous alert line in the log pane, and, past the last (or
// the first) of the run shown, on into the next (or previous) run with alerts, round from the
// other end of the table.
class AlertSteps : public QObject {
  Q_OBJECT

 public:
  AlertSteps(TFormDisplay& window, AlertsCommand& alerts, TStatusLine& statusLine, QMenu& menu);

 private:
  enum class TStep { Next, Previous };

  void Step(TStep step);
  // Selects the alert line after (or before) the selection, or the first (or last) one of the
  // run when `fromEnd`; false when there is none.
  bool StepInRun(TStep step, bool fromEnd);
  // Selects the next (or previous) row whose run has alerts; false when none has.
  bool StepToRun(TStep step);
  void RunShown(int row);

  TFormDisplay& window_;
  AlertsCommand& alerts_;
  TStatusLine& statusLine_;
  // The row asked for, in whose run the first (or last) alert line is selected once it shows.
  std::optional<std::pair<int, TStep>> pending_;
};
