#pragma once

#include <cstdint>

struct LogStore;

// Splits store.Text into entries and runs and appends them to ScriptParts, RunLogs and Runs.
// Any bytes at all parse, in one pass and in time proportional to their size. Leaves in
// store.Checkpoint.Parse where a parse can go on from when bytes are appended to the text.
void ParseLog(LogStore& store);

// Goes on from store.Checkpoint.Parse, after bytes were appended to store.Text since the parse
// that left it: puts back the store as it stood there and parses the rest of the text, a few
// lines before the old end and the new bytes. The store is then what ParseLog of the whole text
// makes, checkpoint included.
void ResumeParse(LogStore& store);

// The same, as if the text ended at the file's byte `end` (at least the checkpoint's offset): a
// load in pieces parses the text up to where it has got so far.
void ResumeParseUpTo(LogStore& store, uint64_t end);
