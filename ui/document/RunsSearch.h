#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <thread>
#include <vector>

#include "LineSpan.h"
#include "SpanReader.h"
#include "TextSearch.h"

// Find in runs off the GUI thread: counts, row by row, the lines of each row's run log that hold
// a text, in a thread of its own, and reports the counts on the GUI thread as they come. The
// thread reads only the log bytes of the spans it was given, through its own reader, which for a
// store in memory reads bytes that must not change until the search has finished or been
// cancelled, and for an indexed store reads the file.
class RunsSearch : public QObject {
  Q_OBJECT

 public:
  explicit RunsSearch(QObject* parent = nullptr);
  ~RunsSearch() override;
  RunsSearch(const RunsSearch&) = delete;
  RunsSearch& operator=(const RunsSearch&) = delete;

  // Counts the matches of `search` in `rowLogs` (the run logs of the rows from `firstRow` on),
  // which `reader` reads, after cancelling a search that runs.
  void Start(const TextSearch& search, SpanReader reader, std::vector<LineSpan> rowLogs,
             int firstRow = 0);
  // Stops a running search and waits for its thread; nothing of it is reported after this.
  void Cancel();

 signals:
  // The rows from `firstRow` on have these counts.
  void Counted(int firstRow, const std::vector<size_t>& counts);
  // How much of the bytes to search has been searched, in percent.
  void Progressed(int percent);
  void Finished();
  // The file of an indexed store is not the store's any more; the search has stopped.
  void FileReplaced(const QString& message);

 private:
  // What the thread found since its last report.
  struct Report {
    int firstRow = 0;
    std::vector<size_t> counts;
    int percent = 0;
    bool last = false;
    QString failure;  // why the search stopped before the end
  };

  void Search(const TextSearch& search, SpanReader& reader, const std::vector<LineSpan>& rowLogs,
              int firstRow, unsigned generation);
  void Count(const TextSearch& search, SpanReader& reader, const std::vector<LineSpan>& rowLogs,
             Report& report, unsigned generation);
  void Post(Report report, unsigned generation);
  void Deliver(const Report& report);

  std::thread thread_;
  std::atomic<bool> cancelled_ = false;
  // Counts the searches started; a report of an earlier one that was still on its way when the
  // search was cancelled is dropped on arrival.
  unsigned generation_ = 0;
};
