#include "LogsResults.h"

#include <QDir>
#include <QHeaderView>

namespace {

constexpr int kFileRole = Qt::UserRole;
constexpr int kRowRole = Qt::UserRole + 1;

QString FromPath(const std::filesystem::path& path) {
  return QDir::toNativeSeparators(QString::fromStdU16String(path.generic_u16string()));
}

}  // namespace

LogsResults::LogsResults(QWidget* parent) : QTreeWidget(parent) {
  setHeaderLabels(
      {tr("File"), tr("Run"), tr("Date/Time"), tr("Script"), tr("Outcome"), tr("Matches")});
  setRootIsDecorated(true);
  setUniformRowHeights(true);
  setAllColumnsShowFocus(true);
  header()->setStretchLastSection(false);
  header()->setSectionResizeMode(0, QHeaderView::Stretch);
}

void LogsResults::Restart(const QString& folder) {
  clear();
  folder_ = folder;
  searched_ = withMatches_ = skipped_ = runs_ = 0;
  lines_ = 0;
}

void LogsResults::Add(const FileMatches& found) {
  ++searched_;
  if (!found.Skipped.empty()) {
    ++skipped_;
    auto* item = new QTreeWidgetItem(
        this,
        {tr("%1 - skipped: %2").arg(FromPath(found.File), QString::fromStdString(found.Skipped))});
    item->setFirstColumnSpanned(true);
    return;
  }
  if (found.Runs.empty()) return;
  ++withMatches_;
  auto* fileItem = new QTreeWidgetItem(this, {FromPath(found.File)});
  fileItem->setData(
      0, kFileRole,
      QDir(folder_).filePath(QString::fromStdU16String(found.File.generic_u16string())));
  fileItem->setData(0, kRowRole, -1);
  AddRuns(*fileItem, found);
  fileItem->setExpanded(true);
}

void LogsResults::AddRuns(QTreeWidgetItem& fileItem, const FileMatches& found) {
  for (const RunMatch& run : found.Runs) {
    auto* item = new QTreeWidgetItem(
        &fileItem, {QString(), QString::number(run.Row + 1), QString::fromStdString(run.DateTime),
                    QString::fromStdString(run.Script),
                    QString::fromUtf8(OutcomeName(run.Outcome).data(),
                                      static_cast<qsizetype>(OutcomeName(run.Outcome).size())),
                    QString::number(run.Matches)});
    item->setData(0, kFileRole, fileItem.data(0, kFileRole));
    item->setData(0, kRowRole, static_cast<int>(run.Row));
    ++runs_;
    lines_ += static_cast<qint64>(run.Matches);
  }
}

QString LogsResults::FileOf(const QTreeWidgetItem& item) {
  return item.data(0, kFileRole).toString();
}

int LogsResults::RowOf(const QTreeWidgetItem& item) {
  return item.data(0, kRowRole).toInt();
}

QTreeWidgetItem* LogsResults::RunItem(QTreeWidgetItem* item) {
  if (item == nullptr || FileOf(*item).isEmpty()) return nullptr;
  return RowOf(*item) >= 0 ? item : item->child(0);
}

QList<QTreeWidgetItem*> LogsResults::RunItems() const {
  QList<QTreeWidgetItem*> items;
  for (int file = 0; file < topLevelItemCount(); ++file) {
    QTreeWidgetItem* fileItem = topLevelItem(file);
    for (int run = 0; run < fileItem->childCount(); ++run) items << fileItem->child(run);
  }
  return items;
}

QTreeWidgetItem* LogsResults::NextRun(bool forward) const {
  const QList<QTreeWidgetItem*> items = RunItems();
  if (items.isEmpty()) return nullptr;
  const qsizetype count = items.size();
  qsizetype at = items.indexOf(currentItem());
  if (at < 0) {
    // From a file entry, the first step goes to its own first run.
    const qsizetype own = items.indexOf(RunItem(currentItem()));
    if (own >= 0) return forward ? items[own] : items[(own - 1 + count) % count];
    return forward ? items.first() : items.last();
  }
  return items[((forward ? at + 1 : at - 1) + count) % count];
}
