#include "CompareWindow.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QTabBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "DiffOverview.h"

namespace {

using Page = CompareView::Page;
constexpr int kQuotedChars = 80;

QString Count(size_t count) {
  return QLocale().toString(static_cast<qulonglong>(count));
}

QString LinesCount(size_t count) {
  return count == 1 ? QObject::tr("1 line") : QObject::tr("%1 lines").arg(Count(count));
}

QString Quoted(QString text) {
  if (text.size() > kQuotedChars) text = text.left(kQuotedChars - 3) + QStringLiteral("...");
  return QLatin1Char('"') + text.trimmed() + QLatin1Char('"');
}

const RunLines& LinesOf(const ComparedRun& run, Page page) {
  return page == Page::Log ? run.Log : run.Script;
}

// "line 12 of run 7: "ERROR: ..."": the first row that differs.
QString FirstDifference(const RunComparison& comparison, const DiffRows& rows, Page page) {
  const std::optional<size_t> first = rows.NextDifference(std::nullopt);
  if (!first) return {};
  const DiffRows::Row row = rows.At(*first);
  const bool inRun = row.Run.has_value();
  const ComparedRun& side = inRun ? comparison.Run : comparison.Baseline;
  const size_t line = inRun ? *row.Run : *row.Baseline;
  return QObject::tr("line %1 of run %2: %3")
      .arg(Count(line + 1))
      .arg(side.Row + 1)
      .arg(Quoted(DecodedLine(LinesOf(side, page).Line(line), comparison.TextEncoding)));
}

QString SummaryOf(const RunComparison& comparison, Page page) {
  const DiffRows& rows = page == Page::Log ? comparison.Log : comparison.Script;
  const DiffCounts counts = CountDifferences(rows.Diff());
  const int run = comparison.Run.Row + 1;
  const int baseline = comparison.Baseline.Row + 1;
  const QString what = page == Page::Log ? QObject::tr("log lines") : QObject::tr("script texts");
  if (!counts.Any()) {
    return QObject::tr("The %1 of run %2 and run %3 are the same%4.")
        .arg(what)
        .arg(run)
        .arg(baseline)
        .arg(page == Page::Log ? QObject::tr(" after masking") : QString());
  }
  return QObject::tr("%1 only in run %2, %3 only in run %4, %5 changed. First difference: %6.")
      .arg(LinesCount(counts.OnlyRun))
      .arg(run)
      .arg(Count(counts.OnlyBaseline))
      .arg(baseline)
      .arg(Count(counts.Changed))
      .arg(FirstDifference(comparison, rows, page));
}

}  // namespace

CompareWindow::CompareWindow(QWidget* parent)
    : QWidget(parent, Qt::Window),
      summary_(new QLabel),
      note_(new QLabel),
      tabs_(new QTabBar),
      view_(new CompareView),
      overview_(new DiffOverview) {
  setObjectName(QStringLiteral("CompareWindow"));
  summary_->setObjectName(QStringLiteral("CompareSummary"));
  summary_->setWordWrap(true);
  summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  note_->setObjectName(QStringLiteral("CompareNote"));
  note_->setWordWrap(true);
  note_->setStyleSheet(QStringLiteral("background: #fff3cd; color: #5d4200; padding: 3px"));
  note_->hide();
  tabs_->addTab(tr("&Log lines"));
  tabs_->addTab(tr("&Script text"));
  tabs_->setDrawBase(false);
  connect(tabs_, &QTabBar::currentChanged, this, [this] { ShowPage(CurrentPage()); });

  auto* bar = new QHBoxLayout;
  bar->addWidget(tabs_);
  bar->addStretch();
  auto* buttons = new QWidget;
  buttons->setLayout(new QHBoxLayout);
  buttons->layout()->setContentsMargins(0, 0, 0, 0);
  CreateActions(buttons);
  bar->addWidget(buttons);

  auto* lines = new QHBoxLayout;
  lines->setSpacing(0);
  lines->addWidget(view_);
  lines->addWidget(overview_);
  connect(view_, &CompareView::RowsInViewChanged, this,
          [this] { overview_->ShowInView(view_->FirstVisibleRow(), view_->VisibleRows()); });
  connect(overview_, &DiffOverview::RowClicked, view_, &CompareView::GoTo);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(summary_);
  layout->addWidget(note_);
  layout->addLayout(bar);
  layout->addLayout(lines, 1);
  resize(1000, 600);
}

