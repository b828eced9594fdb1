#include "StartupFileName.h"

#ifdef Q_OS_WIN
#include <windows.h>

namespace {

// The command-line text after the program name, which Windows passes whole: the program name
// is either quoted or ends at the first blank, and the blanks after it separate it from the rest.
QString RawArgumentText() {
  const QString line = QString::fromWCharArray(GetCommandLineW());
  qsizetype i = 0;
  if (line.startsWith(QLatin1Char('"'))) {
    const qsizetype close = line.indexOf(QLatin1Char('"'), 1);
    i = close < 0 ? line.size() : close + 1;
  } else {
    while (i < line.size() && line[i] != QLatin1Char(' ') && line[i] != QLatin1Char('\t')) ++i;
  }
  while (i < line.size() && (line[i] == QLatin1Char(' ') || line[i] == QLatin1Char('\t'))) ++i;
  return line.mid(i);
}

}  // namespace

QString StartupFileName(const CommandLine& command) {
  if (command.fileAfterDoubleDash || command.follow) return command.file;
  QString name = RawArgumentText();
  // A Windows file name cannot hold a double quote, so a quoted name is only ever the quotes
  // that shells and file associations put around a path with blanks.
  if (name.size() >= 2 && name.startsWith(QLatin1Char('"')) && name.endsWith(QLatin1Char('"'))) {
    name = name.mid(1, name.size() - 2);
  }
  return name;
}

#else

QString StartupFileName(const CommandLine& command) {
  return command.file;
}

#endif
