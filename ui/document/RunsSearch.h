#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <thread>
#include <vector>

#include "LineMatcher.h"
#include "LineSpan.h"
#include "RunSearch.h"
#include "SpanMatchCount.h"

// Find in runs off the GUI thread: counts, row by row, the lines of each row's run log that hold
// a text, in the parts SearchParts cuts the rows into, each on a thread of its own, and reports
// the counts on the GUI thread as they come, in row order. Each thread reads only the log bytes
// of the spans it was given, through its own reader, which for a store in memory reads bytes that
// must not change until the search has finished or been cancelled, and for an indexed store
// reads the file. A run's log is searched a block at a time, and the threads look at a stop
// between blocks, so that a cancel waits for at most a block's work however long a run is.
class RunsSearch : public QObject {
  Q_OBJECT

 public:
  explicit RunsSearch(QObject* parent = nullptr);
  ~RunsSearch() override;
  RunsSearch(const RunsSearch&) = delete;
  RunsSearch& operator=(const RunsSearch&) = delete;

  // What the searches before left counted.
  enum class Counts {
    Anew,
    // The store has only grown since, and the text searched for is the same: a row whose run's
    // log starts where it started then is counted on from the last line end searched, so that a
    // followed run that keeps growing is not searched again from its start each time.
    GoOn,
  };

  // Counts the lines that `matcher` matches in `rowLogs` (the run logs of the rows from `firstRow`
  // on, which `store` holds), after cancelling a search that runs.
  void Start(const std::shared_ptr<const LineMatcher>& matcher, const LogStore& store,
             std::vector<LineSpan> rowLogs, int firstRow = 0, Counts counts = Counts::Anew);
  // Stops a running search and waits for its threads, which each end the block they search;
  // nothing of it is reported after this.
  void Cancel();
  // Asks the threads to stop after the block they search, from any thread, without waiting.
  void Stop() { cancelled_ = true; }
  // The store is made anew: cancels, and nothing counted before is gone on from.
  void Forget();

  // For tests: called on a search thread after each block, with what its reader has read from
  // the file so far.
  void SetBlockSearched(std::function<void(uint64_t bytesRead)> blockSearched) {
    blockSearched_ = std::move(blockSearched);
  }

 signals:
  // The rows from `firstRow` on have these counts. Rows are reported in order, from the first.
  void Counted(int firstRow, const std::vector<size_t>& counts);
  // How much of the bytes to search has been searched, in percent.
  void Progressed(int percent);
  void Finished();
  // The file of an indexed store is not the store's any more; the search has stopped.
  void FileReplaced(const QString& message);
  // The search stopped for another reason, as for lack of memory.
  void Failed(const QString& message);

 private:
  // What a part's thread found since its last report.
  struct Report {
    size_t part = 0;
    std::vector<size_t> counts;
    int percent = 0;
    bool last = false;
    QString failure;  // why the search stopped before the end
    bool fileReplaced = false;
  };
  // A part as the GUI thread sees it: the counts it has that wait for the parts before it.
  struct PartCounts {
    int nextRow = 0;
    int endRow = 0;
    std::vector<size_t> held;
    bool done = false;
  };

  void Search(const LineMatcher& matcher, SearchPart& part, size_t index, unsigned generation);
  void SearchAndReport(const LineMatcher& matcher, SearchPart& part, size_t index,
                       unsigned generation);
  void Count(const LineMatcher& matcher, SearchPart& part, Report& report, unsigned generation);
  // One row's count, or nothing when the search stopped before its end.
  std::optional<size_t> CountRow(const LineMatcher& matcher, SearchPart& part, size_t row,
                                 const std::function<void()>& reportInTime);
  void Post(Report report, unsigned generation);
  void Deliver(const Report& report);
  void EmitCountsInOrder();
  void Join();

  std::vector<LineSpan> rowLogs_;
  int firstRow_ = 0;
  // By table row: how far the searches have counted its run's log. Each thread writes only the
  // rows of its part.
  std::vector<CountedLines> counted_;
  std::function<void(uint64_t)> blockSearched_;
  std::vector<SearchPart> parts_;
  std::vector<std::thread> threads_;
  std::vector<PartCounts> partCounts_;
  uint64_t total_ = 0;
  std::atomic<uint64_t> done_ = 0;
  std::atomic<bool> cancelled_ = false;
  std::atomic<bool> failed_ = false;  // one part could not read the file: the others stop too
  int shownPercent_ = 0;
  bool failureShown_ = false;
  // Counts the searches started; a report of an earlier one that was still on its way when the
  // search was cancelled is dropped on arrival.
  unsigned generation_ = 0;
};
