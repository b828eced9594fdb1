#pragma once

#include <ostream>

#include "LogStore.h"

// The store as one JSON object: scriptParts, runLogs, runs, rowToRun and encoding. Texts are
// decoded with the store's encoding and written as UTF-8; every byte of the log shows.
void WriteStoreJson(std::ostream& out, const LogStore& store);

// The runs table as tab-separated text: a header line, then one line per row.
void WriteRunsTable(std::ostream& out, const LogStore& store);

// Appends `text` as one field of tab-separated text: backslash, tab, CR and LF written as \\,
// \t, \r and \n, so that a field never breaks the columns or the line.
void AppendTableField(std::string& out, std::string_view text);
