#include "ProgramRun.h"

#include <QProcess>

namespace {

// Only a hang should reach this: the largest input the tests give the program is 200 MB, which
// it reads in about a second, and ten times slower in the sanitizer build.
constexpr int kHangMilliseconds = 120'000;

}  // namespace

ProgramRun RunProgram(const QStringList& arguments, const QString& workingFolder,
                      const QStringList& launcher) {
  const QStringList command = launcher + QStringList{QStringLiteral(MLD_EXECUTABLE)} + arguments;
  QProcess program;
  program.setWorkingDirectory(workingFolder);
  program.setStandardInputFile(QProcess::nullDevice());
  program.start(command.first(), command.mid(1));

  ProgramRun run;
  if (!program.waitForStarted()) {
    run.problem = "it did not start: " + program.errorString();
    return run;
  }
  if (!program.waitForFinished(kHangMilliseconds)) {
    program.kill();
    program.waitForFinished();
    run.problem = QStringLiteral("it hung and was killed");
    return run;
  }
  run.out = program.readAllStandardOutput();
  run.errors = program.readAllStandardError();
  if (program.exitStatus() != QProcess::NormalExit) {
    run.problem = "it crashed: " + QString::fromLocal8Bit(run.errors);
    return run;
  }
  run.finished = true;
  run.exitCode = program.exitCode();
  return run;
}
