#include "CommandLine.h"

#include <QCommandLineParser>

#include "Version.h"

namespace {

const QString kDump = QStringLiteral("dump");
const QString kList = QStringLiteral("list");
const QString kFollow = QStringLiteral("follow");
const QString kEncoding = QStringLiteral("encoding");
const QString kAllColumns = QStringLiteral("all-columns");
const QString kFind = QStringLiteral("find");
const QString kMatchCase = QStringLiteral("match-case");
const QString kSelectRun = QStringLiteral("select-run");
const QString kPid = QStringLiteral("pid");
const QString kHelp = QStringLiteral("help");
const QString kVersion = QStringLiteral("version");

CommandLine WrongUsage(const QString& why) {
  CommandLine command;
  command.mode = CommandLine::Mode::WrongUsage;
  command.error = why;
  return command;
}

CommandLine Viewer(const QStringList& nameParts) {
  CommandLine command;
  command.file = nameParts.join(QLatin1Char(' '));
  return command;
}

void AddOptions(QCommandLineParser& parser) {
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  parser.addOptions({
      {kDump, QString(), QStringLiteral("FILE")},
      {kList, QString(), QStringLiteral("FILE")},
      {kFollow, QString(), QStringLiteral("FILE")},
      {kEncoding, QString(), QStringLiteral("NAME")},
      {kAllColumns, QString()},
      {kFind, QString(), QStringLiteral("TEXT")},
      {kMatchCase, QString()},
      {kSelectRun, QString(), QStringLiteral("N")},
      {kPid, QString(), QStringLiteral("PID")},
      {kHelp, QString()},
      {kVersion, QString()},
  });
}

// What is wrong with the options that shape the table --list prints, if anything.
QString ListOptionsProblem(const QCommandLineParser& parser, const QString& mode) {
  for (const QString& option : {kAllColumns, kFind, kMatchCase}) {
    if (parser.isSet(option) && mode != kList) {
      return QStringLiteral("--%1 goes only with --list").arg(option);
    }
  }
  if (parser.isSet(kMatchCase) && !parser.isSet(kFind)) {
    return QStringLiteral("--match-case goes only with --find");
  }
  if (parser.isSet(kFind) && parser.value(kFind).isEmpty()) {
    return QStringLiteral("--find needs a text to find");
  }
  return {};
}

CommandLine FromParsedOptions(const QCommandLineParser& parser) {
  const QStringList modes = {kDump, kList, kFollow, kSelectRun, kHelp, kVersion};
  QStringList given;
  for (const QString& mode : modes) {
    if (parser.isSet(mode)) given << mode;
  }
  if (given.size() != 1)
    return WrongUsage(
        QStringLiteral("give exactly one of --dump, --list, --follow, "
                       "--select-run, --help, --version"));
  for (const QString& option : {kDump, kList, kFollow, kSelectRun, kEncoding, kPid, kFind}) {
    if (parser.values(option).size() > 1) {
      return WrongUsage(QStringLiteral("--%1 is given more than once").arg(option));
    }
  }
  const QString mode = given.first();
  if (parser.isSet(kEncoding) && mode != kDump && mode != kList) {
    return WrongUsage(QStringLiteral("--encoding goes only with --dump or --list"));
  }
  if (parser.isSet(kPid) && mode != kSelectRun) {
    return WrongUsage(QStringLiteral("--pid goes only with --select-run"));
  }
  if (const QString problem = ListOptionsProblem(parser, mode); !problem.isEmpty()) {
    return WrongUsage(problem);
  }

  CommandLine command;
  if (mode == kHelp) command.mode = CommandLine::Mode::Help;
  if (mode == kVersion) command.mode = CommandLine::Mode::Version;
  if (mode == kFollow) {
    command.file = parser.value(kFollow);
    command.follow = true;
  }
  if (mode == kDump || mode == kList) {
    command.mode = mode == kDump ? CommandLine::Mode::Dump : CommandLine::Mode::List;
    command.file = parser.value(mode);
    if (parser.isSet(kEncoding)) {
      const auto encoding = ParseEncodingChoice(parser.value(kEncoding).toStdString());
      if (!encoding)
        return WrongUsage(QStringLiteral("unknown encoding \"%1\"").arg(parser.value(kEncoding)));
      command.encoding = *encoding;
    }
    command.allColumns = parser.isSet(kAllColumns);
    if (parser.isSet(kFind)) command.find = parser.value(kFind);
    command.matchCase = parser.isSet(kMatchCase);
  }
  if (mode == kSelectRun) {
    command.mode = CommandLine::Mode::SelectRun;
    bool ok = false;
    command.row = parser.value(kSelectRun).toInt(&ok);
    if (!ok)
      return WrongUsage(QStringLiteral("--select-run needs a whole number, not \"%1\"")
                            .arg(parser.value(kSelectRun)));
    if (parser.isSet(kPid)) {
      const qint64 pid = parser.value(kPid).toLongLong(&ok);
      if (!ok || pid <= 0)
        return WrongUsage(
            QStringLiteral("--pid needs a process id, not \"%1\"").arg(parser.value(kPid)));
      command.pid = pid;
    }
  }
  return command;
}

// On Windows the viewer is a GUI program with no console, beside a console twin.
QString WhichProgramText() {
#ifdef Q_OS_WIN
  return QStringLiteral(
      "\n"
      "On Windows, message-log-display.exe is the viewer to start from Explorer, shortcuts\n"
      "and \"Open with\": it has no console, so from cmd or PowerShell it prints nothing and\n"
      "cmd does not wait for its exit code. There, use message-log-display-cli.exe with the\n"
      "same arguments: it prints --list, --dump, --help, --version and errors in the console\n"
      "and ends with their exit code (--select-run too); given a FILE it opens the same\n"
      "viewer, and the console waits until the window closes.\n");
#else
  return {};
#endif
}

}  // namespace

