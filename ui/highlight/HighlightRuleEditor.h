#pragma once

#include <QWidget>

#include "HighlightRule.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

// The fields of one highlight rule: its text, how it matches, its colour, what it colours and
// whether it is an alert rule. Every change is told at once.
class HighlightRuleEditor : public QWidget {
  Q_OBJECT

 public:
  explicit HighlightRuleEditor(QWidget* parent = nullptr);

  // Shows `rule` in the fields, without telling of it as an edit.
  void Show(const THighlightRule& rule);
  // The rule the fields show, turned on: the list's tick turns a rule on and off.
  THighlightRule Rule() const;

 signals:
  void Edited();

 private:
  QLineEdit* text_;
  QCheckBox* regex_;
  QCheckBox* matchCase_;
  QCheckBox* wholeWords_;
  QComboBox* colour_;
  QCheckBox* wholeLine_;
  QCheckBox* alert_;
};
