#include <QDirIterator>
#include <QFile>
#include <QtTest>

#include "ProgramRun.h"
#include "TestLogs.h"

#ifdef Q_OS_UNIX
#include <sys/stat.h>

#include "Unprivileged.h"
#endif

// --find-in-logs against --list --find run on each file of the folder in turn: the same rows,
// the same files refused for the same reasons, over a folder of every kind of file a search
// meets.

namespace {

// A log of two entries whose runs log `lines`, one run per line; run k starts at minute k.
QByteArray Log(const QByteArrayList& lines, const QByteArray& script = "Prime") {
  QByteArray text = "------ NextPart = Script\r\nscript\r\n------ NextPart = LogMessage\r\n";
  for (int k = 0; k < lines.size(); ++k) {
    if (k == 2) text += "------ NextEntry\r\n------ NextPart = LogMessage\r\n";
    text += "==>loading script \"" + script + "\".\r\n-\r\nStarted: 2026-12-01 10:0" +
            QByteArray::number(k) + "\r\n" + lines[k] + "\r\n" +
            (k % 2 ? "==>script execution stopped by user.\r\n" : "");
  }
  return text;
}

// The folder, with its files as paths relative to it.
struct Folder {
  QString root;
  QStringList files;
};

bool ComesFirst(const QString& a, const QString& b) {
  const QStringList partsA = a.split('/'), partsB = b.split('/');
  return std::lexicographical_compare(partsA.begin(), partsA.end(), partsB.begin(), partsB.end());
}

// The files a search of `root` should read, found with Qt's own wildcards.
QStringList FilesFitting(const QString& root, const QString& pattern, bool recursive) {
  QDirIterator it(root, {pattern}, QDir::Files | QDir::System | QDir::Hidden,
                  recursive ? QDirIterator::Subdirectories : QDirIterator::NoIteratorFlags);
  QStringList files;
  while (it.hasNext()) files << QDir(root).relativeFilePath(it.next());
  std::sort(files.begin(), files.end(), ComesFirst);
  return files;
}

QStringList Launcher() {
#ifdef Q_OS_UNIX
  return UnprivilegedLauncher();
#else
  return {};
#endif
}

// What --find-in-logs should print, put together from --list --find --all-columns on each file.
ProgramRun Expected(const QString& root, const QStringList& files, const QStringList& options) {
  ProgramRun expected;
  expected.out = "File\tRun\tDate/Time\tScript\tOutcome\tMatches\n";
  expected.exitCode = 1;
  for (const QString& file : files) {
    const ProgramRun list = RunProgram(
        QStringList{"--list", root + '/' + file, "--all-columns"} + options, {}, Launcher());
    expected.errors += list.errors;
    if (list.exitCode != 0) continue;
    for (const QByteArray& line : list.out.split('\n').mid(1)) {
      if (line.isEmpty()) continue;
      const QByteArrayList fields = line.split('\t');
      expected.out += QDir::toNativeSeparators(file).toUtf8() + '\t' + fields[0] + '\t' +
                      fields[1] + '\t' + fields[2] + '\t' + fields[5] + '\t' + fields[7] + '\n';
      expected.exitCode = 0;
    }
  }
  return expected;
}

}  // namespace

class FindInLogsTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    logs_.Write("a.log", Log({"Valve A open", "pump failure", "valve a closed"}));
    QDir(logs_.Path("")).mkpath("sub/deeper");
    QDir(logs_.Path("")).mkpath("folder.log");
    logs_.Write("sub/deeper/b.log", Log({"\xc3\x84rger valve", "pump on", "\xc3\xa4rger"}, "UTF"));
    logs_.Write("sub/run \xc3\xbc notes.log", Log({"\xc4rger", "VALVE", "x"}, "Latin \"1\""));
    logs_.Write("folder.log/inside.log", Log({"valve", "valve"}));
    logs_.Write("empty.log", "");
    logs_.Write("notes.log", "valve valve, a note and not a log\r\n");
    logs_.Write("binary.log", QByteArray("\x89PNG\r\n\x1a\n\0\0valve", 16));
    logs_.Write("other.txt", Log({"valve"}));
