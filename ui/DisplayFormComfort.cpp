// The window's everyday additions: encoding choice, following a growing file, dropped files and
// the status line. None of them changes what the window does while it is not used.
#include <QAction>
#include <QActionGroup>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScrollBar>
#include <QSettings>

#include "DisplayForm.h"
#include "ErrorDisplay.h"
#include "FileFollower.h"
#include "MRUList.h"
#include "RunsView.h"
#include "StatusLine.h"
#include "TextPane.h"

namespace {

const QString kFollowSetting = QStringLiteral("FormDisplay/Follow");

QStringList LocalFiles(const QMimeData* data) {
  QStringList files;
  if (!data) return files;
  for (const QUrl& url : data->urls()) {
    if (url.isLocalFile()) files << url.toLocalFile();
  }
  return files;
}

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

QString EncodingLabel(EncodingChoice choice, Encoding shown) {
  const QString name = QString::fromLatin1(EncodingName(shown).data());
  return choice == EncodingChoice::Auto ? QObject::tr("%1 (auto)").arg(name) : name;
}

}  // namespace

void TFormDisplay::CreateComfortCommands() {
  FollowMenuItem = new QAction(tr("&Follow file"), this);
  FollowMenuItem->setCheckable(true);
  File1->insertAction(N2, FollowMenuItem);
  Follower = new TFileFollower(this);
  connect(Follower, &TFileFollower::Changed, this,
          ShowingErrors([this] { FollowedFileChanged(); }));
  connect(FollowMenuItem, &QAction::toggled, this, [this](bool on) {
    QSettings().setValue(kFollowSetting, on);
    WatchCurrentFile();
  });
  FollowMenuItem->setChecked(QSettings().value(kFollowSetting, false).toBool());

  EncodingMenu = MainMenu1->addMenu(tr("&Encoding"));
  EncodingActions = new QActionGroup(this);
  const std::pair<QString, EncodingChoice> choices[] = {
      {tr("&Auto"), EncodingChoice::Auto},
      {tr("&Windows-1252"), EncodingChoice::Windows1252},
      {tr("&UTF-8"), EncodingChoice::Utf8}};
  for (const auto& [text, choice] : choices) {
    QAction* action = EncodingMenu->addAction(text);
    action->setCheckable(true);
    action->setChecked(choice == EncodingSetting);
    action->setData(static_cast<int>(choice));
    EncodingActions->addAction(action);
    connect(action, &QAction::triggered, this,
            ShowingErrors([this, choice = choice] { SetEncodingChoice(choice); }));
  }

  StatusLine = new TStatusLine(this);
  setStatusBar(StatusLine);
  StatusLine->ShowEncoding(EncodingLabel(EncodingSetting, Store.TextEncoding));
  setAcceptDrops(true);
}

void TFormDisplay::SetEncodingChoice(EncodingChoice choice) {
  EncodingSetting = choice;
  for (QAction* action : EncodingActions->actions()) {
    action->setChecked(action->data().toInt() == static_cast<int>(choice));
  }
  Store.TextEncoding = ResolveEncoding(choice, Store.Text.View());
  StatusLine->ShowEncoding(EncodingLabel(choice, Store.TextEncoding));
  RunsView->Items()->RefreshTexts();
  LogMemo->SetEncoding(Store.TextEncoding);
  ScriptMemo->SetEncoding(Store.TextEncoding);
}

void TFormDisplay::SetFollowing(bool following) {
  FollowMenuItem->setChecked(following);
}

void TFormDisplay::WatchCurrentFile() {
  Follower->Follow(FollowMenuItem->isChecked() ? CurrentFileName : QString());
}

void TFormDisplay::FollowedFileChanged() {
  const QFileInfo file(CurrentFileName);
  if (!file.exists()) {
    StatusLine->showMessage(tr("The file is gone; the window shows it as it was."));
    return;
  }
  const bool shrank = file.size() < static_cast<qint64>(Store.Text.Size());
  const int rows = RunsView->RowCount();
  const int selected = RunsView->SelectedIndex();
  const bool lastRowSelected = rows > 0 && selected == rows - 1;
  const PaneScroll logScroll = ScrollOf(LogMemo);
  const PaneScroll scriptScroll = ScrollOf(ScriptMemo);
  try {
    ReloadLogFile();
  } catch (const std::exception& error) {
    StatusLine->showMessage(QString::fromLocal8Bit(error.what()));
    return;
  }
  const int lastRow = RunsView->RowCount() - 1;
  if (lastRowSelected && lastRow > selected) {
    RunsView->SetSelectedIndex(lastRow);
    RunsView->MakeVisible(lastRow);
    Restore(LogMemo, {0, logScroll.atEnd});
  } else if (selected >= 0 && RunsView->SelectedIndex() == selected) {
    Restore(LogMemo, logScroll);
    Restore(ScriptMemo, scriptScroll);
  }
  StatusLine->showMessage(shrank ? tr("The file shrank; it was read again from its start.")
                                 : QString());
}

void TFormDisplay::ShowLoadFigures() {
  StatusLine->ShowStore(Store, LastLoadMilliseconds);
  StatusLine->ShowEncoding(EncodingLabel(EncodingSetting, Store.TextEncoding));
}

void TFormDisplay::OpenDroppedFiles(const QStringList& fileNames) {
  if (fileNames.isEmpty()) return;
  OpenLogFile(fileNames.first());
  MRUList1->Add(fileNames.first());
  if (fileNames.size() > 1) {
    StatusLine->showMessage(
        tr("%1 files were dropped; the first one is shown.").arg(fileNames.size()));
  }
}

void TFormDisplay::dragEnterEvent(QDragEnterEvent* event) {
  if (!LocalFiles(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void TFormDisplay::dropEvent(QDropEvent* event) {
  const QStringList files = LocalFiles(event->mimeData());
  if (files.isEmpty()) return;
  event->acceptProposedAction();
  RunShowingErrors([&] { OpenDroppedFiles(files); });
}
