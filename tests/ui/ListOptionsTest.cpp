#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

#include "ProgramRun.h"
#include "TestLogs.h"

// --list with --all-columns and --find, and the outcome --dump gives each run, through the real
// program as a script runs it.

namespace {

// Five runs in two entries. The second and third run share a date and time, so the table has
// four rows; run 4 holds a tab in its name; the last run is cut off by the end of the file.
QByteArray Log(const QByteArray& upperUmlaut, const QByteArray& lowerUmlaut) {
  return "------ NextPart = Script\r\nscript A\r\n------ NextPart = LogMessage\r\n"
         "==>loading script \"Prime\".\r\n-\r\nStarted: 2026-12-01 10:00\r\n"
         "==>script type: Method\r\nFile name of script: C:\\prime.vsc\r\n"
         "Valve A open\r\nvalve a open; VALVE A closed\r\n==>script execution finished.\r\n"
         "==>loading script \"Prime\".\r\n-\r\nStarted: 2026-12-01 10:05\r\npump failure\r\n"
         "==>script execution stopped by user.\r\n"
         "==>loading script \"Prime\".\r\n-\r\nStarted: 2026-12-01 10:05\r\npump on\r\n"
         "==>script execution stopped by user.\r\n"
         "==>loading script \"Tab\tName\".\r\n-\r\nStarted: 2026-12-01 10:10\r\n" +
         upperUmlaut + "rger mit Ventil\r\n" + lowerUmlaut + "rger\r\n------ NextEntry\r\n" +
         "------ NextPart = Script\r\nscript B\r\n------ NextPart = LogMessage\r\n"
         "==>loading script \"Last\".\r\n-\r\nStarted: 2026-12-01 10:15\r\nvalve A open\r\n";
}

const QByteArray kFiveColumns = "Run\tDate/Time\tScript\tScript Type\tScript Filename";
const QByteArray kRow1 = "1\t2026-12-01 10:00\tPrime\tMethod\tC:\\prime.vsc";
const QByteArray kRow2 = "2\t2026-12-01 10:05\tPrime\t\t";
const QByteArray kRow3 = "3\t2026-12-01 10:10\t\"Tab\tName\"\t\t";
const QByteArray kRow4 = "4\t2026-12-01 10:15\tLast\t\t";

}  // namespace

class ListOptionsTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    latin_ = logs_.Write("latin.log", Log("\xc4", "\xe4"));
    utf8_ = logs_.Write("utf8.log", Log("\xc3\x84", "\xc3\xa4"));
    // "closed" comes first and is no alert: the line that holds it and "valve a" is none.
    rules_ = logs_.Write("rules.json", R"({"highlightRules": [
        {"pattern": "closed"}, {"pattern": "valve a", "alert": true},
        {"pattern": "^.rger", "regex": true, "alert": true}]})");
  }

  void listsWhatItIsAskedFor_data() {
    QTest::addColumn<bool>("utf8");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QByteArray>("out");
    QTest::newRow("all columns") << false << QStringList{"--all-columns"}
                                 << kFiveColumns + "\tOutcome\tLines\n" + kRow1 +
                                        "\tfinished\t5\n" + kRow2 + "\tstopped\t1\n" + kRow3 +
                                        "\topen\t3\n" + kRow4 + "\topen\t1\n";
    QTest::newRow("find ignores the case of ASCII letters")
        << false << QStringList{"--find", "VALVE a"}
        << kFiveColumns + "\tMatches\n" + kRow1 + "\t2\n" + kRow4 + "\t1\n";
    QTest::newRow("find with match case")
        << false << QStringList{"--find", "valve a", "--match-case"}
        << kFiveColumns + "\tMatches\n" + kRow1 + "\t1\n";
    QTest::newRow("match case before find")
        << false << QStringList{"--match-case", "--find", "Valve A"}
        << kFiveColumns + "\tMatches\n" + kRow1 + "\t1\n";
    QTest::newRow("a folded row counts the run it shows")
        << false << QStringList{"--find", "pump"} << kFiveColumns + "\tMatches\n" + kRow2 + "\t1\n";
    QTest::newRow("a run folded away is not searched")
        << false << QStringList{"--find", "failure"} << kFiveColumns + "\tMatches\n";
    QTest::newRow("all columns and find") << false << QStringList{"--find", "open", "--all-columns"}
                                          << kFiveColumns + "\tOutcome\tLines\tMatches\n" + kRow1 +
                                                 "\tfinished\t5\t2\n" + kRow4 + "\topen\t1\t1\n";
    QTest::newRow("Windows-1252 folds its accented letters")
        << false << QStringList{"--find", "\u00e4rger"}
        << kFiveColumns + "\tMatches\n" + kRow3 + "\t2\n";
    QTest::newRow("UTF-8 keeps the case of accented letters")
        << true << QStringList{"--find", "\u00e4rger"}
        << kFiveColumns + "\tMatches\n" + kRow3 + "\t1\n";
    // "\u00c4" in UTF-8 is the bytes C3 84, which are "\u00c3\u201e" in Windows-1252.
    QTest::newRow("the encoding asked for decides the letters")
        << true << QStringList{"--find", "\u00e3\u201eRGER", "--encoding", "windows-1252"}
        << kFiveColumns + "\tMatches\n" + kRow3 + "\t1\n";
    QTest::newRow("alerts by the rules given")
        << false << QStringList{"--all-columns", "--highlight-rules", rules_}
        << kFiveColumns + "\tOutcome\tLines\tAlerts\n" + kRow1 + "\tfinished\t5\t1\n" + kRow2 +
               "\tstopped\t1\t0\n" + kRow3 + "\topen\t3\t2\n" + kRow4 + "\topen\t1\t1\n";
    QTest::newRow("an expression")
        << false << QStringList{"--find", "valve [a-z] (open|closed)", "--regex"}
        << kFiveColumns + "\tMatches\n" + kRow1 + "\t2\n" + kRow4 + "\t1\n";
    QTest::newRow("an expression keeps to its line")
        << false << QStringList{"--find", "^valve a open$", "--regex", "--match-case"}
        << kFiveColumns + "\tMatches\n";
    QTest::newRow("an expression in UTF-8 takes a character as one")
        << true << QStringList{"--find", "^.rger$", "--regex", "--match-case"}
        << kFiveColumns + "\tMatches\n" + kRow3 + "\t1\n";
    QTest::newRow("a text that holds the end of a line and the start of the next")
        << false << QStringList{"--find", "closedvalve"} << kFiveColumns + "\tMatches\n";
  }
  void listsWhatItIsAskedFor() {
    QFETCH(bool, utf8);
    QFETCH(QStringList, options);
    QFETCH(QByteArray, out);
    const ProgramRun run = RunProgram(QStringList{"--list", utf8 ? utf8_ : latin_} + options);
    QVERIFY2(run.finished, qPrintable(run.problem));
    QCOMPARE(run.errors, QByteArray());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, out);
  }

  void refusesWrongUsage_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("reason");
    QTest::newRow("find with dump")
        << QStringList{"--dump", "x.log", "--find", "a"} << "--find goes only with --list";
    QTest::newRow("all columns with dump")
        << QStringList{"--dump", "x.log", "--all-columns"} << "--all-columns goes only with --list";
    QTest::newRow("match case without find")
        << QStringList{"--list", "x.log", "--match-case"} << "--match-case goes only with --find";
    QTest::newRow("highlight rules without all columns")
        << QStringList{"--list", "x.log", "--highlight-rules", "r.json"}
        << "--highlight-rules goes only with --list and --all-columns";
    QTest::newRow("regex without find")
        << QStringList{"--list", "x.log", "--regex"} << "--regex goes only with --find";
    QTest::newRow("an expression the engine refuses")
        << QStringList{"--list", "x.log", "--find", "valve (", "--regex"}
        << "invalid regular expression \"valve (\": missing closing parenthesis at character 8";
    QTest::newRow("empty text") << QStringList{"--list", "x.log", "--find", ""}
                                << "--find needs a text to find";
    QTest::newRow("find twice") << QStringList{"--list", "x.log", "--find", "a", "--find", "b"}
                                << "--find is given more than once";
    QTest::newRow("find without its text")
        << QStringList{"--list", "x.log", "--find"} << "Missing value after '--find'";
  }
  void refusesWrongUsage() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, reason);
    const ProgramRun run = RunProgram(arguments);
    QVERIFY2(run.finished, qPrintable(run.problem));
    QCOMPARE(run.exitCode, 2);
    QCOMPARE(run.out, QByteArray());
    QVERIFY2(run.errors.contains(reason.toUtf8()), run.errors.constData());
  }

  void namesTheRulesFileItCannotRead() {
    const QString broken = logs_.Write("broken.json", R"({"highlightRules": [{"colour": "red"}]})");
    for (const QString& rules : {broken, logs_.Path("missing.json")}) {
      const ProgramRun run =
          RunProgram({"--list", latin_, "--all-columns", "--highlight-rules", rules});
      QVERIFY2(run.finished, qPrintable(run.problem));
      QCOMPARE(run.exitCode, 1);
      QCOMPARE(run.out, QByteArray());
      QVERIFY2(run.errors.contains(QFileInfo(rules).fileName().toUtf8()), run.errors.constData());
    }
  }

  void helpTellsTheListOptions() {
    const ProgramRun run = RunProgram({"--help"});
    QVERIFY2(run.finished, qPrintable(run.problem));
    for (const char* option :
         {"--all-columns", "--find TEXT", "--match-case", "--regex", "--highlight-rules FILE"}) {
      QVERIFY2(run.out.contains(option), option);
    }
  }

  void dumpGivesEachRunItsOutcome() {
    const ProgramRun run = RunProgram({"--dump", latin_});
    QVERIFY2(run.finished, qPrintable(run.problem));
    QCOMPARE(run.exitCode, 0);
    QStringList outcomes;
    for (const QJsonValue run : QJsonDocument::fromJson(run.out)["runs"].toArray()) {
      outcomes << run["outcome"].toString();
    }
    QCOMPARE(outcomes, QStringList({"finished", "stopped", "stopped", "open", "open"}));
  }

 private:
  TestLogs logs_;
  QString latin_;
  QString utf8_;
  QString rules_;
};

QTEST_GUILESS_MAIN(ListOptionsTest)
#include "ListOptionsTest.moc"
