#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <memory>
#include <optional>

#include "FileWork.h"
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
//
// Each look runs on a thread of its own (FileWork), since opening a file on a share whose server
// stops answering blocks until the system gives up; a look that hangs is told (Answering). A file
// that another program keeps locked is looked at again next time.
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

  // Starts watching `path`, or stops watching for an empty path. `known` is the file as the
  // caller knows it, from which changes count; without it, the first look finds what counts.
  void Follow(const QString& path, std::optional<ProbedFile> known = std::nullopt);
  QString Path() const { return path_; }

 signals:
  void Changed(const QString& path);
  // A look at the file has not come back for a while (false), or has come back after that (true).
  void Answering(bool answering);

 private:
  void Report();
  // Starts a look at the file; `asBaseline`: what it finds is what the file is known to be, no
  // change.
  void Look(bool asBaseline);
  void TakeLook(const FileLook& found);
  void Watch();
  void Rewatch();
  // The file has changed: the report is due when it has been quiet a while, or waited too long.
  void Pending();

  QString path_;
  std::optional<ProbedFile> seen_;  // as the last poll or report found the file
  FileWork* looks_;
  bool baseline_ = false;  // the look that is out, or the next one, finds no change
  QTimer poll_;
  std::unique_ptr<QFileSystemWatcher> watcher_;  // only while the system's notifications are used
  QTimer report_;
  QElapsedTimer firstPending_;  // since the first change not yet reported
};
