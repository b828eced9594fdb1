#include "FollowCommand.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <QScrollBar>
#include <QSettings>

#include "DisplayForm.h"
#include "ErrorDisplay.h"
#include "FileFollower.h"
#include "RunsView.h"
#include "StatusLine.h"
#include "TextPane.h"

namespace {

const QString kFollowSetting = QStringLiteral("FormDisplay/Follow");

// Where a pane was scrolled to. A pane scrolled to its end stays at its end when the file is read
// again, so that the new lines of a growing run come into view; any other pane keeps its place.
struct PaneScroll {
  int value;
  bool atEnd;
};

PaneScroll ScrollOf(const TTextPane* pane) {
  const QScrollBar* bar = pane->verticalScrollBar();
  return {bar->value(), bar->value() == bar->maximum()};
}

void Restore(TTextPane* pane, PaneScroll scroll) {
  QScrollBar* bar = pane->verticalScrollBar();
  bar->setValue(scroll.atEnd ? bar->maximum() : scroll.value);
}

}  // namespace

FollowCommand::FollowCommand(TFormDisplay& window, TStatusLine& statusLine)
    : QObject(&window),
      window_(window),
      statusLine_(statusLine),
      menuItem_(new QAction(tr("&Follow file"), this)),
      follower_(new TFileFollower(this)) {
  menuItem_->setCheckable(true);
  window.File1->insertAction(window.N2, menuItem_);
  connect(follower_, &TFileFollower::Changed, this, ShowingErrors([this] { FileChanged(); }));
  connect(menuItem_, &QAction::toggled, this, [this](bool on) {
    QSettings().setValue(kFollowSetting, on);
    Watch(fileName_);
  });
  menuItem_->setChecked(QSettings().value(kFollowSetting, false).toBool());
}

void FollowCommand::SetOn(bool on) {
  menuItem_->setChecked(on);
}

void FollowCommand::Watch(const QString& fileName) {
  fileName_ = fileName;
  follower_->Follow(menuItem_->isChecked() ? fileName_ : QString());
}

void FollowCommand::FileChanged() {
  const QFileInfo file(fileName_);
  if (!file.exists()) {
    statusLine_.showMessage(tr("The file is gone; the window shows it as it was."));
    return;
  }
  const bool shrank = file.size() < static_cast<qint64>(window_.Store.Text.Size());
  try {
    ReloadKeepingPlaces();
  } catch (const std::exception& error) {
    statusLine_.showMessage(QString::fromLocal8Bit(error.what()));
    return;
  }
  statusLine_.showMessage(shrank ? tr("The file shrank; it was read again from its start.")
                                 : QString());
}

void FollowCommand::ReloadKeepingPlaces() {
  TRunsView* runsView = window_.RunsView;
  const int rows = runsView->RowCount();
  const int selected = runsView->SelectedIndex();
  const bool lastRowSelected = rows > 0 && selected == rows - 1;
  const PaneScroll logScroll = ScrollOf(window_.LogMemo);
  const PaneScroll scriptScroll = ScrollOf(window_.ScriptMemo);
  window_.ReloadLogFile();
  const int lastRow = runsView->RowCount() - 1;
  if (lastRowSelected && lastRow > selected) {
    runsView->SetSelectedIndex(lastRow);
    runsView->MakeVisible(lastRow);
    Restore(window_.LogMemo, {0, logScroll.atEnd});
  } else if (selected >= 0 && runsView->SelectedIndex() == selected) {
    Restore(window_.LogMemo, logScroll);
    Restore(window_.ScriptMemo, scriptScroll);
  }
}
