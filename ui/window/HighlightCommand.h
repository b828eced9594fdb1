#pragma once

#include <QObject>

class FindCommands;
class HighlightRulesHolder;
class PaneHitMarks;
class TFormDisplay;

// Search > Highlight rules...: edits the rules that both panes colour their lines by, which
// apply at once and are kept; and the strips beside the panes' scroll bars, with the alert lines
// and the lines Find counted.
class HighlightCommand : public QObject {
  Q_OBJECT

 public:
  HighlightCommand(TFormDisplay& window, HighlightRulesHolder& rules, FindCommands& find);

  void EditRules();
  PaneHitMarks& LogMarks() const { return *logMarks_; }
  PaneHitMarks& ScriptMarks() const { return *scriptMarks_; }

 private:
  void ApplyRules();

  TFormDisplay& window_;
  HighlightRulesHolder& rules_;
  PaneHitMarks* logMarks_;
  PaneHitMarks* scriptMarks_;
};
