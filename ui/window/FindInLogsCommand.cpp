#include "FindInLogsCommand.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>

#include "DisplayForm.h"
#include "FindCommands.h"
#include "FindInLogsDialog.h"
#include "LogDocument.h"
#include "RunsView.h"

FindInLogsCommand::FindInLogsCommand(TFormDisplay& window, FindCommands& findCommands)
    : QObject(&window), window_(window), findCommands_(findCommands) {
  findCommands.Menu()->addAction(tr("Find in &Logs..."),
                                 QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_L), this,
                                 &FindInLogsCommand::OpenDialog);
  connect(&window, &TFormDisplay::LogLoaded, this, [this] {
    if (afterLoad_) SelectRun(*std::exchange(afterLoad_, std::nullopt));
  });
  // A load that fails, or one that another replaces, leaves nothing to show.
  connect(&window, &TFormDisplay::CurrentFileChanged, this, [this] { afterLoad_.reset(); });
}

FindInLogsDialog& FindInLogsCommand::Dialog() {
  if (dialog_ == nullptr) {
    dialog_ = new FindInLogsDialog([this] { return window_.Document().Encoding(); }, &window_);
    dialog_->setWindowFlag(Qt::Window);
    connect(dialog_, &FindInLogsDialog::RunRequested, this, &FindInLogsCommand::ShowRun);
    // The window's F4 belongs to Find in runs, whose shortcut is not to see the key meanwhile.
    qApp->installEventFilter(this);
  }
  return *dialog_;
}

void FindInLogsCommand::OpenDialog() {
  FindInLogsDialog& dialog = Dialog();
  // The folder of the log shown, else the one searched last.
  if (!window_.CurrentFile().isEmpty()) {
    dialog.SetFolder(QFileInfo(window_.CurrentFile()).absolutePath());
  }
  dialog.show();
  dialog.raise();
  dialog.activateWindow();
}

void FindInLogsCommand::ShowRun(const QString& file, int row, const TLinePattern& pattern) {
  const Target target{row, pattern};
  if (QDir::cleanPath(file) == QDir::cleanPath(window_.CurrentFile()) && !afterLoad_ &&
      row < window_.RunsView->RowCount()) {
    SelectRun(target);
    return;
  }
  window_.OpenLogFile(file);
  window_.AddToRecentWhenLoaded(file);
  afterLoad_ = target;
}

void FindInLogsCommand::SelectRun(const Target& target) {
  if (target.row >= window_.RunsView->RowCount()) return;
  window_.RunsView->SetSelectedIndex(target.row);
  window_.RunsView->MakeVisible(target.row);
  findCommands_.FindFirstInLogPane(target.pattern);
  // The dialog keeps the keyboard, so that F4 goes on to the next result.
  if (dialog_ && dialog_->isVisible()) dialog_->activateWindow();
}

bool FindInLogsCommand::eventFilter(QObject* target, QEvent* event) {
  if (event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress) return false;
  const auto* key = static_cast<QKeyEvent*>(event);
  const auto* widget = qobject_cast<QWidget*>(target);
  if (key->key() != Qt::Key_F4 || !dialog_->isVisible() || !widget || widget->window() != &window_)
    return false;
  if (event->type() == QEvent::ShortcutOverride) {
    // Taken as a key press instead, which comes next.
    event->accept();
    return true;
  }
  dialog_->StepThroughResults(!key->modifiers().testFlag(Qt::ShiftModifier));
  return true;
}
