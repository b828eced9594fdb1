#pragma once

#include <QString>
#include <atomic>
#include <vector>

#include "DiffRows.h"
#include "LineDecoder.h"
#include "LineTimes.h"
#include "MaskRules.h"
#include "RunLines.h"
#include "TextEncoding.h"

struct LogStore;

// One of the two runs of a comparison, as it was read for it.
struct ComparedRun {
  int Row = 0;    // the table row, from 0
  QString Title;  // "run 7, 2026-11-30 16:47:03, Prime Pump A"
  RunLines Log;
  RunLines Script;
  std::vector<RunClock::LineTime> Times;  // of each log line
};

// A run compared with a baseline run: their log lines, aligned by a diff of the masked lines,
// and their script texts, aligned by a diff of the lines as they are (a changed number in a
// script is a change that counts).
struct RunComparison {
  ComparedRun Baseline;
  ComparedRun Run;
  DiffRows Log;
  DiffRows Script;
  Encoding TextEncoding = Encoding::Windows1252;
  MaskRules Rules;
};

// What to compare, taken from the store on the GUI thread, to be read and compared on another.
struct ComparisonRequest {
  struct Side {
    int Row = 0;
    QString Title;
    RunSource Log;
    RunSource Script;
  };
  Side Baseline;
  Side Run;
  Encoding TextEncoding = Encoding::Windows1252;
  MaskRules Rules;

  // True when the runs are read from the store's text, which must then stay as it is until
  // they have been read; false when they are read from the file of an indexed store.
  bool ReadsStore() const { return Baseline.Log.ReadsStore(); }

  // Table rows `runRow` and `baselineRow`, from 0, which must be rows of `store`.
  static ComparisonRequest For(const LogStore& store, int runRow, int baselineRow,
                               const MaskRules& rules);
};

// Reads both runs and compares them; nothing when `stop` is set first, which is looked at every
// few thousand lines. Throws what reading an indexed store's file throws (RunSource::Read), and
// std::bad_alloc.
std::optional<RunComparison> CompareRuns(const ComparisonRequest& request,
                                         const std::atomic<bool>& stop);
