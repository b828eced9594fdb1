#pragma once

#include <chrono>

#include "LogTextWriter.h"

// The instrument's wall clock while a made-up log is written: it only moves forward, so the
// messages of a log are in time order as in a real one.
class SimulatedClock {
 public:
  SimulatedClock();

  void AdvanceMilliseconds(int milliseconds) { now_ += std::chrono::milliseconds(milliseconds); }
  // Moves to the start of a later second, so that the next run's start time differs from every
  // earlier one.
  void AdvanceToNextSecond(int extraSeconds);

  // "2026-11-30 14:02:11"
  void WriteDateTime(LogTextWriter& out) const;
  // Writes the stamp that begins every message, "14:02:11.204" and two blanks, and returns `out`
  // for the message text.
  LogTextWriter& StartMessage(LogTextWriter& out) const;

 private:
  std::chrono::sys_time<std::chrono::milliseconds> now_;
};
