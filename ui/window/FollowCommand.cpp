#include "FollowCommand.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <QScrollBar>
#include <QSettings>

#include "DisplayForm.h"
#include "ErrorDisplay.h"
#include "LogDocument.h"
#include "RunsView.h"
#include "StatusLine.h"
#include "TextPane.h"

namespace {

const QString kFollowSetting = QStringLiteral("FormDisplay/Follow");

PaneScroll ScrollOf(const TTextPane* pane) {
  const QScrollBar* bar = pane->verticalScrollBar();
  return {bar->value(), bar->value() == bar->maximum()};
}

void Restore(TTextPane* pane, PaneScroll scroll) {
  QScrollBar* bar = pane->verticalScrollBar();
  bar->setValue(scroll.atEnd ? bar->maximum() : scroll.value);
}

}  // namespace

// What the window showed before the file changed.
struct FollowCommand::Places {
  int rows;
  int selected;
  bool lastRowSelected;
  PaneScroll log;
  PaneScroll script;
};

FollowCommand::FollowCommand(TFormDisplay& window, TStatusLine& statusLine)
    : QObject(&window),
      window_(window),
      document_(window.Document()),
      statusLine_(statusLine),
      menuItem_(new QAction(tr("&Follow file"), this)) {
  menuItem_->setCheckable(true);
  window.File1->insertAction(window.N2, menuItem_);
  connect(&document_, &LogDocument::FollowedFileChanged, this,
          ShowingErrors([this] { FileChanged(); }));
  connect(&document_, &LogDocument::GrowthRead, this, ShowingErrors([this] { TakeInGrowth(); }));
  connect(&window, &TFormDisplay::RunShown, this, &FollowCommand::RestoreIfShown);
  connect(&document_, &LogDocument::FileReplaced, this,
          ShowingErrors([this](const QString& why) { ReadAgain(why); }));
  connect(menuItem_, &QAction::toggled, this, ShowingErrors([this](bool on) {
            if (rememberChoice_) QSettings().setValue(kFollowSetting, on);
            Follow(fileName_);
            // What the file gained while following was off shows at once, not with its next
            // change.
            if (on && !fileName_.isEmpty()) FileChanged();
          }));
  menuItem_->setChecked(QSettings().value(kFollowSetting, false).toBool());
  // Queued: the view takes in the rows the filter shows before one of them is selected.
  connect(window.RunsView->MatchFilter(), &QAbstractItemModel::layoutChanged, this,
          ShowingErrors([this] { NewestMatchesShown(); }), Qt::QueuedConnection);
  // A load that another command starts meanwhile has places of its own.
  connect(&window, &TFormDisplay::LogCleared, this, [this] {
    newestMatchRow_ = -1;
    newestAwaited_ = false;
    restore_.reset();
    reloadPlaces_.reset();
    reloadNotice_.clear();
  });
  connect(&window, &TFormDisplay::LogLoaded, this, ShowingErrors([this] { Loaded(); }));
  // What a failed read left in the window is what the user works on from then on.
  connect(&document_, &LogDocument::LoadFailed, this, [this] { reloadPlaces_.reset(); });
}

FollowCommand::~FollowCommand() = default;

void FollowCommand::SetOn(bool on) {
  menuItem_->setChecked(on);
}

void FollowCommand::SetOnForThisWindow() {
  rememberChoice_ = false;
  menuItem_->setChecked(true);
  rememberChoice_ = true;
}

void FollowCommand::Watch(const QString& fileName) {
  if (fileName_.isEmpty()) Follow(fileName);
}

void FollowCommand::Follow(const QString& fileName) {
  fileName_ = fileName;
  document_.Follow(menuItem_->isChecked() ? fileName_ : QString());
}

FollowCommand::Places FollowCommand::PlacesNow() const {
  // A change that comes while the file is read again finds the window empty; what the user had
  // is what the window showed before that read.
  if (reloadPlaces_) return *reloadPlaces_;
  const TRunsView* runsView = window_.RunsView;
  const int selected = runsView->SelectedIndex();
  // With the match filter on, the newest row it shows stands for the last row. A file that
  // lost all its runs while the newest was followed has its first new run followed.
  const bool newestSelected = (selected >= 0 && selected == runsView->LastShownRow()) ||
                              (newestAwaited_ && runsView->RowCount() == 0);
  // The panes of a run still read are empty, which is no place to keep: they show it from its
  // start once it comes.
  if (window_.ShownRow() != selected) {
    return {runsView->RowCount(), selected, newestSelected, {0, false}, {0, false}};
  }
  return {runsView->RowCount(), selected, newestSelected, ScrollOf(window_.LogMemo),
          ScrollOf(window_.ScriptMemo)};
}

void FollowCommand::ReadAgain(const QString& why) {
  // A file that is gone would only fail to load: the window keeps what it shows.
  if (!QFileInfo::exists(fileName_)) {
    statusLine_.showMessage(why + tr("; it is gone, so the lines not shown yet cannot be read."));
    return;
  }
  LoadWhole(PlacesNow(), why + tr("; it was read again."));
}

