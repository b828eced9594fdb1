#pragma once

#include <QtGlobal>
#include <optional>

// Asks a running viewer of this user to select the table row `row` (counted from 1): the viewer
// with process id `pid`, or else the one started last. Waits for the viewer's answer and returns
// the exit code: 0 once it has answered, 1 (with the reason on stderr) when no viewer took the
// request. Needs a QCoreApplication.
int SendSelectRun(qint32 row, std::optional<qint64> pid);
