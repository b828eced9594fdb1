#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <memory>
#include <optional>

#include "TextBuffer.h"

class QFileSystemWatcher;

// Watches one file and reports when it has changed on disk. Reports are throttled, not only
// debounced: a change is reported once the file has been quiet for kQuietMilliseconds, but never
// later than kLongestWaitMilliseconds after the first change not yet reported, so a writer that
// never pauses still has its changes shown at that pace. A file that is replaced (written to a
// new name and renamed over the old one) or deleted and created again is followed under its
// name.
//
// Changes are seen by a poll of the file's size and identity every kPollMilliseconds, on every
// system: the system's notifications miss writes made on another machine to a network share,
// and on Windows they come late or never while the writer keeps its handle open. Where the
// system's notifications are used beside it (by default everywhere but Windows), they only make
// a local change show sooner. On Windows they are not used at all: Qt's watcher holds a change
// notification handle on the folder, which stops the user from renaming or moving its parents.
class TFileFollower : public QObject {
  Q_OBJECT

 public:
  static constexpr int kQuietMilliseconds = 100;
  // Leaves time for the window to show what changed within half a second.
  static constexpr int kLongestWaitMilliseconds = 400;
  // Four opens a second cost nothing that can be measured, and a change still shows within
  // half a second.
  static constexpr int kPollMilliseconds = 250;

  explicit TFileFollower(QObject* parent = nullptr);
  ~TFileFollower() override;

  // Whether followers that start following from now on use the system's notifications beside
  // the poll. Tests switch it to see either way work.
  static void UseSystemNotifications(bool use);
  static bool UsesSystemNotifications();

  // Starts watching `path`, or stops watching for an empty path.
  void Follow(const QString& path);
  QString Path() const { return path_; }

 signals:
  void Changed(const QString& path);

 private:
  void Report();
  void Poll();
  std::optional<ProbedFile> Probe() const;
  void Watch();
  void Rewatch();
  // The file has changed: the report is due when it has been quiet a while, or waited too long.
  void Pending();

  QString path_;
  std::optional<ProbedFile> seen_;  // as the last poll or report found the file
  QTimer poll_;
  std::unique_ptr<QFileSystemWatcher> watcher_;  // only while the system's notifications are used
  QTimer report_;
  QElapsedTimer firstPending_;  // since the first change not yet reported
};
