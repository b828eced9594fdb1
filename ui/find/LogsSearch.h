#pragma once

#include <QObject>
#include <atomic>
#include <thread>

#include "FolderSearch.h"

// Find in logs off the GUI thread: lists the folder, then loads and searches one file after the
// other in a thread of its own, and reports each file on the GUI thread as it is done.
class LogsSearch : public QObject {
  Q_OBJECT

 public:
  explicit LogsSearch(QObject* parent = nullptr);
  ~LogsSearch() override;
  LogsSearch(const LogsSearch&) = delete;
  LogsSearch& operator=(const LogsSearch&) = delete;

  // Searches as `request` asks, after cancelling a search that runs.
  void Start(FolderSearchRequest request);
  // Stops a running search and waits for its thread, which ends within a piece of the file it
  // searches; nothing of it is reported after this.
  void Cancel();
  bool Running() const { return thread_.joinable(); }

 signals:
  // The folder holds `files` files to search, of `bytes` bytes together.
  void Listed(int files, qint64 bytes);
  // The next file is searched.
  void FileDone(const FileMatches& found);
  // Every file has been searched.
  void Finished();
  // The search cannot go on: the folder cannot be listed, or the search failed (the reason
  // names it); nothing else comes.
  void Failed(const QString& reason);

 private:
  // The thread's body: the search, with whatever it throws reported as a failure.
  void Search(const FolderSearchRequest& request, unsigned generation);
  void SearchFiles(const FolderSearchRequest& request, unsigned generation);
  void Fail(const QString& reason, unsigned generation);
  // Runs `deliver` on the GUI thread unless the search has been cancelled by then.
  template <typename Deliver>
  void Post(Deliver deliver, unsigned generation);

  std::thread thread_;
  std::atomic<bool> cancelled_ = false;
  // Counts the searches started; a report of an earlier one that was still on its way when the
  // search was cancelled is dropped on arrival.
  unsigned generation_ = 0;
};
