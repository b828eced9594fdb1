#pragma once

#include <array>
#include <cstdint>
#include <string>

// One script run found in a log file. The texts are the bytes cut from the log, undecoded.
struct RunsInfo {
  std::string DateTime;
  std::string Script;
  std::string ScriptType;
  std::string ScriptFilename;
  int32_t ScriptIndex = 0;  // position in ScriptParts of the script of the run's entry
  int32_t LogIndex = 0;     // position in RunLogs of the run's own log lines
};

// The four texts of a run in the order of the runs table's columns after "Run".
inline std::array<const std::string*, 4> TableTexts(const RunsInfo& run) {
  return {&run.DateTime, &run.Script, &run.ScriptType, &run.ScriptFilename};
}
