#include "MRUList.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QSettings>

namespace {

const QString kFilesKey = QStringLiteral("Files");

// A menu text shows '&' as a mnemonic marker unless it is doubled. Each entry's access key is
// the last digit of its number, so the tenth ("1&0") does not share the first one's.
QString MenuText(int number, const QString& fileName) {
  QString shown = QDir::toNativeSeparators(fileName);
  shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
  QString numbered = QString::number(number);
  numbered.insert(numbered.size() - 1, QLatin1Char('&'));
  return QStringLiteral("%1 %2").arg(numbered, shown);
}

}  // namespace

TMRUList::TMRUList(QObject* parent) : QObject(parent) {}

void TMRUList::SetMenuItem(QAction* menuItem) {
  menuItem_ = menuItem;
  RebuildMenu();
}

void TMRUList::SetSection(const QString& section) {
  section_ = section;
  Load();
  RebuildMenu();
}

void TMRUList::Add(const QString& fileName) {
  // Kept absolute, so that a name given relative to the folder the program started in still
  // opens the same file from the menu later.
  const QString entry = fileName.isEmpty() ? fileName : QFileInfo(fileName).absoluteFilePath();
  entries_.removeAll(entry);
  entries_.prepend(entry);
  while (entries_.size() > kMaxEntries) entries_.removeLast();
  Save();
  RebuildMenu();
}

void TMRUList::Load() {
  QSettings settings;
  settings.beginGroup(section_);
  entries_ = settings.value(kFilesKey).toStringList().mid(0, kMaxEntries);
  entries_.removeDuplicates();
}

void TMRUList::Save() const {
  QSettings settings;
  settings.beginGroup(section_);
  settings.setValue(kFilesKey, entries_);
}

void TMRUList::RebuildMenu() {
  qDeleteAll(entryActions_);
  entryActions_.clear();
  if (!menuItem_) return;
  QMenu* menu = qobject_cast<QMenu*>(menuItem_->parent());
  if (!menu) return;
  const QList<QAction*> actions = menu->actions();
  const qsizetype itemPosition = actions.indexOf(menuItem_);
  QAction* before = itemPosition + 1 < actions.size() ? actions[itemPosition + 1] : nullptr;
  for (int i = 0; i < entries_.size(); ++i) {
    auto* action = new QAction(MenuText(i + 1, entries_[i]), menu);
    const QString fileName = entries_[i];
    connect(action, &QAction::triggered, this, [this, fileName] { emit Click(this, fileName, 0); });
    menu->insertAction(before, action);
    entryActions_.append(action);
  }
}
