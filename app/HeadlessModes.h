#pragma once

#include "CommandLine.h"

// --dump and --list: load the file, fold the runs into rows (searching their logs for --find)
// and print. Returns the exit code.
int RunHeadlessMode(const CommandLine& command);

// --find-in-logs: Find in runs over the logs of a folder, one line per matching row with the file
// it is in. Returns 0 when something matched, 1 when nothing did, 2 when the folder cannot be
// searched.
int RunFindInLogs(const CommandLine& command);

// --compare: a unified diff of the log lines of one row's run against a baseline row's, masked
// as the viewer masks them. Returns 0 when they are the same after masking, 1 when they differ,
// 2 when the file cannot be read or there is no baseline.
int RunCompare(const CommandLine& command);
