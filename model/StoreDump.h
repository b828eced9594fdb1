#pragma once

#include <optional>
#include <ostream>
#include <vector>

#include "LogStore.h"

// The store as one JSON object: scriptParts, runLogs, runs, rowToRun and encoding. Texts are
// decoded with the store's encoding and written as UTF-8; every byte of the log shows.
void WriteStoreJson(std::ostream& out, const LogStore& store);

// What --list adds to the five columns of the runs table.
struct RunsTableOptions {
  bool AllColumns = false;  // "Outcome" and "Lines" of each row's run
  // "Matches" as the last column, and only the rows with at least one: the number of lines of
  // each row's run that hold what --find looks for.
  std::optional<std::vector<size_t>> Matches;
  // With AllColumns, "Alerts" after "Lines": the alert lines of each row's run, by the highlight
  // rules given.
  std::optional<std::vector<size_t>> Alerts;
};

// The runs table as tab-separated text: a header line, then one line per row.
void WriteRunsTable(std::ostream& out, const LogStore& store, const RunsTableOptions& options = {});

// Appends `text` as one field of tab-separated text, as spreadsheets read it: as it is, or when
// it holds a tab, CR, LF or double quote, in double quotes with each inner one doubled, so that a
// field never breaks the columns or the line, and a Windows path reads as the user wrote it.
void AppendTableField(std::string& out, std::string_view text);
