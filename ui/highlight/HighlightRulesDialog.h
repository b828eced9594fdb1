#pragma once

#include <QDialog>

#include "HighlightRule.h"

class HighlightRuleEditor;
class QLabel;
class QLineEdit;
class QListWidget;

// Search > Highlight rules...: the rules in order, each ticked on or off, with buttons to add,
// remove and move them, the fields of the selected one, a line to try them on, and Import and
// Export of their JSON. OK takes only rules that can all match: otherwise the first that cannot
// is named and the dialog stays.
class HighlightRulesDialog : public QDialog {
  Q_OBJECT

 public:
  explicit HighlightRulesDialog(const THighlightRules& rules, QWidget* parent = nullptr);

  const THighlightRules& Rules() const { return rules_; }
  // What Import and Export do once a file is chosen; a failure shows under the rules.
  void ImportFrom(const QString& path);
  void ExportTo(const QString& path);
  void accept() override;

 private:
  QWidget* CreateListButtons();
  QWidget* CreateFileButtons();
  void SetRules(const THighlightRules& rules);
  void ShowRule(int row);
  void TakeEdit();
  void Add();
  void Remove();
  void Move(int by);
  void RefreshItem(int row);
  void RefreshPreview();
  void ShowProblem(const QString& problem);

  THighlightRules rules_;
  QListWidget* list_;
  HighlightRuleEditor* editor_;
  QLineEdit* previewLine_;
  QLabel* preview_;
  QLabel* problem_;
};
