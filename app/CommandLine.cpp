#include "CommandLine.h"

#include <QCommandLineParser>

#include "Version.h"

namespace {

const QString kDump = QStringLiteral("dump");
const QString kList = QStringLiteral("list");
const QString kEncoding = QStringLiteral("encoding");
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
      {kEncoding, QString(), QStringLiteral("NAME")},
      {kSelectRun, QString(), QStringLiteral("N")},
      {kPid, QString(), QStringLiteral("PID")},
      {kHelp, QString()},
      {kVersion, QString()},
  });
}

CommandLine FromParsedOptions(const QCommandLineParser& parser) {
  const QStringList modes = {kDump, kList, kSelectRun, kHelp, kVersion};
  QStringList given;
  for (const QString& mode : modes) {
    if (parser.isSet(mode)) given << mode;
  }
  if (given.size() != 1)
    return WrongUsage(
        QStringLiteral("give exactly one of --dump, --list, "
                       "--select-run, --help, --version"));
  for (const QString& option : {kDump, kList, kSelectRun, kEncoding, kPid}) {
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

  CommandLine command;
  if (mode == kHelp) command.mode = CommandLine::Mode::Help;
  if (mode == kVersion) command.mode = CommandLine::Mode::Version;
  if (mode == kDump || mode == kList) {
    command.mode = mode == kDump ? CommandLine::Mode::Dump : CommandLine::Mode::List;
    command.file = parser.value(mode);
    if (parser.isSet(kEncoding)) {
      const auto encoding = ParseEncodingChoice(parser.value(kEncoding).toStdString());
      if (!encoding)
        return WrongUsage(QStringLiteral("unknown encoding \"%1\"").arg(parser.value(kEncoding)));
      command.encoding = *encoding;
    }
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
  return QStringLiteral(
      "Usage:\n"
      "  message-log-display [FILE ...]          open FILE in the viewer (all arguments,\n"
      "                                          joined by blanks, are the one file name)\n"
      "  message-log-display -- FILE             the same, for a name that starts with --\n"
      "  message-log-display --dump FILE [--encoding auto|windows-1252|utf-8]\n"
      "                                          print the parsed log as JSON\n"
      "  message-log-display --list FILE [--encoding auto|windows-1252|utf-8]\n"
      "                                          print the runs table as tab-separated text\n"
      "                                          (in a field, backslash, tab, CR and LF are\n"
      "                                          written as \\\\, \\t, \\r and \\n)\n"
      "  message-log-display --select-run N [--pid PID]\n"
      "                                          make a running viewer select row N\n"
      "  message-log-display --help | --version\n");
}

QString VersionText() {
  return QStringLiteral("message-log-display " MLD_VERSION_TEXT "\n");
}
