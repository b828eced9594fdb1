#include "StartupFileName.h"

QString WithoutEnclosingQuotes(const QString& text) {
  qsizetype end = text.size();
  while (end > 0 && (text[end - 1] == QLatin1Char(' ') || text[end - 1] == QLatin1Char('\t'))) {
    --end;
  }
  const bool quoted =
      end >= 2 && text.startsWith(QLatin1Char('"')) && text[end - 1] == QLatin1Char('"');
  return quoted ? text.mid(1, end - 2) : text;
}

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
  return WithoutEnclosingQuotes(RawArgumentText());
}

#else

QString StartupFileName(const CommandLine& command) {
  return command.file;
}

#endif
