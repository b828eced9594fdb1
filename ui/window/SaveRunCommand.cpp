#include "SaveRunCommand.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QSettings>

#include "DisplayForm.h"
#include "ErrorDisplay.h"
#include "LogDocument.h"
#include "RunSaver.h"
#include "RunsView.h"
#include "SaveRunDialog.h"
#include "StatusLine.h"

namespace {

const QString kFolderSetting = QStringLiteral("SaveRun/Folder");

}  // namespace

SaveRunCommand::SaveRunCommand(TFormDisplay& window, TStatusLine& statusLine)
    : QObject(&window),
      window_(window),
      statusLine_(statusLine),
      menuItem_(new QAction(tr("Save run as..."), this)),
      dialog_(new SaveRunDialog(&window)),
      saver_(new RunSaver(this)) {
  menuItem_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
  window.File1->insertAction(window.N2, menuItem_);
  ShowEnabled();
  connect(menuItem_, &QAction::triggered, this, ShowingErrors([this] { AskWhereToSave(); }));
  connect(window.RunsView, &TRunsView::SelectItem, this, &SaveRunCommand::ShowEnabled);
  connect(&window, &TFormDisplay::LogCleared, this, [this] {
    askedRow_ = -1;
    ShowEnabled();
  });
  connect(dialog_, &SaveRunDialog::Chosen, this,
          ShowingErrors([this](const QString& fileName, SaveEncoding encoding) {
            Save(std::exchange(askedRow_, -1), fileName, encoding);
          }));
  connect(saver_, &RunSaver::Saved, this, [this](const QString& fileName) {
    statusLine_.showMessage(tr("The run is saved as \"%1\".").arg(fileName));
  });
  connect(saver_, &RunSaver::Failed, this, [](const QString& message) { ShowException(message); });
}

void SaveRunCommand::ShowEnabled() {
  menuItem_->setEnabled(window_.RunsView->SelectedIndex() >= 0);
}

void SaveRunCommand::StoreChanging() {
  saver_->StoreChanging();
}

void SaveRunCommand::AskWhereToSave() {
  const int row = window_.RunsView->SelectedIndex();
  if (row < 0) return;
  askedRow_ = row;
  dialog_->Open(SuggestedFile(row), window_.LogData().TextEncoding);
}

QString SaveRunCommand::SuggestedFile(int row) const {
  // Not looked at on disk here: the dialog finds a folder that is gone, and a share that has
  // stopped answering holds up only the dialog.
  const QString saved = QSettings().value(kFolderSetting).toString();
  const QString folder =
      saved.isEmpty() ? QFileInfo(window_.Document().FileName()).absolutePath() : saved;
  const std::string name = SuggestedRunFileName(window_.LogData(), static_cast<size_t>(row));
  return QDir(folder).filePath(QString::fromStdString(name));
}

void SaveRunCommand::Save(int row, const QString& fileName, SaveEncoding encoding) {
  if (row < 0) {
    ShowException(tr("The run was not saved as \"%1\": the log was read again meanwhile. Select "
                     "the run and save it again.")
                      .arg(fileName));
    return;
  }
  QSettings().setValue(kFolderSetting, QFileInfo(fileName).absolutePath());
  const QString logFile = window_.Document().FileName();
  saver_->Save(RunExport(window_.LogData(), static_cast<size_t>(row),
                         QDir::toNativeSeparators(logFile).toStdString(), encoding),
               fileName, logFile);
  statusLine_.showMessage(tr("Saving run %1 as \"%2\"...").arg(row + 1).arg(fileName));
}
