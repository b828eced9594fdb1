// The masking rules of comparisons: what they mask in a table of cases, the same whether the
// run of digits is found by hand or by the engine, and how they are kept.
#include <QtTest>
#include <random>

#include "MaskRules.h"
#include "WindowTest.h"

namespace {

// The text the tests write for a masked part.
QString Shown(const MaskRules& rules, const QString& line) {
  return rules.Masked(line).replace(QChar(0xE000), QLatin1Char('#'));
}

// The same rules, with one that never matches put last, so that the engine finds every part.
MaskRules ByTheEngine(const QStringList& patterns) {
  return MaskRules(patterns + QStringList{QStringLiteral("(?!)")});
}

}  // namespace

class MaskRulesTest : public QObject {
  Q_OBJECT

 private slots:
  void masks_data() {
    QTest::addColumn<QStringList>("patterns");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("masked");
    const QStringList defaults = MaskRules::DefaultPatterns();
    QTest::newRow("stamp and numbers") << defaults << "14:02:12.530  Cycle 1/5: aspirate 500 ul."
                                       << "#  Cycle #/#: aspirate # ul.";
    QTest::newRow("stamp without fraction") << defaults << "9:05:01 Well B12 read"
                                            << "# Well B# read";
    QTest::newRow("stamp with a comma") << defaults << "14:02:12,5 done"
                                        << "# done";
    QTest::newRow("stamp only leading") << defaults << "at 14:02:12 done"
                                        << "at #:#:# done";
    QTest::newRow("no digits") << defaults << "==>script execution finished."
                               << "==>script execution finished.";
    QTest::newRow("empty line") << defaults << ""
                                << "";
    QTest::newRow("digits only") << defaults << "20417"
                                 << "#";
    QTest::newRow("non-ASCII digits stay") << defaults << "Reading \u0663 done"
                                           << "Reading \u0663 done";
    QTest::newRow("no rules") << QStringList() << "Cycle 1/5"
                              << "Cycle 1/5";
    QTest::newRow("first rule wins") << QStringList{"\\d+ ul", "\\d+"} << "500 ul at 200 ul/s"
                                     << "# at #/s";
    QTest::newRow("an id and digits") << QStringList{"P-\\d+", "\\d+"} << "plate P-54224 row 3"
                                      << "plate # row #";
    QTest::newRow("empty matches are passed over") << QStringList{"x*"} << "axxb"
                                                   << "a#b";
  }
  void masks() {
    QFETCH(QStringList, patterns);
    QFETCH(QString, line);
    QFETCH(QString, masked);
    const MaskRules rules(patterns);
    QCOMPARE(Shown(rules, line), masked);
    QCOMPARE(Shown(ByTheEngine(patterns), line), masked);
  }

  void findsTheDigitsAsTheEngineDoes() {
    const QList<QStringList> ruleSets = {
        {"\\d+"},
        {"^\\d{1,2}:\\d{2}:\\d{2}(?:[.,]\\d+)?", "\\d+"},
        {"\\d+x", "\\d+"},
        {"[a-c]\\d", "\\d+"},
        {"(?<=a)\\d+b", "\\d+"},
        {"b*", "\\d+"},
        {"\\d\\D\\d", "\\d+"},
    };
    std::mt19937 random(30);
    const QString characters = QStringLiteral("0123456789abcx:.- ");
    for (const QStringList& patterns : ruleSets) {
      const MaskRules byHand(patterns);
      const MaskRules byEngine = ByTheEngine(patterns);
      for (int round = 0; round < 2000; ++round) {
        QString line;
        for (int length = static_cast<int>(random() % 16); length > 0; --length) {
          line += characters[static_cast<int>(random() % characters.size())];
        }
        QCOMPARE(byHand.MaskedParts(line), byEngine.MaskedParts(line));
        QCOMPARE(byHand.MaskedHash(line), byEngine.MaskedHash(line));
      }
    }
  }

  void equalMaskedTextsHashAlike() {
    const MaskRules rules;
    QCOMPARE(rules.MaskedHash("10:31:58.649  Dispensed 50 ul into well A8."),
             rules.MaskedHash("13:05:39.232  Dispensed 75 ul into well A12."));
    QVERIFY(rules.MaskedHash("Dispensed 50 ul") != rules.MaskedHash("Dispensed 50 ml"));
  }

  void keepsTheRulesAndNamesABadOne() {
    const ScratchSettings settings;
    QCOMPARE(MaskRules::Saved().Patterns(), MaskRules::DefaultPatterns());
    MaskRules({"P-\\d+", "\\d+"}).Save();
    QCOMPARE(MaskRules::Saved().Patterns(), QStringList({"P-\\d+", "\\d+"}));
    MaskRules({"well (\\d+"}).Save();
    QVERIFY(MaskRules::Saved().Patterns().isEmpty());
    const QString problem = MaskRules({"ok", "well (\\d+"}).Problem();
    QVERIFY2(problem.contains("well (\\d+"), qPrintable(problem));
    QVERIFY(MaskRules::DefaultPatterns().size() > 0 && MaskRules().Problem().isEmpty());
  }
};

QTEST_GUILESS_MAIN(MaskRulesTest)
#include "MaskRulesTest.moc"
