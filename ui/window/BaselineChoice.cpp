#include "BaselineChoice.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

BaselineChoice::BaselineChoice(QWidget* parent)
    : QWidget(parent), label_(new QLabel), number_(new QLineEdit), problem_(new QLabel) {
  setObjectName(QStringLiteral("BaselineChoice"));
  number_->setObjectName(QStringLiteral("BaselineRow"));
  problem_->setObjectName(QStringLiteral("BaselineProblem"));
  problem_->setStyleSheet(QStringLiteral("color: #b71c1c"));
  number_->setMaximumWidth(number_->fontMetrics().horizontalAdvance(QStringLiteral("0000000000")));
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(label_);
  layout->addWidget(number_);
  layout->addWidget(problem_);
  connect(number_, &QLineEdit::returnPressed, this, &BaselineChoice::TakeTypedRow);
  hide();
}

void BaselineChoice::Offer(int runRow, int rows) {
  runRow_ = runRow;
  rows_ = rows;
  label_->setText(tr("Compare run %1 with row (type its number and press Enter, or select it; "
                     "Escape cancels):")
                      .arg(runRow + 1));
  number_->clear();
  problem_->clear();
  show();
  number_->setFocus(Qt::OtherFocusReason);
}

void BaselineChoice::Withdraw() {
  hide();
  runRow_ = -1;
}

void BaselineChoice::TakeSelectedRow(int row) {
  if (!Offered() || row == runRow_) return;
  const int runRow = runRow_;
  Withdraw();
  emit Chosen(runRow, row);
}

void BaselineChoice::TakeTypedRow() {
  bool ok = false;
  const int number = number_->text().toInt(&ok);
  if (!ok || number < 1 || number > rows_) {
    problem_->setText(
        tr("There is no row %1: the table has rows 1 to %2.").arg(number_->text()).arg(rows_));
    return;
  }
  if (number - 1 == runRow_) {
    problem_->setText(tr("Row %1 is the run to compare: choose another row.").arg(number));
    return;
  }
  const int runRow = runRow_;
  Withdraw();
  emit Chosen(runRow, number - 1);
}

void BaselineChoice::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    Withdraw();
    return;
  }
  QWidget::keyPressEvent(event);
}
