#include <QDir>
#include <QFileInfo>
#include <QtTest>

#include "ProgramRun.h"
#include "TestLogs.h"

// The file name given on the command line reaches the file as the user typed it: blanks,
// letters outside ASCII and paths longer than Windows' old 260-character limit open, and what
// cannot be read is refused naming the file and the reason.
class HeadlessFileNamesTest : public QObject {
  Q_OBJECT

 private slots:
  void listsFilesWhoseNamesNeedCare_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("blanks") << "with blanks.log";
    QTest::newRow("letters outside ASCII") << u"Pr\u00fcfstand \u00d6lpumpe \u6e2c\u5b9a.log"_qs;
    const QString deep(120, QLatin1Char('d'));
    QTest::newRow("a path over 260 characters") << deep + '/' + deep + u"/tief \u00e4.log"_qs;
  }
  void listsFilesWhoseNamesNeedCare() {
    QFETCH(QString, name);
    const QString path = logs_.Path(name);
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    logs_.Write(name, TestLogs::RunsWithDates({"t1"}));

    const ProgramRun run = RunProgram({"--list", QDir::toNativeSeparators(path)});
    QVERIFY2(run.finished, qPrintable(run.problem));
    QCOMPARE(run.errors, QByteArray());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out,
             "Run\tDate/Time\tScript\tScript Type\tScript Filename\n"
             "1\tt1\tScript 0\tMethod\tC:\\s0.vsc\n");
  }

  void refusesWhatItCannotRead_data() {
    QTest::addColumn<QString>("name");    // in the test's folder unless absolute or a device
    QTest::addColumn<QString>("reason");  // empty: the system's own words
    QTest::newRow("missing, named outside ASCII") << u"fehlt \u00e4.log"_qs << QString();
    QTest::newRow("a folder") << "folder"
                              << "it is a directory, not a file";
#ifdef Q_OS_WIN
    QTest::newRow("the device NUL") << "NUL"
                                    << "it is a device, not a regular file";
    QTest::newRow("the device COM1") << "COM1"
                                     << "it is a device, not a regular file";
#else
    QTest::newRow("a device") << "/dev/null"
                              << "it is a device, not a regular file";
#endif
  }
  void refusesWhatItCannotRead() {
    QFETCH(QString, name);
    QFETCH(QString, reason);
    QVERIFY(QDir().mkpath(logs_.Path("folder")));
    const bool asGiven = name == "NUL" || name == "COM1" || QDir::isAbsolutePath(name);
    const QString given = asGiven ? name : QDir::toNativeSeparators(logs_.Path(name));

    const ProgramRun run = RunProgram({"--list", given});
    QVERIFY2(run.finished, qPrintable(run.problem));
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.out, QByteArray());
    const QByteArray start = "Cannot open \"" + given.toUtf8() + "\": ";
    QVERIFY2(run.errors.startsWith(start), run.errors.constData());
    const QByteArray said = run.errors.mid(start.size()).trimmed();
    if (reason.isEmpty()) {
      QVERIFY2(!said.isEmpty(), run.errors.constData());
    } else {
      QCOMPARE(said, reason.toUtf8());
    }
  }

  // Redirected to a file or a pipe, the output is UTF-8 on every system: the tables, and the
  // program's own messages with what the user typed in them. (A console on Windows gets the
  // same text as UTF-16, which only Windows itself shows.)
  void printsUtf8WhenRedirected_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("onStandardError");
    QTest::addColumn<QByteArray>("expected");  // a part of what is printed
    QTest::newRow("a wrong value named in the message")
        << QStringList{"--list", "a.log", "--encoding", u"gr\u00fc\u00df"_qs} << true
        << QByteArray("message-log-display: unknown encoding \"gr\xc3\xbc\xc3\x9f\"");
    QTest::newRow("a field of the table")
        << QStringList{"--list", "a.log"} << false << QByteArray("\t\xc3\x84nderung\t");
  }
  void printsUtf8WhenRedirected() {
    QFETCH(QStringList, arguments);
    QFETCH(bool, onStandardError);
    QFETCH(QByteArray, expected);
    logs_.Write("a.log", TestLogs::RunsWithDates({u"\u00c4nderung"_qs}));

    const ProgramRun run = RunProgram(arguments, logs_.Path(""));
    QVERIFY2(run.finished, qPrintable(run.problem));
    const QByteArray& printed = onStandardError ? run.errors : run.out;
    QVERIFY2(printed.contains(expected), printed.constData());
  }

 private:
  TestLogs logs_;
};

QTEST_GUILESS_MAIN(HeadlessFileNamesTest)
#include "HeadlessFileNamesTest.moc"
