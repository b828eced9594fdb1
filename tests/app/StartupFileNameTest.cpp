#include <QtTest>

#include "StartupFileName.h"

// The Windows start-up name rule, which is plain text work and so is checked on every system.
class StartupFileNameTest : public QObject {
  Q_OBJECT

 private slots:
  void removesOnePairOfEnclosingQuotes_data() {
    QTest::addColumn<QString>("raw");
    QTest::addColumn<QString>("name");
    QTest::newRow("unquoted with blanks") << "C:\\logs\\run 1.log"
                                          << "C:\\logs\\run 1.log";
    QTest::newRow("quoted") << "\"C:\\logs\\run 1.log\""
                            << "C:\\logs\\run 1.log";
    QTest::newRow("quoted, blanks after") << "\"C:\\a b.log\"  \t"
                                          << "C:\\a b.log";
    QTest::newRow("unquoted, blanks after") << "C:\\a.log  "
                                            << "C:\\a.log  ";
    QTest::newRow("only one quote") << "\"C:\\a.log"
                                    << "\"C:\\a.log";
    QTest::newRow("two quoted names") << "\"a.log\" \"b.log\""
                                      << "a.log\" \"b.log";
    QTest::newRow("a lone quote") << "\""
                                  << "\"";
    QTest::newRow("empty quotes") << "\"\""
                                  << "";
    QTest::newRow("nothing") << ""
                             << "";
  }
  void removesOnePairOfEnclosingQuotes() {
    QFETCH(QString, raw);
    QFETCH(QString, name);
    QCOMPARE(WithoutEnclosingQuotes(raw), name);
  }
};

QTEST_GUILESS_MAIN(StartupFileNameTest)
#include "StartupFileNameTest.moc"
