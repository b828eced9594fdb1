#include "FindInLogsDialog.h"

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QSettings>
#include <QShortcut>
#include <QVBoxLayout>

#include "FieldTint.h"
#include "LogsResults.h"
#include "LogsSearch.h"
#include "RegexMatcher.h"

namespace {

// The folder searched last, offered when no log is shown, also after a restart.
const QString kFolderSetting = QStringLiteral("FindInLogs/Folder");

}  // namespace

FindInLogsDialog::FindInLogsDialog(std::function<EncodingChoice()> encoding, QWidget* parent)
    : QDialog(parent),
      encoding_(std::move(encoding)),
      search_(new LogsSearch(this)),
      results_(new LogsResults) {
  setWindowTitle(tr("Find in Logs"));
  setObjectName(QStringLiteral("FindInLogsDialog"));
  CreateForm();
  CreateShortcuts();
  connect(search_, &LogsSearch::Listed, this, [this](int files, qint64 bytes) {
    files_ = files;
    bytes_ = bytes;
    ShowProgress();
  });
  connect(search_, &LogsSearch::FileDone, this, [this](const FileMatches& found) {
    bytesDone_ += static_cast<qint64>(found.Bytes);
    results_->Add(found);
    ShowProgress();
  });
  connect(search_, &LogsSearch::Finished, this, [this] { ShowSummary(QString()); });
  connect(search_, &LogsSearch::Failed, this, [this](const QString& reason) {
    status_->setText(reason);
    find_->setText(tr("&Find"));
  });
  connect(results_, &QTreeWidget::itemActivated, this, &FindInLogsDialog::Go);
}

FindInLogsDialog::~FindInLogsDialog() = default;

void FindInLogsDialog::CreateForm() {
  folder_ = new QLineEdit(QSettings().value(kFolderSetting).toString());
  auto* browse = new QPushButton(tr("&Browse..."));
  browse->setAutoDefault(false);
  connect(browse, &QPushButton::clicked, this, &FindInLogsDialog::BrowseFolder);
  auto* folderRow = new QHBoxLayout;
  folderRow->addWidget(folder_);
  folderRow->addWidget(browse);
  subfolders_ = new QCheckBox(tr("Include &subfolders"));
  pattern_ = new QLineEdit(QStringLiteral("*.log"));
  text_ = new QLineEdit;
  matchCase_ = new QCheckBox(tr("Match &case"));
  regex_ = new QCheckBox(tr("Regular e&xpression"));
  find_ = new QPushButton(tr("&Find"));
  // Enter starts a search from the fields only: in the results it opens a run, and the list
  // passes the key on, which would otherwise press a button of the dialog as well.
  find_->setAutoDefault(false);
  connect(find_, &QPushButton::clicked, this, [this] { Searching() ? Stop() : Start(); });
  for (QLineEdit* field : {folder_, pattern_, text_}) {
    connect(field, &QLineEdit::returnPressed, this, &FindInLogsDialog::Start);
  }

  auto* form = new QFormLayout;
  auto* folderLabel = new QLabel(tr("F&older:"));
  folderLabel->setBuddy(folder_);
  form->addRow(folderLabel, folderRow);
  form->addRow(QString(), subfolders_);
  form->addRow(tr("File &names:"), pattern_);
  form->addRow(tr("&Text:"), text_);
  auto* textRow = new QHBoxLayout;
  textRow->addWidget(matchCase_);
  textRow->addWidget(regex_);
  textRow->addStretch();
  textRow->addWidget(find_);
  form->addRow(QString(), textRow);
  status_ = new QLabel;
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(results_, 1);
  layout->addWidget(status_);
  resize(900, 480);
}

void FindInLogsDialog::CreateShortcuts() {
  auto* next = new QShortcut(QKeySequence(Qt::Key_F4), this);
  connect(next, &QShortcut::activated, this, [this] { StepThroughResults(true); });
  auto* previous = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F4), this);
  connect(previous, &QShortcut::activated, this, [this] { StepThroughResults(false); });
}

void FindInLogsDialog::BrowseFolder() {
  const QString folder = QFileDialog::getExistingDirectory(this, tr("Folder to search"), Folder());
  if (!folder.isEmpty()) SetFolder(folder);
}

