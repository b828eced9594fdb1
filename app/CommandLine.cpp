#include "CommandLine.h"

#include <QCommandLineParser>

#include "StoreLimit.h"
#include "Version.h"

namespace {

const QString kDump = QStringLiteral("dump");
const QString kList = QStringLiteral("list");
const QString kFollow = QStringLiteral("follow");
const QString kEncoding = QStringLiteral("encoding");
const QString kAllColumns = QStringLiteral("all-columns");
const QString kFind = QStringLiteral("find");
const QString kMatchCase = QStringLiteral("match-case");
const QString kRegex = QStringLiteral("regex");
const QString kHighlightRules = QStringLiteral("highlight-rules");
const QString kFindInLogs = QStringLiteral("find-in-logs");
const QString kCompare = QStringLiteral("compare");
const QString kRecursive = QStringLiteral("recursive");
const QString kPattern = QStringLiteral("pattern");
const QString kSelectRun = QStringLiteral("select-run");
const QString kPid = QStringLiteral("pid");
const QString kInMemoryLimit = QStringLiteral("in-memory-limit");
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
      {kRegex, QString()},
      {kHighlightRules, QString(), QStringLiteral("FILE")},
      {kFindInLogs, QString(), QStringLiteral("FOLDER")},
      {kCompare, QString(), QStringLiteral("FILE")},
      {kRecursive, QString()},
      {kPattern, QString(), QStringLiteral("GLOB")},
      {kSelectRun, QString(), QStringLiteral("N")},
      {kPid, QString(), QStringLiteral("PID")},
      {kInMemoryLimit, QString(), QStringLiteral("SIZE")},
      {kHelp, QString()},
      {kVersion, QString()},
  });
}

// What is wrong with the options that shape the table --list prints, if anything.
QString ListOptionsProblem(const QCommandLineParser& parser, const QString& mode) {
  for (const QString& option : {kAllColumns, kFind, kMatchCase, kRegex}) {
    if ((option == kMatchCase || option == kRegex) && mode == kFindInLogs) continue;
    if (parser.isSet(option) && mode != kList) {
      return QStringLiteral("--%1 goes only with --list").arg(option);
    }
  }
  for (const QString& option : {kMatchCase, kRegex}) {
    if (parser.isSet(option) && !parser.isSet(kFind) && mode != kFindInLogs) {
      return QStringLiteral("--%1 goes only with --find").arg(option);
    }
  }
  if (parser.isSet(kHighlightRules) && (mode != kList || !parser.isSet(kAllColumns))) {
    return QStringLiteral("--highlight-rules goes only with --list and --all-columns");
  }
  if (parser.isSet(kFind) && parser.value(kFind).isEmpty()) {
    return QStringLiteral("--find needs a text to find");
  }
  return {};
}

CommandLine FindInLogs(const QCommandLineParser& parser, CommandLine command) {
  const QStringList texts = parser.positionalArguments();
  if (texts.isEmpty() || texts.first().isEmpty()) {
    return WrongUsage(QStringLiteral("--find-in-logs needs a folder and a text to find"));
  }
  if (parser.isSet(kPattern) && parser.value(kPattern).isEmpty()) {
    return WrongUsage(QStringLiteral("--pattern needs a file name pattern"));
  }
  command.mode = CommandLine::Mode::FindInLogs;
  command.folder = parser.value(kFindInLogs);
  command.find = texts.first();
  command.matchCase = parser.isSet(kMatchCase);
  command.regex = parser.isSet(kRegex);
  command.recursive = parser.isSet(kRecursive);
  if (parser.isSet(kPattern)) command.pattern = parser.value(kPattern);
  return command;
}

// A row number of --compare, from 1.
std::optional<qint32> RowNumber(const QString& text) {
  bool ok = false;
  const qint32 row = text.toInt(&ok);
  return ok && row > 0 ? std::optional<qint32>(row) : std::nullopt;
}

