#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;

// Compare with row...: a field in the status line that asks which row to compare a run with,
// by its number, or by selecting it in the table while the field is offered, so that the
// user can look for the row first. A number that is not one to compare with is refused beside
// the field, which stays. Escape takes the field away.
class BaselineChoice : public QWidget {
  Q_OBJECT

 public:
  explicit BaselineChoice(QWidget* parent = nullptr);

  // Asks for the row to compare table row `runRow` (from 0) with, of `rows`.
  void Offer(int runRow, int rows);
  void Withdraw();
  bool Offered() const { return !isHidden(); }
  int RunRow() const { return runRow_; }
  // A row was selected in the table while the field was offered.
  void TakeSelectedRow(int row);

 signals:
  // Row `baselineRow` (from 0) is the baseline of row RunRow().
  void Chosen(int runRow, int baselineRow);

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void TakeTypedRow();

  QLabel* label_;
  QLineEdit* number_;
  QLabel* problem_;  // why the number typed is not one to compare with
  int runRow_ = -1;
  int rows_ = 0;
};