CommandLine ParseCommandLine(const QStringList& arguments) {
  if (arguments.isEmpty() || !arguments.first().startsWith(QLatin1String("--"))) {
    return Viewer(arguments);
  }
  if (arguments.first() == QLatin1String("--")) {
    CommandLine command = Viewer(arguments.mid(1));
    command.fileAfterDoubleDash = true;
    return command;
  }

  QCommandLineParser parser;
  AddOptions(parser);
  // The parser expects the program name first.
  if (!parser.parse(QStringList{QStringLiteral("message-log-display")} + arguments)) {
    return WrongUsage(parser.errorText());
  }
  if (!parser.positionalArguments().isEmpty()) {
    return WrongUsage(
        QStringLiteral("unexpected argument \"%1\"").arg(parser.positionalArguments().first()));
  }
  return FromParsedOptions(parser);
}

QString UsageText() {
  const QString usage = QStringLiteral(
      "Usage:\n"
      "  message-log-display [FILE ...]          open FILE in the viewer (all arguments,\n"
      "                                          joined by blanks, are the one file name)\n"
      "  message-log-display -- FILE             the same, for a name that starts with --\n"
      "  message-log-display --follow FILE       open FILE in the viewer with \"Follow file\"\n"
      "                                          on for this window (the choice kept in the\n"
      "                                          menu stays as it is)\n"
      "  message-log-display --dump FILE [--encoding auto|windows-1252|utf-8]\n"
      "                                          print the parsed log as JSON\n"
      "  message-log-display --list FILE [--encoding auto|windows-1252|utf-8]\n"
      "                      [--all-columns] [--find TEXT [--match-case]]\n"
      "                                          print the runs table as tab-separated text\n"
      "                                          (a field as it is; one with a tab, CR, LF or\n"
      "                                          double quote in double quotes, an inner one\n"
      "                                          doubled, as spreadsheets read it);\n"
      "                                          --all-columns adds Outcome (finished,\n"
      "                                          stopped or open) and Lines (the run's log\n"
      "                                          lines); --find prints only the rows whose\n"
      "                                          runs log TEXT, with Matches (the lines that\n"
      "                                          hold it) last, letter case ignored unless\n"
      "                                          --match-case is given\n"
      "  message-log-display --select-run N [--pid PID]\n"
      "                                          make a running viewer select row N\n"
      "  message-log-display --help | --version\n");
  return usage + WhichProgramText();
}

QString VersionText() {
  return QStringLiteral("message-log-display " MLD_VERSION_TEXT "\n");
}
