#pragma once

#include <QString>

// Runs the viewer window until it is closed; `startupFile` (possibly empty) is opened when the
// window is first shown. Returns the program's exit code.
int RunViewer(int& argc, char** argv, const QString& startupFile);
