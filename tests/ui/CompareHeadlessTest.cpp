// --compare through the real program: the unified diff it prints and its exit codes.
#include <QTemporaryDir>
#include <QtTest>

#include "CompareLogs.h"
#include "ProgramRun.h"
#include "TestLogs.h"

class CompareHeadlessTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    // The program reads the masking rules from the settings: none here, so the defaults.
    qputenv("XDG_CONFIG_HOME", settings_.path().toLocal8Bit());
    five_ = logs_.Write("five.log", CompareLogs::FiveRuns());
  }

  void printsTheDifferencesWithTheRealText() {
    const ProgramRun run = RunProgram({"--compare", five_, "5"});
    QVERIFY2(run.finished, qPrintable(run.problem));
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.errors, QByteArray());
    const QByteArray expected =
        "--- run 3, 2026-12-01 10:02, Script\n"
        "+++ run 5, 2026-12-01 10:04, Script\n"
        "@@ -3,12 +3,13 @@\n"
        " File name of script: C:\\a.vsc\n"
        " 13:00:01.091  Prime 53 ul in well A1.\n"
        " 13:00:02.091  Aspirate 53 ul in well A2.\n"
        "-10:00:03.070  Dispense 50 ul in well A3.\n"
        "+13:00:03.000  WARNING: Pump A: pressure 1.99 bar above limit.\n"
        " 13:00:04.091  Mix 53 ul in well A4.\n"
        " 13:00:05.091  Wash 53 ul in well A5.\n"
        " 13:00:06.091  Shake 53 ul in well A6.\n"
        " 13:00:36.091  Read 53 ul in well A7.\n"
        " 13:00:37.091  Incubate 53 ul in well A8.\n"
        "+13:00:40.000  ERROR: Pump A: no liquid detected.\n"
        " 13:00:38.091  Rinse 53 ul in well A9.\n"
        " 13:00:39.091  Seal 53 ul in well A10.\n"
        " 13:00:40.091  Dry 53 ul in well A11.\n";
    QCOMPARE(run.out, expected);
  }

  void exitCodes_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("error");
    // Rows 1 and 3 ran the same script, and differ only in their numbers and time stamps.
    QTest::newRow("same after masking") << QStringList{"3"} << 0 << QString();
    QTest::newRow("given baseline") << QStringList{"5", "2"} << 1 << QString();
    QTest::newRow("no earlier finished run")
        << QStringList{"2"} << 2 << "No row above row 2 holds a finished run";
    QTest::newRow("row beyond the table")
        << QStringList{"6"} << 2 << "There is no row 6: the table has 5 rows.";
    QTest::newRow("baseline beyond the table")
        << QStringList{"5", "9"} << 2 << "There is no row 9: the table has 5 rows.";
    QTest::newRow("no row") << QStringList() << 2 << "--compare needs a file and a row";
    QTest::newRow("not a row") << QStringList{"x"} << 2 << "row numbers from 1, not \"x\"";
    QTest::newRow("row 0") << QStringList{"0"} << 2 << "row numbers from 1, not \"0\"";
    QTest::newRow("three rows") << QStringList{"5", "3", "1"} << 2 << "unexpected argument";
  }
  void exitCodes() {
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, error);
    const ProgramRun run = RunProgram(QStringList{"--compare", five_} + arguments);
    QVERIFY2(run.finished, qPrintable(run.problem));
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2(QString::fromUtf8(run.errors).contains(error), run.errors.constData());
    if (exitCode == 0) QCOMPARE(run.out, QByteArray());
  }

  void aFileThatCannotBeReadIsExitCodeTwo() {
    const ProgramRun run = RunProgram({"--compare", logs_.Path("missing.log"), "2"});
    QVERIFY2(run.finished, qPrintable(run.problem));
    QCOMPARE(run.exitCode, 2);
    QVERIFY2(run.errors.contains("missing.log"), run.errors.constData());
    QCOMPARE(run.out, QByteArray());
  }

 private:
  QTemporaryDir settings_;
  TestLogs logs_;
  QString five_;
};

QTEST_GUILESS_MAIN(CompareHeadlessTest)
#include "CompareHeadlessTest.moc"
