#pragma once

#include "LogTextWriter.h"
#include "Random.h"

// Where a running script stands, for the progress that its messages report.
struct RunProgress {
  int step;
  int steps;
};

// Writes the text of one message that a running script logs, after its time stamp, and ends the
// line: pipetting, temperatures, plate moves, and now and then a warning.
void WriteRunMessage(LogTextWriter& out, Random& random, RunProgress progress);