CommandLine Compare(const QCommandLineParser& parser, CommandLine command) {
  const QStringList rows = parser.positionalArguments();
  if (rows.isEmpty()) return WrongUsage(QStringLiteral("--compare needs a file and a row"));
  command.mode = CommandLine::Mode::Compare;
  command.file = parser.value(kCompare);
  for (qsizetype k = 0; k < rows.size(); ++k) {
    const std::optional<qint32> row = RowNumber(rows[k]);
    if (!row) {
      return WrongUsage(
          QStringLiteral("--compare needs row numbers from 1, not \"%1\"").arg(rows[k]));
    }
    if (k == 0) {
      command.row = *row;
    } else {
      command.baselineRow = *row;
    }
  }
  return command;
}

// Wrong usage for an expression the engine refuses, with its reason.
CommandLine WithValidExpression(CommandLine command) {
  if (!command.regex || !command.find) return command;
  const TCompiledPattern compiled(command.FindPattern());
  if (compiled.CanMatch()) return command;
  return WrongUsage(
      QStringLiteral("invalid regular expression \"%1\": %2").arg(*command.find, compiled.Error()));
}

CommandLine FromParsedOptions(const QCommandLineParser& parser) {
  const QStringList modes = {kDump,   kList,      kFindInLogs, kCompare,
                             kFollow, kSelectRun, kHelp,       kVersion};
  QStringList given;
  for (const QString& mode : modes) {
    if (parser.isSet(mode)) given << mode;
  }
  if (given.size() != 1)
    return WrongUsage(
        QStringLiteral("give exactly one of --dump, --list, --find-in-logs, --compare, "
                       "--follow, --select-run, --help, --version"));
  for (const QString& option : {kDump, kList, kFindInLogs, kCompare, kPattern, kFollow, kSelectRun,
                                kEncoding, kPid, kFind, kInMemoryLimit, kHighlightRules}) {
    if (parser.values(option).size() > 1) {
      return WrongUsage(QStringLiteral("--%1 is given more than once").arg(option));
    }
  }
  const QString mode = given.first();
  if (parser.isSet(kEncoding) && mode != kDump && mode != kList && mode != kFindInLogs &&
      mode != kCompare) {
    return WrongUsage(
        QStringLiteral("--encoding goes only with --dump, --list, --find-in-logs or --compare"));
  }
  for (const QString& option : {kRecursive, kPattern}) {
    if (parser.isSet(option) && mode != kFindInLogs) {
      return WrongUsage(QStringLiteral("--%1 goes only with --find-in-logs").arg(option));
    }
  }
  const qsizetype texts = mode == kFindInLogs ? 1 : (mode == kCompare ? 2 : 0);
  if (parser.positionalArguments().size() > texts) {
    return WrongUsage(
        QStringLiteral("unexpected argument \"%1\"").arg(parser.positionalArguments().at(texts)));
  }
  if (parser.isSet(kInMemoryLimit) && (mode == kSelectRun || mode == kHelp || mode == kVersion)) {
    return WrongUsage(QStringLiteral(
        "--in-memory-limit goes only with --dump, --list, --find-in-logs, --compare or --follow"));
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
  if (parser.isSet(kEncoding)) {
    const auto encoding = ParseEncodingChoice(parser.value(kEncoding).toStdString());
    if (!encoding)
      return WrongUsage(QStringLiteral("unknown encoding \"%1\"").arg(parser.value(kEncoding)));
    command.encoding = *encoding;
  }
  if (parser.isSet(kInMemoryLimit)) {
    command.inMemoryLimit = ParseByteSize(parser.value(kInMemoryLimit).toStdString());
    if (!command.inMemoryLimit) {
      return WrongUsage(QStringLiteral("--in-memory-limit needs a size such as 512M, not \"%1\"")
                            .arg(parser.value(kInMemoryLimit)));
    }
  }
  if (mode == kFindInLogs) return WithValidExpression(FindInLogs(parser, command));
  if (mode == kCompare) return Compare(parser, command);
  if (mode == kDump || mode == kList) {
    command.mode = mode == kDump ? CommandLine::Mode::Dump : CommandLine::Mode::List;
    command.file = parser.value(mode);
    command.allColumns = parser.isSet(kAllColumns);
    if (parser.isSet(kFind)) command.find = parser.value(kFind);
    command.matchCase = parser.isSet(kMatchCase);
    command.regex = parser.isSet(kRegex);
    if (parser.isSet(kHighlightRules)) command.highlightRules = parser.value(kHighlightRules);
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
  return WithValidExpression(command);
}

// On Windows the viewer is a GUI program with no console, beside a console twin.
QString WhichProgramText() {
#ifdef Q_OS_WIN
  return QStringLiteral(
      "\n"
      "On Windows, message-log-display.exe is the viewer to start from Explorer, shortcuts\n"
      "and \"Open with\": it has no console, so from cmd or PowerShell it prints nothing and\n"
      "cmd does not wait for its exit code. There, use message-log-display-cli.exe with the\n"
      "same arguments: it prints --list, --dump, --find-in-logs, --help, --version and errors\n"
      "in the console and ends with their exit code (--select-run too); given a FILE it opens\n"
      "the same viewer, and the console waits until the window closes.\n");
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
      "                      [--all-columns [--highlight-rules FILE]]\n"
      "                      [--find TEXT [--match-case] [--regex]]\n"
      "                                          print the runs table as tab-separated text\n"
      "                                          (a field as it is; one with a tab, CR, LF or\n"
      "                                          double quote in double quotes, an inner one\n"
      "                                          doubled, as spreadsheets read it);\n"
      "                                          --all-columns adds Outcome (finished,\n"
      "                                          stopped or open) and Lines (the run's log\n"
      "                                          lines), and with --highlight-rules Alerts (the\n"
      "                                          lines that FILE's alert rules mark, FILE as the\n"
      "                                          viewer's Export writes it); --find prints only\n"
      "                                          the rows whose\n"
      "                                          runs log TEXT, with Matches (the lines that\n"
      "                                          hold it) last, letter case ignored unless\n"
      "                                          --match-case is given; with --regex TEXT is\n"
      "                                          a regular expression (Perl's syntax), which a\n"
      "                                          line matches as it would alone\n"
      "  message-log-display --find-in-logs FOLDER TEXT [--match-case] [--regex]\n"
      "                      [--recursive]\n"
      "                      [--pattern GLOB] [--encoding auto|windows-1252|utf-8]\n"
      "                                          search the logs in FOLDER (and its subfolders\n"
      "                                          with --recursive) whose names fit GLOB (*.log\n"
      "                                          unless given; * any characters, ? one) for\n"
      "                                          TEXT as --find does, and print File (relative\n"
      "                                          to FOLDER), Run, Date/Time, Script, Outcome and\n"
      "                                          Matches of each matching row, tab-separated as\n"
      "                                          --list writes them; a file that cannot be read\n"
      "                                          is named on stderr with the reason and the\n"
      "                                          search goes on; exit code 0 when something\n"
      "                                          matched, 1 when nothing did, 2 for wrong usage\n"
      "                                          or a folder that cannot be searched\n"
      "  message-log-display --compare FILE ROW [BASELINE_ROW] [--encoding E]\n"
      "                                          print a unified diff of the log lines of run\n"
      "                                          ROW against those of BASELINE_ROW (unless\n"
      "                                          given, the nearest row above ROW whose run\n"
      "                                          finished and ran the same script), compared\n"
      "                                          with the viewer's masking rules and printed\n"
      "                                          with their real text; exit code 0 when they\n"
      "                                          are the same after masking, 1 when they\n"
      "                                          differ, 2 for wrong usage, a file that cannot\n"
      "                                          be read or a row without a baseline\n"
      "  --in-memory-limit SIZE                  with --dump, --list, --find-in-logs, --compare\n"
      "                                          or --follow: a file larger than SIZE (bytes, or\n"
      "                                          with K, M, G or T) is indexed, not held in\n"
      "                                          memory (0 indexes every file); the viewer's\n"
      "                                          default is 32M, the other modes index every\n"
      "                                          file unless given\n"
      "  message-log-display --select-run N [--pid PID]\n"
      "                                          make a running viewer select row N\n"
      "  message-log-display --help | --version\n");
  return usage + WhichProgramText();
}

QString VersionText() {
  return QStringLiteral("message-log-display " MLD_VERSION_TEXT "\n");
}
