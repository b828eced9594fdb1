#pragma once

#include <QDialog>

#include "MaskRules.h"

class QLabel;
class QPlainTextEdit;

// Edits the masking rules of comparisons, one regular expression a line, with the defaults a
// button away. OK keeps only valid rules: a rule that is not valid is named, and the dialog
// stays.
class MaskRulesDialog : public QDialog {
  Q_OBJECT

 public:
  explicit MaskRulesDialog(const MaskRules& rules, QWidget* parent = nullptr);

  // The rules as edited.
  MaskRules Rules() const;
  void accept() override;

 private:
  QPlainTextEdit* edit_;
  QLabel* problem_;
};