#ifdef Q_OS_UNIX
    QFile::setPermissions(logs_.Path(""),
                          QFile::permissions(logs_.Path("")) | QFile::ReadOther | QFile::ExeOther);
    for (const char* folder : {"sub", "sub/deeper", "folder.log"}) {
      QFile::setPermissions(logs_.Path(folder), QFile::permissions(logs_.Path(folder)) |
                                                    QFile::ReadOther | QFile::ExeOther);
    }
    logs_.Write("locked.log", Log({"valve"}));
    QFile::setPermissions(logs_.Path("locked.log"), {});
    QVERIFY(mkfifo(logs_.Path("pipe.log").toLocal8Bit().constData(), 0644) == 0);
#endif
  }

  void printsWhatListFindsFileByFile_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("options");
    QTest::newRow("the folder alone") << "valve" << QStringList{};
    QTest::newRow("subfolders") << "valve" << QStringList{"--recursive"};
    QTest::newRow("match case") << "Valve" << QStringList{"--match-case", "--recursive"};
    QTest::newRow("a pattern") << "valve" << QStringList{"--pattern", "*.txt"};
    QTest::newRow("a pattern with one character")
        << "VALVE" << QStringList{"--recursive", "--pattern", "?.log"};
    QTest::newRow("letters outside ASCII") << "\u00e4rger" << QStringList{"--recursive"};
    QTest::newRow("an encoding") << "\u00e4rger"
                                 << QStringList{"--recursive", "--encoding", "utf-8"};
    QTest::newRow("an expression") << "valve|\u00e4rger$" << QStringList{"--regex", "--recursive"};
    QTest::newRow("nothing matches") << "no such words" << QStringList{"--recursive"};
    QTest::newRow("a name with blanks") << "x" << QStringList{"--recursive", "--pattern", "run *"};
  }
  void printsWhatListFindsFileByFile() {
    QFETCH(QString, text);
    QFETCH(QStringList, options);
    const QString root = logs_.Path("");
    const qsizetype pattern = options.indexOf("--pattern");
    const QStringList files = FilesFitting(root, pattern >= 0 ? options[pattern + 1] : "*.log",
                                           options.contains("--recursive"));
    QStringList listOptions{"--find", text};
    for (const char* option : {"--match-case", "--regex"}) {
      if (options.contains(option)) listOptions << option;
    }
    if (const qsizetype at = options.indexOf("--encoding"); at >= 0)
      listOptions << options.mid(at, 2);
    const ProgramRun expected = Expected(root, files, listOptions);

    const ProgramRun run =
        RunProgram(QStringList{"--find-in-logs", root, text} + options, {}, Launcher());
    QVERIFY2(run.finished, qPrintable(run.problem));
    QCOMPARE(run.out, expected.out);
    QCOMPARE(run.errors, expected.errors);
    QCOMPARE(run.exitCode, expected.exitCode);
  }

  void refusesAFolderThatIsNotThere() {
    const ProgramRun run = RunProgram({"--find-in-logs", logs_.Path("gone"), "valve"});
    QVERIFY2(run.finished, qPrintable(run.problem));
    QCOMPARE(run.exitCode, 2);
    QCOMPARE(run.out, QByteArray());
    QVERIFY2(run.errors.contains("gone"), run.errors.constData());
  }

  void refusesWrongUsage_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("no text") << QStringList{"--find-in-logs", "."};
    QTest::newRow("two texts") << QStringList{"--find-in-logs", ".", "a", "b"};
    QTest::newRow("recursive without it") << QStringList{"--list", "x.log", "--recursive"};
    QTest::newRow("an empty pattern") << QStringList{"--find-in-logs", ".", "a", "--pattern", ""};
  }
  void refusesWrongUsage() {
    QFETCH(QStringList, arguments);
    const ProgramRun run = RunProgram(arguments);
    QVERIFY2(run.finished, qPrintable(run.problem));
    QCOMPARE(run.exitCode, 2);
    QCOMPARE(run.out, QByteArray());
    QVERIFY2(run.errors.contains("Usage:"), run.errors.constData());
  }

 private:
  TestLogs logs_;
};

QTEST_GUILESS_MAIN(FindInLogsTest)
#include "FindInLogsTest.moc"