void FollowCommand::FileChanged() {
  document_.ReadGrowth();
}

void FollowCommand::TakeInGrowth() {
  const Places before = PlacesNow();
  // The table has taken in the rows that changed by the time this returns.
  const LogDocument::Change change = document_.TakeInGrowth();
  switch (change.What) {
    case LogDocument::Growth::Unchanged:
      return;
    case LogDocument::Growth::Gone:
      statusLine_.showMessage(tr("The file is gone; the window shows it as it was."));
      return;
    case LogDocument::Growth::Appended:
      ShowAppended(change.FirstChangedRow, before);
      return;
    case LogDocument::Growth::Shrank:
    case LogDocument::Growth::Changed:
      break;
  }
  LoadWhole(before, change.What == LogDocument::Growth::Shrank
                        ? tr("The file shrank; it was read again from its start.")
                        : QString());
}

void FollowCommand::LoadWhole(const Places& before, const QString& notice) {
  if (window_.CurrentFile() == fileName_) {
    window_.ReloadLogFile();
    reloadPlaces_ = std::make_unique<Places>(before);
  } else {
    // An open of another file failed after this one had loaded, and left the caption on this
    // one: it is shown again under it, and Reload reads it again.
    window_.OpenLogFile(fileName_);
  }
  // Only now: the load has emptied the window, which forgets what an earlier load left to say.
  reloadNotice_ = notice;
  window_.ShowFailureInStatusLine();
}

void FollowCommand::Loaded() {
  Follow(window_.CurrentFile());
  if (const std::unique_ptr<Places> places = std::move(reloadPlaces_)) KeepPlaces(*places);
  if (!reloadNotice_.isEmpty()) statusLine_.showMessage(std::exchange(reloadNotice_, QString()));
}

void FollowCommand::ShowAppended(int firstChangedRow, const Places& before) {
  TRunsView* runsView = window_.RunsView;
  const int lastRow = runsView->RowCount() - 1;
  const bool filtered = runsView->MatchFilter()->IsOn();
  if (before.lastRowSelected && lastRow != before.selected) {
    FollowNewestRow(before);
    if (!filtered) return;
  }
  if (before.selected >= firstChangedRow && runsView->SelectedIndex() == before.selected) {
    ExtendPanes(before.selected, before);
  }
}

void FollowCommand::ExtendPanes(int row, const Places& before) {
  RestoreOnceShown(row, before.log, before.script);
  window_.ShowRunGrown(row);
}

void FollowCommand::RestoreOnceShown(int row, PaneScroll log, std::optional<PaneScroll> script) {
  restore_ = {row, log, script};
}

void FollowCommand::RestoreIfShown() {
  if (!restore_) return;
  // The user has gone on to another row meanwhile.
  if (window_.ShownRow() != restore_->row) {
    restore_.reset();
    return;
  }
  // The places hold until the next change: the lines of an indexed store's run may come in two
  // steps, the run read when it was selected and then what it gained meanwhile.
  Restore(window_.LogMemo, restore_->log);
  if (restore_->script) Restore(window_.ScriptMemo, *restore_->script);
}

void FollowCommand::SelectLastRow(const Places& before) {
  TRunsView* runsView = window_.RunsView;
  const int lastRow = runsView->RowCount() - 1;
  newestAwaited_ = lastRow < 0;
  if (lastRow < 0) return;
  RestoreOnceShown(lastRow, {0, before.log.atEnd});
  runsView->SetSelectedIndex(lastRow);
  runsView->MakeVisible(lastRow);
}

void FollowCommand::FollowNewestRow(const Places& before) {
  if (!window_.RunsView->MatchFilter()->IsOn()) {
    SelectLastRow(before);
    return;
  }
  // The new rows have no counts yet, so the filter hides them; selecting one would turn the
  // filter off.
  newestMatchRow_ = before.selected;
  newestMatchLogAtEnd_ = before.log.atEnd;
}

void FollowCommand::NewestMatchesShown() {
  TRunsView* runsView = window_.RunsView;
  if (newestMatchRow_ < 0) return;
  if (!runsView->MatchFilter()->IsOn() || runsView->SelectedIndex() != newestMatchRow_) {
    newestMatchRow_ = -1;  // the user moved on
    return;
  }
  const int newest = runsView->LastShownRow();
  if (newest <= newestMatchRow_) return;
  newestMatchRow_ = newest;
  RestoreOnceShown(newest, {0, newestMatchLogAtEnd_});
  runsView->SetSelectedIndex(newest);
  runsView->MakeVisible(newest);
}

void FollowCommand::KeepPlaces(const Places& before) {
  TRunsView* runsView = window_.RunsView;
  const int lastRow = runsView->RowCount() - 1;
  // With the last row selected the newest run stays in view, also when the file shrank or was
  // replaced and has fewer rows now.
  if (before.lastRowSelected && lastRow != before.selected) {
    FollowNewestRow(before);
  } else if (before.selected >= 0 && runsView->SelectedIndex() == before.selected) {
    // The lines of an indexed store's run may still be read.
    RestoreOnceShown(before.selected, before.log, before.script);
    RestoreIfShown();
  }
}
