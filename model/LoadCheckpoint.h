#pragma once

#include <cstddef>
#include <cstdint>

#include "LineSpan.h"
#include "RunOutcome.h"
#include "RunsInfo.h"
#include "TextEncoding.h"

// The states of the parser: what it does with the line it stands on.
enum class ParseState : uint8_t {
  SeekingEntry,
  ScriptText,
  BetweenRuns,
  RunHeader,
  RunLog,
  Stopped
};

// Where a parse can go on from when bytes are appended to the text: the parser's state at the
// last point up to which nothing it had read can change, and what the store held there. Only
// the last script, run log and run (and its outcome) can still change after that point; every
// other change is an append, so this much is enough to put the store back as it was there.
struct ParseCheckpoint {
  ParseState State = ParseState::SeekingEntry;
  uint64_t Offset = 0;  // where the line the parser stands on starts in the file
  size_t ScriptParts = 0;
  size_t RunLogs = 0;
  size_t Runs = 0;
  LineSpan LastScript;
  LineSpan LastLog;
  RunsInfo LastRun;
  RunOutcome LastOutcome = RunOutcome::Open;
  // The file's bytes [OpenLineFrom, OpenLineTo) hold no line end: the last line the last parse
  // read had none yet, and the next parse need not look for one there again.
  uint64_t OpenLineFrom = 0;
  uint64_t OpenLineTo = 0;
};

// What a load leaves for taking in bytes appended to the log later without a full load.
struct LoadCheckpoint {
  bool Valid = false;  // the store was loaded whole and has only taken in appended bytes since
  EncodingChoice Choice = EncodingChoice::Auto;
  Utf8Scan Utf8;  // of the whole text, with the Auto choice
  ParseCheckpoint Parse;
};
