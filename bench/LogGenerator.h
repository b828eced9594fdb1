#pragma once

#include <cstdint>

#include "LabCatalogue.h"
#include "LogTextWriter.h"
#include "Random.h"
#include "SimulatedClock.h"

// Writes a made-up message log of the control software: a file header, then entries, each a
// script text followed by the runs of that script. Every run starts in a later second than the
// one before, so no two runs share a date/time and each run is a row of its own. The same seed
// gives the same file.
class LogGenerator {
 public:
  // Writes the file header at once.
  LogGenerator(LogTextWriter& out, uint64_t seed);

  // Entries of 0 to 6 runs of 50 to 1500 messages each, until the file holds at least `bytes`.
  void WriteUntilSize(uint64_t bytes);
  // `runs` runs of 2 to 6 messages each, 1 to 6 in an entry.
  void WriteShortRuns(int64_t runs);
  // One entry with one run of `messages` messages.
  void WriteOneRun(int messages);

  int64_t Entries() const { return entries_; }
  int64_t Runs() const { return runs_; }

 private:
  struct RunLength {
    int fewest;
    int most;
  };

  void WriteFileHeader();
  void WriteEntry(int runs, RunLength length);
  void WriteRun(const LabCatalogue::Script& script, int messages, bool lastOfEntry);
  void WriteRunHeader(const LabCatalogue::Script& script);
  void WriteRunEnd(bool lastOfEntry);
  // Advances the clock a little and writes the stamp of the next message.
  LogTextWriter& NextMessage();

  LogTextWriter& out_;
  Random random_;
  SimulatedClock clock_;
  int64_t entries_ = 0;
  int64_t runs_ = 0;
};
