#pragma once

#include <QString>

// Runs the viewer window until it is closed; `startupFile` (possibly empty) is opened when the
// window is first shown, and followed as it grows when `follow` is set. Returns the program's
// exit code.
int RunViewer(int& argc, char** argv, const QString& startupFile, bool follow = false);
