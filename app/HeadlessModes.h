#pragma once

#include "CommandLine.h"

// --dump and --list: load the file, fold the runs into rows (searching their logs for --find)
// and print. Returns the exit code.
int RunHeadlessMode(const CommandLine& command);
