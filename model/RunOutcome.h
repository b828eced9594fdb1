#pragma once

#include <string_view>

// How a run's log ended: at one of the two end lines, or at a new entry or the end of the file
// (the run is still going, or the log was cut short).
enum class RunOutcome { Open, Finished, Stopped };

// "open", "finished" or "stopped": the words the table and the command line show.
constexpr std::string_view OutcomeName(RunOutcome outcome) {
  switch (outcome) {
    case RunOutcome::Finished:
      return "finished";
    case RunOutcome::Stopped:
      return "stopped";
    case RunOutcome::Open:
      break;
  }
  return "open";
}
