#pragma once

#include <QString>

#include "CommandLine.h"

// The name of the file the viewer opens at start. On Windows it is the raw command-line text
// after the program name, so that a name with blanks needs no quotes; elsewhere it is the
// arguments joined by single blanks.
QString StartupFileName(const CommandLine& command);
