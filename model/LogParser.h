#pragma once

struct LogStore;

// Splits store.Text into entries and runs and appends them to ScriptParts, RunLogs and Runs.
// Any bytes at all parse, in one pass and in time proportional to their size.
void ParseLog(LogStore& store);
