#pragma once

#include <QTreeWidget>

#include "FolderSearch.h"

// The results of Find in logs: an entry per file with matches, in the order the files were
// searched, and under it a line per run with matches; a file that could not be read shows the
// reason instead of runs.
class LogsResults : public QTreeWidget {
  Q_OBJECT

 public:
  explicit LogsResults(QWidget* parent = nullptr);

  // Empties the list for a search of `folder`.
  void Restart(const QString& folder);
  void Add(const FileMatches& found);

  // Where a run line leads: the log's full path and the table row (from 0).
  static QString FileOf(const QTreeWidgetItem& item);
  static int RowOf(const QTreeWidgetItem& item);
  // The first run line of a file entry, or the run line itself; null for a skipped file.
  static QTreeWidgetItem* RunItem(QTreeWidgetItem* item);

  // The run line after (or before) the current one, going on from the other end; null when
  // there is none.
  QTreeWidgetItem* NextRun(bool forward) const;

  int FilesSearched() const { return searched_; }
  int FilesWithMatches() const { return withMatches_; }
  int FilesSkipped() const { return skipped_; }
  int Runs() const { return runs_; }
  qint64 Lines() const { return lines_; }

 private:
  void AddRuns(QTreeWidgetItem& fileItem, const FileMatches& found);
  QList<QTreeWidgetItem*> RunItems() const;

  QString folder_;
  int searched_ = 0;
  int withMatches_ = 0;
  int skipped_ = 0;
  int runs_ = 0;
  qint64 lines_ = 0;
};
