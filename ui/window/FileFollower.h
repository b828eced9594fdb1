#pragma once

#include <QElapsedTimer>
#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>

// Watches one file and reports when it has changed on disk. Reports are throttled, not only
// debounced: a change is reported once the file has been quiet for kQuietMilliseconds, but never
// later than kLongestWaitMilliseconds after the first change not yet reported, so a writer that
// never pauses still has its changes shown at that pace. Nothing runs while the file does not
// change: the system tells of changes, and nothing polls. A file that is replaced (written to a
// new name and renamed over the old one) or deleted and created again is followed under its
// name.
class TFileFollower : public QObject {
  Q_OBJECT

 public:
  static constexpr int kQuietMilliseconds = 100;
  // Leaves time for the window to show what changed within half a second.
  static constexpr int kLongestWaitMilliseconds = 400;

  explicit TFileFollower(QObject* parent = nullptr);

  // Starts watching `path`, or stops watching for an empty path.
  void Follow(const QString& path);
  QString Path() const { return path_; }

 signals:
  void Changed(const QString& path);

 private:
  void Rewatch();
  // The file has changed: the report is due when it has been quiet a while, or waited too long.
  void Pending();

  QString path_;
  QFileSystemWatcher watcher_;
  QTimer report_;
  QElapsedTimer firstPending_;  // since the first change not yet reported
};
