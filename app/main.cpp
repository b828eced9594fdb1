#include <QCoreApplication>
#include <cstdio>
#include <iostream>
#include <optional>

#include "CommandLine.h"
#ifdef Q_OS_WIN
#include "ConsoleOutput.h"
#endif
#include "HeadlessModes.h"
#include "SelectRunSender.h"
#include "StartupFileName.h"
#include "StoreLimit.h"
#include "Viewer.h"

#ifdef Q_OS_WIN
#include <windows.h>
// shellapi.h needs windows.h first.
#include <shellapi.h>
#endif

namespace {

#ifdef Q_OS_WIN
// argv holds the arguments in the ANSI code page, which cannot spell every file name; the
// command line itself is UTF-16.
QStringList ArgumentsAfterProgramName(int /*argc*/, char** /*argv*/) {
  int count = 0;
  wchar_t** words = CommandLineToArgvW(GetCommandLineW(), &count);
  QStringList arguments;
  if (words == nullptr) return arguments;
  for (int i = 1; i < count; ++i) arguments << QString::fromWCharArray(words[i]);
  LocalFree(words);
  return arguments;
}
#else
QStringList ArgumentsAfterProgramName(int argc, char** argv) {
  QStringList arguments;
  for (int i = 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  return arguments;
}
#endif

int ReportWrongUsage(const CommandLine& command) {
  std::cerr << "message-log-display: " << command.error.toUtf8().constData() << "\n\n"
            << UsageText().toUtf8().constData();
  return 2;
}

// The command-line modes print the runs' fields and search or dump their lines in file order,
// which an index serves as well as the whole text in memory, in a small share of the memory and
// no more time: they index every file unless told otherwise.
std::optional<uint64_t> InMemoryLimitFor(const CommandLine& command) {
  if (command.inMemoryLimit) return command.inMemoryLimit;
  const bool prints =
      command.mode == CommandLine::Mode::Dump || command.mode == CommandLine::Mode::List ||
      command.mode == CommandLine::Mode::FindInLogs || command.mode == CommandLine::Mode::Compare;
  return prints ? std::optional<uint64_t>(0) : std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
#ifdef Q_OS_WIN
  PrintUtf8OnConsoles();
#endif
  const CommandLine command = ParseCommandLine(ArgumentsAfterProgramName(argc, argv));
  SetInMemoryLimit(InMemoryLimitFor(command));
  switch (command.mode) {
    case CommandLine::Mode::Viewer:
      return RunViewer(argc, argv, StartupFileName(command), command.follow, command.inMemoryLimit);
    case CommandLine::Mode::Dump:
    case CommandLine::Mode::List:
      return RunHeadlessMode(command);
    case CommandLine::Mode::FindInLogs:
      return RunFindInLogs(command);
    case CommandLine::Mode::Compare:
      return RunCompare(command);
    case CommandLine::Mode::SelectRun: {
      const QCoreApplication app(argc, argv);
      return SendSelectRun(command.row, command.pid);
    }
    case CommandLine::Mode::Help:
      std::cout << UsageText().toUtf8().constData();
      return 0;
    case CommandLine::Mode::Version:
      std::cout << VersionText().toUtf8().constData();
      return 0;
    case CommandLine::Mode::WrongUsage:
      break;
  }
  return ReportWrongUsage(command);
}
