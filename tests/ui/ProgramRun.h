#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// One run of the real program in a headless mode, as a script would run it.
struct ProgramRun {
  bool finished = false;  // it started and exited on its own: no hang, no crash
  int exitCode = -1;
  QByteArray out;
  QByteArray errors;
  QString problem;  // why it did not finish, for the message of a failed check
};

// Runs the program with `arguments` in `workingFolder` (empty: this process's own), with no
// input. `launcher` goes in front of the program, such as a command that runs it as another
// user. A run that does not end within a generous bound is killed and reported as hung.
ProgramRun RunProgram(const QStringList& arguments, const QString& workingFolder = {},
                      const QStringList& launcher = {});
