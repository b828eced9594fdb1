#include "MaskRulesDialog.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

MaskRulesDialog::MaskRulesDialog(const MaskRules& rules, QWidget* parent)
    : QDialog(parent), edit_(new QPlainTextEdit), problem_(new QLabel) {
  setWindowTitle(tr("Comparison Masking"));
  auto* explanation = new QLabel(
      tr("What a rule matches compares as equal in two runs' log lines, which still show their "
         "real text. One regular expression a line; blank lines are left out."));
  explanation->setWordWrap(true);
  edit_->setObjectName(QStringLiteral("MaskRulesEdit"));
  edit_->setPlainText(rules.Patterns().join(QLatin1Char('\n')));
  edit_->setLineWrapMode(QPlainTextEdit::NoWrap);
  edit_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  problem_->setObjectName(QStringLiteral("MaskRulesProblem"));
  problem_->setWordWrap(true);
  problem_->setStyleSheet(QStringLiteral("color: #b71c1c"));
  problem_->hide();
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel |
                                       QDialogButtonBox::RestoreDefaults);
  connect(buttons, &QDialogButtonBox::accepted, this, &MaskRulesDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &MaskRulesDialog::reject);
  connect(buttons->button(QDialogButtonBox::RestoreDefaults), &QPushButton::clicked, this,
          [this] { edit_->setPlainText(MaskRules::DefaultPatterns().join(QLatin1Char('\n'))); });
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(explanation);
  layout->addWidget(edit_);
  layout->addWidget(problem_);
  layout->addWidget(buttons);
  resize(480, 260);
}

MaskRules MaskRulesDialog::Rules() const {
  QStringList patterns;
  for (const QString& line : edit_->toPlainText().split(QLatin1Char('\n'))) {
    if (!line.trimmed().isEmpty()) patterns << line;
  }
  return MaskRules(patterns);
}

void MaskRulesDialog::accept() {
  const QString problem = Rules().Problem();
  problem_->setText(problem);
  problem_->setVisible(!problem.isEmpty());
  if (problem.isEmpty()) QDialog::accept();
}
