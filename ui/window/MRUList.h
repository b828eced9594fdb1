#pragma once

#include <QObject>
#include <QStringList>

class QAction;

// The recently used log files, most recent first, kept from one run of the program to the
// next with QSettings under the section name. The entries are offered in the menu of the menu
// item it is bound to, right after that item.
class TMRUList : public QObject {
  Q_OBJECT

 public:
  static constexpr int kMaxEntries = 10;

  explicit TMRUList(QObject* parent = nullptr);

  // The item after which the entries are offered; its menu must exist.
  void SetMenuItem(QAction* menuItem);
  // Where the entries are kept; they are read from there at once.
  void SetSection(const QString& section);

  // Puts the file first (moving it there if it is listed already) and keeps the list.
  void Add(const QString& fileName);
  QStringList Entries() const { return entries_; }

 signals:
  // The user chose an entry. The last argument carries nothing; it is there for handlers that
  // expect it.
  void Click(QObject* sender, const QString& fileName, int unused);

 private:
  void Load();
  void Save() const;
  void RebuildMenu();

  QAction* menuItem_ = nullptr;
  QString section_;
  QStringList entries_;
  QList<QAction*> entryActions_;
};
