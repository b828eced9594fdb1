#pragma once

#include <QString>

#include "CommandLine.h"

// The name of the file the viewer opens at start. On Windows it is the raw command-line text
// after the program name, so that a name with blanks needs no quotes; elsewhere it is the
// arguments joined by single blanks.
QString StartupFileName(const CommandLine& command);

// The raw argument text as the viewer's file name on Windows: a Windows file name cannot hold a
// double quote, so one pair of quotes around the whole text (blanks may follow the closing one)
// is only ever what shells and file associations put around a path with blanks, and goes.
// Anything else stays exactly as it is.
QString WithoutEnclosingQuotes(const QString& text);
