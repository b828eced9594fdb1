#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>

// Watches one file and reports when it has changed on disk. A writer that appends in many
// small writes makes one report, after the changes have paused for a moment. A file that is
// replaced (written to a new name and renamed over the old one) or deleted and created again
// is followed under its name.
class TFileFollower : public QObject {
  Q_OBJECT

 public:
  static constexpr int kQuietMilliseconds = 250;

  explicit TFileFollower(QObject* parent = nullptr);

  // Starts watching `path`, or stops watching for an empty path.
  void Follow(const QString& path);
  QString Path() const { return path_; }

 signals:
  void Changed(const QString& path);

 private:
  void Rewatch();

  QString path_;
  QFileSystemWatcher watcher_;
  QTimer quiet_;
};
