#include "CompareCommand.h"

#include <QAction>
#include <QMenu>

#include "BaselineChoice.h"
#include "BaselineRow.h"
#include "CompareWindow.h"
#include "DisplayForm.h"
#include "LogDocument.h"
#include "MaskRulesDialog.h"
#include "RunsView.h"
#include "StatusLine.h"

CompareCommand::CompareCommand(TFormDisplay& window, TStatusLine& statusLine, QMenu& menu)
    : QObject(&window),
      window_(window),
      statusLine_(statusLine),
      worker_(new ComparisonWorker(this)),
      choice_(new BaselineChoice) {
  CreateActions(menu);
  statusLine_.addWidget(choice_);
  connect(choice_, &BaselineChoice::Chosen, this, &CompareCommand::Compare);
  connect(window_.RunsView, &TRunsView::SelectItem, choice_, [this](QObject*, int row, bool on) {
    if (on) choice_->TakeSelectedRow(row);
  });
  connect(worker_, &ComparisonWorker::Finished, this, &CompareCommand::TakeComparison);
  connect(worker_, &ComparisonWorker::Failed, this, [this](const QString& message) {
    if (compareWindow_) compareWindow_->ShowFailure(message);
  });
  connect(&window_, &TFormDisplay::LogAppended, this,
          [this](qint64, int firstChangedRow) { TellGrown(firstChangedRow); });
  connect(&window_, &TFormDisplay::LogCleared, this, [this] {
    choice_->Withdraw();
    TellOutdated(tr("The log has been read again since this comparison: F5 compares again."));
  });
}

CompareCommand::~CompareCommand() {
  worker_->Cancel();
}

void CompareCommand::CreateActions(QMenu& menu) {
  menu.addSeparator();
  QAction* previous =
      menu.addAction(tr("&Compare with Previous Finished Run"), QKeySequence(Qt::CTRL | Qt::Key_D),
                     this, &CompareCommand::CompareWithPrevious);
  QAction* withRow =
      menu.addAction(tr("Compare with R&ow..."), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_D),
                     this, &CompareCommand::ChooseBaseline);
  menu.addAction(tr("Comparison Mas&king..."), this, &CompareCommand::EditMasking);
  auto* separator = new QAction(this);
  separator->setSeparator(true);
  window_.RunsView->addActions({separator, previous, withRow});
}

void CompareCommand::StoreChanging() {
  if (!worker_->Running()) return;
  worker_->Cancel();
  if (compareWindow_) {
    compareWindow_->ShowFailure(
        tr("The comparison stopped: the log is being read again. F5 compares again."));
  }
}

int CompareCommand::SelectedRowToCompare() {
  const int row = window_.RunsView->SelectedIndex();
  if (row < 0) statusLine_.showMessage(tr("Select the run to compare first."));
  return row;
}

void CompareCommand::CompareWithPrevious() {
  const int row = SelectedRowToCompare();
  if (row < 0) return;
  const std::optional<size_t> baseline =
      PreviousFinishedRow(window_.LogData(), static_cast<size_t>(row));
  if (!baseline) {
    statusLine_.showMessage(NoBaselineText(row));
    return;
  }
  Compare(row, static_cast<int>(*baseline));
}

QString CompareCommand::NoBaselineText(int row) const {
  const LogStore& store = window_.LogData();
  const RunsInfo& run = store.RunOfRow(static_cast<size_t>(row));
  const std::string& script = run.ScriptFilename.empty() ? run.Script : run.ScriptFilename;
  return tr("No earlier run of \"%1\" finished: there is nothing to compare run %2 with.")
      .arg(QString::fromStdString(Decode(script, store.TextEncoding)))
      .arg(row + 1);
}

void CompareCommand::ChooseBaseline() {
  const int row = SelectedRowToCompare();
  if (row >= 0) choice_->Offer(row, window_.RunsView->RowCount());
}

void CompareCommand::Compare(int row, int baselineRow) {
  const int rows = window_.RunsView->RowCount();
  if (row < 0 || row >= rows || baselineRow < 0 || baselineRow >= rows) {
    statusLine_.showMessage(tr("Row %1 is not in the table any more.")
                                .arg((row < 0 || row >= rows ? row : baselineRow) + 1));
    return;
  }
  if (!compareWindow_) {
    compareWindow_ = new CompareWindow(&window_);
    ConnectWindow();
  }
  comparedRow_ = row;
  comparedBaseline_ = baselineRow;
  ComparisonRequest request =
      ComparisonRequest::For(window_.LogData(), row, baselineRow, MaskRules::Saved());
  compareWindow_->ShowComparing(request.Run.Title, request.Baseline.Title);
  worker_->Start(std::move(request));
  compareWindow_->show();
  compareWindow_->raise();
  compareWindow_->activateWindow();
}

void CompareCommand::ConnectWindow() {
  connect(compareWindow_, &CompareWindow::CompareAgainRequested, this,
          &CompareCommand::CompareAgain);
  connect(compareWindow_, &CompareWindow::MaskingRequested, this, &CompareCommand::EditMasking);
}

void CompareCommand::CompareAgain() {
  // A load that runs has not brought every row back yet.
  if (window_.Document().Loading()) {
    compareWindow_->SetNote(tr("The log is still being read: F5 compares again once it is."));
    return;
  }
  Compare(comparedRow_, comparedBaseline_);
}

void CompareCommand::TakeComparison(std::shared_ptr<const RunComparison> comparison) {
  if (compareWindow_) compareWindow_->ShowComparison(std::move(comparison));
}

void CompareCommand::TellGrown(int firstChangedRow) {
  if (comparedRow_ >= firstChangedRow || comparedBaseline_ >= firstChangedRow) {
    const int grown = comparedRow_ >= firstChangedRow ? comparedRow_ : comparedBaseline_;
    TellOutdated(tr("Run %1 has grown since it was compared: F5 compares again.").arg(grown + 1));
  }
}

void CompareCommand::TellOutdated(const QString& note) {
  if (compareWindow_ && compareWindow_->Comparison()) compareWindow_->SetNote(note);
}

void CompareCommand::EditMasking() {
  QWidget* parent = compareWindow_ && compareWindow_->isActiveWindow()
                        ? static_cast<QWidget*>(compareWindow_)
                        : &window_;
  auto* dialog = new MaskRulesDialog(MaskRules::Saved(), parent);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  connect(dialog, &QDialog::accepted, this, [this, dialog] {
    dialog->Rules().Save();
    if (compareWindow_ && compareWindow_->isVisible() && comparedRow_ >= 0) CompareAgain();
  });
  dialog->open();
}
