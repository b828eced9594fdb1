#include "FindInRunsCommand.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <algorithm>

#include "DisplayForm.h"
#include "FindBar.h"
#include "FindCommands.h"
#include "LogDocument.h"
#include "RunSearch.h"
#include "RunsSearch.h"
#include "RunsView.h"
#include "StatusLine.h"

namespace {

// A search that ends sooner shows no progress: it would only flicker in the status line.
constexpr qint64 kQuietMilliseconds = 200;

QString RunsWithMatchesText(int count) {
  return count == 1 ? QObject::tr("1 run with matches")
                    : QObject::tr("%1 runs with matches").arg(QLocale().toString(count));
}

}  // namespace

FindInRunsCommand::FindInRunsCommand(TFormDisplay& window, TStatusLine& statusLine,
                                     FindCommands& findCommands)
    : QObject(&window),
      window_(window),
      table_(*window.RunsView->Items()),
      statusLine_(statusLine),
      findCommands_(findCommands),
      search_(&window.Document().Search()) {
  CreateBar();
  CreateMenu(*findCommands.Menu());
  connect(search_, &RunsSearch::Counted, this, &FindInRunsCommand::TakeCounts);
  connect(search_, &RunsSearch::Progressed, this, &FindInRunsCommand::ShowProgress);
  connect(search_, &RunsSearch::Finished, this, &FindInRunsCommand::ShowResult);
  connect(search_, &RunsSearch::Failed, this,
          [this](const QString& message) { statusLine_.showMessage(message); });
  // A piece of a load and a followed file that grew change the rows from one on, and the table
  // has taken them in when this hears of them. The search reads only the bytes of the runs it
  // was given, which neither moves, so only the start of a load has to stop it.
  connect(&window, &TFormDisplay::LoadedRowsShown, this, &FindInRunsCommand::SearchChangedRows);
  connect(&window, &TFormDisplay::LogAppended, this,
          [this](qint64, int firstChangedRow) { SearchChangedRows(firstChangedRow); });
}

void FindInRunsCommand::SearchAgain() {
  if (bar_->isVisible()) Search(true);
}

void FindInRunsCommand::SearchChangedRows(int firstChangedRow) {
  if (bar_->isVisible()) {
    SearchFrom(std::min(countedRows_, firstChangedRow), true, RunsSearch::Counts::GoOn);
  }
}

void FindInRunsCommand::TakeCounts(int firstRow, const std::vector<size_t>& counts) {
  table_.SetMatchCounts(firstRow, counts);
  // A search reports its rows in order from the one it started at.
  countedRows_ = firstRow + static_cast<int>(counts.size());
}

void FindInRunsCommand::CreateBar() {
  bar_ = new TFindBar;
  bar_->setObjectName(QStringLiteral("FindInRunsBar"));
  bar_->NeedleEdit()->setPlaceholderText(tr("Find in runs"));
  bar_->SetStepTips(tr("Previous run with matches (Shift+F4, Shift+Enter)"),
                    tr("Next run with matches (F4, Enter)"));
  onlyWithMatches_ = new QCheckBox(tr("&Only runs with matches"));
  bar_->AddOption(onlyWithMatches_);
  bar_->hide();
  findCommands_.AddBar(bar_);

  RunsMatchFilter* filter = window_.RunsView->MatchFilter();
  connect(onlyWithMatches_, &QCheckBox::toggled, filter, &RunsMatchFilter::SetOn);
  // A run-selection request for a row the filter hides turns the filter off.
  connect(filter, &RunsMatchFilter::Toggled, onlyWithMatches_, &QCheckBox::setChecked);
  connect(bar_, &TFindBar::NeedleChanged, this, [this] { Search(false); });
  connect(bar_, &TFindBar::NextRequested, this, [this] { StepTo(Step::Next); });
  connect(bar_, &TFindBar::PreviousRequested, this, [this] { StepTo(Step::Previous); });
  connect(bar_, &TFindBar::CloseRequested, this, &FindInRunsCommand::Close);
}

void FindInRunsCommand::CreateMenu(QMenu& menu) {
  menu.addSeparator();
  menu.addAction(tr("Find in &Runs..."), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F), this,
                 &FindInRunsCommand::OpenBar);
  menu.addAction(tr("Next Run with &Matches"), QKeySequence(Qt::Key_F4), this,
                 [this] { StepTo(Step::Next); });
  menu.addAction(tr("Previous Run with M&atches"), QKeySequence(Qt::SHIFT | Qt::Key_F4), this,
                 [this] { StepTo(Step::Previous); });
}