void CompareWindow::CreateActions(QWidget* bar) {
  const auto add = [this, bar](const QString& text, const QKeySequence& key, auto slot) {
    auto* action = new QAction(text, this);
    action->setShortcut(key);
    if (!key.isEmpty()) {
      action->setToolTip(
          QStringLiteral("%1 (%2)").arg(text, key.toString(QKeySequence::NativeText)));
    }
    connect(action, &QAction::triggered, this, slot);
    addAction(action);
    auto* button = new QToolButton;
    button->setDefaultAction(action);
    bar->layout()->addWidget(button);
  };
  add(tr("Previous difference"), QKeySequence(Qt::SHIFT | Qt::Key_F7),
      &CompareWindow::GoToPreviousDifference);
  add(tr("Next difference"), QKeySequence(Qt::Key_F7), &CompareWindow::GoToNextDifference);
  add(tr("Compare again"), QKeySequence(Qt::Key_F5), &CompareWindow::CompareAgainRequested);
  add(tr("Masking..."), QKeySequence(), &CompareWindow::MaskingRequested);
  auto* close = new QAction(tr("Close"), this);
  close->setShortcuts({QKeySequence::Close, QKeySequence(Qt::Key_Escape)});
  connect(close, &QAction::triggered, this, &QWidget::close);
  addAction(close);
}

void CompareWindow::ShowComparing(const QString& runTitle, const QString& baselineTitle) {
  comparison_.reset();
  inexact_.clear();
  setWindowTitle(tr("Compare %1 with %2").arg(runTitle, baselineTitle));
  summary_->setText(tr("Comparing..."));
  SetNote({});
  view_->Clear();
  overview_->Show(nullptr);
}

void CompareWindow::ShowComparison(std::shared_ptr<const RunComparison> comparison) {
  comparison_ = std::move(comparison);
  setWindowTitle(tr("Compare %1 with %2").arg(comparison_->Run.Title, comparison_->Baseline.Title));
  inexact_ = comparison_->Log.Diff().Exact
                 ? QString()
                 : tr("The runs are too large or too different to find the fewest differences "
                      "in time: their log lines are aligned line by line after what they share "
                      "at their start and their end.");
  SetNote({});
  ShowPage(CurrentPage());
}

void CompareWindow::ShowFailure(const QString& message) {
  comparison_.reset();
  summary_->setText(message);
  view_->Clear();
  overview_->Show(nullptr);
}

void CompareWindow::SetNote(const QString& note) {
  QStringList parts;
  if (!note.isEmpty()) parts << note;
  if (!inexact_.isEmpty()) parts << inexact_;
  note_->setText(parts.join(QLatin1Char(' ')));
  note_->setVisible(!parts.isEmpty());
}

QString CompareWindow::Summary() const {
  return summary_->text();
}

QString CompareWindow::Note() const {
  return note_->isVisible() ? note_->text() : QString();
}

CompareView::Page CompareWindow::CurrentPage() const {
  return tabs_->currentIndex() == 1 ? Page::Script : Page::Log;
}

void CompareWindow::ShowPage(CompareView::Page page) {
  tabs_->setCurrentIndex(page == Page::Script ? 1 : 0);
  if (!comparison_) return;
  view_->Show(comparison_, page);
  overview_->Show(view_->Rows());
  ShowSummary();
}

void CompareWindow::ShowSummary() {
  summary_->setText(SummaryOf(*comparison_, CurrentPage()));
}

void CompareWindow::GoToNextDifference() {
  const DiffRows* rows = view_->Rows();
  if (!rows) return;
  std::optional<size_t> next = rows->NextDifference(view_->CurrentRow());
  if (!next) next = rows->NextDifference(std::nullopt);
  if (next) view_->GoTo(*next);
}

void CompareWindow::GoToPreviousDifference() {
  const DiffRows* rows = view_->Rows();
  if (!rows) return;
  std::optional<size_t> previous = rows->PreviousDifference(view_->CurrentRow().value_or(0));
  if (!previous) previous = rows->PreviousDifference(rows->Count());
  if (previous) view_->GoTo(*previous);
}
