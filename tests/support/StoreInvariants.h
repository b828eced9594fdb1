#pragma once

#include <string>

#include "LogStore.h"

// Checks what every load must leave behind: indices in range, one log per run in run order,
// scripts in file order, line lists inside the text and as long as they say, and a RowToRun
// that reaches every run by its row or by folding. Returns an empty string when all hold, else
// what is broken. It reads every line, so it is for tests and fuzzing, not for the window.
std::string CheckStoreInvariants(const LogStore& store);