void FindInRunsCommand::StoreChanging() {
  search_->Cancel();
  HideProgress();
  bar_->ShowNothing();
}

void FindInRunsCommand::OpenBar() {
  const bool wasOpen = bar_->isVisible();
  bar_->Open(QString());
  if (wasOpen) return;
  window_.RunsView->showColumn(TRunsTableModel::MatchesColumn);
  Search(false);
}

void FindInRunsCommand::Close() {
  search_->Cancel();
  HideProgress();
  window_.RunsView->MatchFilter()->SetOn(false);
  table_.ClearMatchCounts();
  window_.RunsView->hideColumn(TRunsTableModel::MatchesColumn);
  bar_->hide();
  window_.RunsView->setFocus(Qt::OtherFocusReason);
}

void FindInRunsCommand::Search(bool keepCounts) {
  SearchFrom(0, keepCounts);
}

void FindInRunsCommand::SearchFrom(int firstRow, bool keepCounts, RunsSearch::Counts counts) {
  search_->Cancel();
  HideProgress();
  if (!keepCounts) table_.ClearMatchCounts();
  countedRows_ = firstRow;
  bar_->ShowNothing();
  const std::optional<LineMatchers> matchers = bar_->Matchers();
  if (!matchers) return;
  bar_->ShowSummary(tr("Searching..."));
  const LogStore& store = window_.LogData();
  std::vector<LineSpan> rowLogs = RowLogSpans(store, static_cast<size_t>(firstRow));
  // The table may not have taken in every row of a load that runs yet.
  rowLogs.resize(
      std::min(rowLogs.size(), static_cast<size_t>(std::max(0, table_.rowCount() - firstRow))));
  searchTime_.start();
  search_->Start(matchers->For(store.TextEncoding), store, std::move(rowLogs), firstRow, counts);
}

void FindInRunsCommand::ShowProgress(int percent) {
  if (percent >= 100 || searchTime_.elapsed() < kQuietMilliseconds) return;
  progress_ = tr("Searching the runs: %1%").arg(percent);
  statusLine_.showMessage(progress_);
}

void FindInRunsCommand::HideProgress() {
  if (!progress_.isEmpty() && statusLine_.currentMessage() == progress_) statusLine_.clearMessage();
  progress_.clear();
}

void FindInRunsCommand::ShowResult() {
  HideProgress();
  const int rows = RowsWithMatchesBefore(table_.rowCount());
  if (rows == 0) {
    bar_->ShowNoMatch();
  } else {
    bar_->ShowSummary(RunsWithMatchesText(rows));
  }
}

void FindInRunsCommand::StepTo(Step step) {
  if (!bar_->isVisible()) {
    OpenBar();
    return;
  }
  const int rows = table_.rowCount();
  const bool forward = step == Step::Next;
  const int selected = window_.RunsView->SelectedIndex();
  const int start = selected >= 0 ? selected : (forward ? -1 : rows);
  for (int distance = 1; distance <= rows; ++distance) {
    const int beyond = forward ? start + distance : start - distance;
    const int row = (beyond % rows + rows) % rows;
    if (table_.MatchCount(row).value_or(0) > 0) {
      SelectRow(row, beyond != row, step);
      return;
    }
  }
}

void FindInRunsCommand::SelectRow(int row, bool wrapped, Step step) {
  QWidget* focus = QApplication::focusWidget();
  window_.RunsView->SetSelectedIndex(row);
  window_.RunsView->MakeVisible(row);
  findCommands_.FindFirstInLogPane(bar_->Pattern());
  if (focus) focus->setFocus(Qt::OtherFocusReason);
  const TFindBar::TWrap wrap =
      step == Step::Next ? TFindBar::TWrap::ToTop : TFindBar::TWrap::ToBottom;
  bar_->ShowFound(wrapped ? wrap : TFindBar::TWrap::None);
  bar_->ShowSummary(tr("%1 of %2")
                        .arg(QLocale().toString(RowsWithMatchesBefore(row) + 1))
                        .arg(RunsWithMatchesText(RowsWithMatchesBefore(table_.rowCount()))));
}

int FindInRunsCommand::RowsWithMatchesBefore(int end) const {
  int rows = 0;
  for (int row = 0; row < end; ++row) {
    if (table_.MatchCount(row).value_or(0) > 0) ++rows;
  }
  return rows;
}