void FindInLogsDialog::SetFolder(const QString& folder) {
  folder_->setText(QDir::toNativeSeparators(folder));
}

QString FindInLogsDialog::Folder() const {
  return QDir::fromNativeSeparators(folder_->text());
}

void FindInLogsDialog::SetText(const QString& text) {
  text_->setText(text);
}

void FindInLogsDialog::SetSubfolders(bool on) {
  subfolders_->setChecked(on);
}

void FindInLogsDialog::SetRegex(bool on) {
  regex_->setChecked(on);
}

bool FindInLogsDialog::Searching() const {
  return search_->Running();
}

void FindInLogsDialog::Start() {
  search_->Cancel();
  results_->Restart(Folder());
  files_ = 0;
  bytes_ = bytesDone_ = 0;
  searched_ = {text_->text(), regex_->isChecked(), matchCase_->isChecked(), false};
  if (searched_.Text.isEmpty() || Folder().isEmpty()) {
    status_->setText(tr("Give a folder and a text to find."));
    return;
  }
  if (!ShowIfInvalid()) return;
  QSettings().setValue(kFolderSetting, folder_->text());
  FolderSearchRequest request;
  request.Folder = std::filesystem::path(Folder().toStdU16String());
  request.Recursive = subfolders_->isChecked();
  request.Pattern = pattern_->text().isEmpty() ? "*" : pattern_->text().toStdString();
  request.Text = searched_.Text.toStdString();
  request.MatchCase = searched_.MatchCase;
  request.Matchers = MatchersFor(searched_);
  request.Encoding = encoding_();
  find_->setText(tr("&Stop"));
  status_->setText(tr("Searching..."));
  search_->Start(std::move(request));
}

bool FindInLogsDialog::ShowIfInvalid() {
  const TCompiledPattern compiled(searched_);
  const bool valid = !searched_.Regex || compiled.CanMatch();
  TintField(*text_, !valid);
  if (!valid) status_->setText(tr("Invalid expression: %1").arg(compiled.Error()));
  return valid;
}

void FindInLogsDialog::Stop() {
  if (!Searching()) return;
  search_->Cancel();
  ShowSummary(tr("Stopped. "));
}

void FindInLogsDialog::reject() {
  if (Searching()) {
    Stop();
    return;
  }
  QDialog::reject();
}

void FindInLogsDialog::ShowProgress() {
  const QLocale locale;
  status_->setText(tr("Searching: %1 of %2 files, %3 of %4")
                       .arg(locale.toString(results_->FilesSearched()), locale.toString(files_),
                            locale.formattedDataSize(bytesDone_),
                            locale.formattedDataSize(bytes_)));
}

namespace {

QString Count(qint64 count, const QString& one, const QString& many) {
  return (count == 1 ? one : many).arg(QLocale().toString(count));
}

}  // namespace

QString FindInLogsDialog::Summary() const {
  QString text = Count(results_->FilesSearched(), tr("%1 file searched"), tr("%1 files searched")) +
                 tr(", %1 with matches: ").arg(QLocale().toString(results_->FilesWithMatches())) +
                 Count(results_->Runs(), tr("%1 run"), tr("%1 runs")) + QStringLiteral(", ") +
                 Count(results_->Lines(), tr("%1 line"), tr("%1 lines"));
  if (results_->FilesSkipped() > 0)
    text += tr("; %1 skipped").arg(QLocale().toString(results_->FilesSkipped()));
  return text;
}

QString FindInLogsDialog::StatusText() const {
  return status_->text();
}

void FindInLogsDialog::ShowSummary(const QString& prefix) {
  find_->setText(tr("&Find"));
  status_->setText(prefix + Summary());
}

void FindInLogsDialog::StepThroughResults(bool forward) {
  QTreeWidgetItem* item = results_->NextRun(forward);
  if (item == nullptr) return;
  results_->setCurrentItem(item);
  Go(item);
}

void FindInLogsDialog::Go(QTreeWidgetItem* item) {
  QTreeWidgetItem* run = LogsResults::RunItem(item);
  if (run == nullptr) return;
  emit RunRequested(LogsResults::FileOf(*run), LogsResults::RowOf(*run), searched_);
}
