// Highlight rules: which rule colours a line and what of it, in a table of cases; their JSON both
// ways and what it says about a file it cannot take; and how the rules in force are kept.
#include <QSignalSpy>
#include <QtTest>

#include "HighlightRulesHolder.h"
#include "HighlightRulesJson.h"
#include "LineHighlighter.h"
#include "WindowTest.h"

namespace {

// A rule from its text and letters for what differs from a new rule: r regex, c match case,
// w whole words, p only the matches (not the whole line), a alert, - turned off.
THighlightRule Rule(const QString& text, const QString& flags = {},
                    THighlightColour colour = THighlightColour::Red) {
  THighlightRule rule;
  rule.Pattern = {text, flags.contains('r'), flags.contains('c'), flags.contains('w')};
  rule.Colour = colour;
  rule.WholeLine = !flags.contains('p');
  rule.Alert = flags.contains('a');
  rule.Enabled = !flags.contains('-');
  return rule;
}

// What colours a line, written as the tests expect it: "none", or the rule's number from 1 and
// the parts as start+length.
QString Shown(const std::optional<TLineHighlight>& highlight) {
  if (!highlight) return QStringLiteral("none");
  QStringList parts{QString::number(highlight->Rule + 1) + ':'};
  for (const auto& [start, length] : highlight->Parts)
    parts << QStringLiteral("%1+%2").arg(start).arg(length);
  return parts.join(' ');
}

// Rules' JSON objects, written with single quotes, in the list the rules' JSON holds.
QByteArray Listed(const char* objects) {
  return QByteArray("{\"highlightRules\": [" + QByteArray(objects).replace('\'', '"') + "]}");
}

QString MessageOf(const QByteArray& json) {
  try {
    HighlightRulesFromJson(json, QStringLiteral("rules.json"));
  } catch (const HighlightRulesError& error) {
    return QString::fromStdString(error.what());
  }
  return {};
}

}  // namespace

Q_DECLARE_METATYPE(THighlightRules)

class HighlightRulesTest : public QObject {
  Q_OBJECT

 private slots:
  void colours_data() {
    QTest::addColumn<THighlightRules>("rules");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("colouring");
    const THighlightRules defaults = DefaultHighlightRules();
    QTest::newRow("default: an error") << defaults << "Pump error 42"
                                       << "1: 0+13";
    QTest::newRow("default: case ignored") << defaults << "ABORT by user"
                                           << "1: 0+13";
    QTest::newRow("default: a word, not part of one") << defaults << "no errors, terror"
                                                      << "none";
    QTest::newRow("default: before punctuation") << defaults << "timeout."
                                                 << "1: 0+8";
    QTest::newRow("default: warning in amber") << defaults << "Warning: low"
                                               << "2: 0+12";
    QTest::newRow("default: the first rule wins, not the first match")
        << defaults << "warning, then fail"
        << "1: 0+18";
    QTest::newRow("default: an empty line") << defaults << ""
                                            << "none";
    const THighlightRules order = {Rule("pump", "p"), Rule("pump a")};
    QTest::newRow("order: first rule") << order << "pump a on"
                                       << "1: 0+4";
    QTest::newRow("order: a rule turned off is passed over")
        << THighlightRules{Rule("pump", "p-"), Rule("pump a")} << "pump a on"
        << "2: 0+9";
    QTest::newRow("case: ignored") << THighlightRules{Rule("Pump", "p")} << "a PUMP b"
                                   << "1: 2+4";
    QTest::newRow("case: matched") << THighlightRules{Rule("Pump", "pc")} << "a PUMP b"
                                   << "none";
    QTest::newRow("case: ignored beyond ASCII")
        << THighlightRules{Rule(QStringLiteral("überlauf"), "p")} << QStringLiteral("ÜBERLAUF!")
        << "1: 0+8";
    QTest::newRow("parts: every match") << THighlightRules{Rule("an", "p")} << "banana"
                                        << "1: 1+2 3+2";
    QTest::newRow("whole words: text") << THighlightRules{Rule("pump", "pw")} << "pumps pump"
                                       << "1: 6+4";
    QTest::newRow("whole words: a text that ends in a mark")
        << THighlightRules{Rule("[ERR]", "pw")} << "x[ERR]y"
        << "1: 1+5";
    QTest::newRow("whole words: an expression") << THighlightRules{Rule("a|b", "rpw")} << "ab a b"
                                                << "1: 3+1 5+1";
    QTest::newRow("expression") << THighlightRules{Rule("pump [ab]", "rp")} << "pump c, pump b"
                                << "1: 8+6";
    QTest::newRow("expression: special characters in a text are text")
        << THighlightRules{Rule("a.c", "p")} << "abc a.c"
        << "1: 4+3";
    QTest::newRow("invalid expression: passed over")
        << THighlightRules{Rule("(pump", "r"), Rule("pump", "p")} << "(pump"
        << "2: 1+4";
    QTest::newRow("empty text: passed over") << THighlightRules{Rule(""), Rule("b", "p")} << "ab"
                                             << "2: 1+1";
    QTest::newRow("empty matches colour nothing")
        << THighlightRules{Rule("x*", "r"), Rule("b", "p")} << "ab"
        << "2: 1+1";
    QTest::newRow("empty matches beside real ones") << THighlightRules{Rule("x*", "rp")} << "axxbx"
                                                    << "1: 1+2 4+1";
  }
  void colours() {
    QFETCH(THighlightRules, rules);
    QFETCH(QString, line);
    QFETCH(QString, colouring);
    const LineHighlighter highlighter(rules);
    const std::optional<TLineHighlight> highlight = highlighter.Highlight(line);
    QCOMPARE(Shown(highlight), colouring);
    QCOMPARE(highlighter.RuleOf(line), highlight ? std::optional(highlight->Rule) : std::nullopt);
  }

  void namesTheRuleThatCannotMatch() {
    const LineHighlighter highlighter({Rule("ok"), Rule("(a", "r")});
    QVERIFY2(highlighter.Problem().startsWith("Rule 2 cannot match: "),
             qPrintable(highlighter.Problem()));
    QVERIFY(LineHighlighter(DefaultHighlightRules()).Problem().isEmpty());
    QVERIFY(LineHighlighter(DefaultHighlightRules()).HasAlertRules());
    QVERIFY(!LineHighlighter({Rule("x", "-a"), Rule("(", "ra"), Rule("y")}).HasAlertRules());
  }

  void jsonKeepsEveryField() {
    THighlightRules rules = DefaultHighlightRules();
    for (THighlightColour colour : kHighlightColours) {
      rules.push_back(Rule(ColourName(colour), QStringLiteral("rcwpa-"), colour));
    }
    rules.push_back(Rule(QStringLiteral("\"quoted\" \\ and ünïcode")));
    QCOMPARE(HighlightRulesFromJson(HighlightRulesJson(rules), "x"), rules);
    QCOMPARE(HighlightRulesFromJson(HighlightRulesJson({}), "x"), THighlightRules());
    // Only the text is needed; the rest is as a new rule has it.
    QCOMPARE(HighlightRulesFromJson(Listed("{'pattern': 'p'}"), "x"), THighlightRules{Rule("p")});
  }

  void jsonErrorsNameTheFileAndTheField_data() {
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("message");
    QTest::newRow("not JSON") << QByteArray("{\"highlightRules\": [") << "at byte";
    QTest::newRow("no list") << QByteArray("{\"rules\": []}") << "no list \"highlightRules\"";
    QTest::newRow("not an object") << Listed("{'pattern': 'a'}, 3") << "rule 2 is not an object";
    QTest::newRow("no pattern") << Listed("{'regex': true}") << "rule 1 has no text \"pattern\"";
    QTest::newRow("a switch of another type")
        << Listed("{'pattern': 'a', 'alert': 1}") << "rule 1, \"alert\" is not true or false";
    QTest::newRow("unknown colour")
        << Listed("{'pattern': 'a', 'colour': 'pink'}")
        << "rule 1, \"colour\" is not one of red, amber, green, blue, violet, grey";
    QTest::newRow("invalid expression")
        << Listed("{'pattern': '(a', 'regex': true}")
        << "rule 1, \"pattern\": missing closing parenthesis at character 3";
    QTest::newRow("empty pattern") << Listed("{'pattern': ''}") << "rule 1, \"pattern\": is empty";
  }
  void jsonErrorsNameTheFileAndTheField() {
    QFETCH(QByteArray, json);
    QFETCH(QString, message);
    const QString got = MessageOf(json);
    QVERIFY2(got.startsWith("Cannot read highlight rules from \"rules.json\": "), qPrintable(got));
    QVERIFY2(got.contains(message), qPrintable(got));
  }

  void filesRoundTripAndNameThemselvesInErrors() {
    const QTemporaryDir dir;
    const QString path = dir.filePath("rules.json");
    const THighlightRules rules = {Rule("a", "rp", THighlightColour::Blue)};
    WriteHighlightRulesFile(path, rules);
    QCOMPARE(ReadHighlightRulesFile(path), rules);
    const QString missing = dir.filePath("missing.json");
    QVERIFY_THROWS_EXCEPTION(HighlightRulesError, ReadHighlightRulesFile(missing));
    try {
      WriteHighlightRulesFile(dir.filePath("no/such/folder.json"), rules);
      QFAIL("wrote into a folder that does not exist");
    } catch (const HighlightRulesError& error) {
      QVERIFY(QString::fromStdString(error.what()).contains(dir.filePath("no/such/folder.json")));
    }
  }

  void theRulesInForceAreKept() {
    const ScratchSettings settings;
    QCOMPARE(HighlightRulesHolder().Rules(), DefaultHighlightRules());
    HighlightRulesHolder holder;
    QSignalSpy changed(&holder, &HighlightRulesHolder::RulesChanged);
    const THighlightRules rules = {Rule("b", "pc", THighlightColour::Green)};
    holder.SetRules(rules);
    holder.SetRules(rules);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(holder.Highlighter()->Rules(), rules);
    QCOMPARE(HighlightRulesHolder().Rules(), rules);
    holder.SetRules({});
    QCOMPARE(HighlightRulesHolder().Rules(), THighlightRules());
    // Kept rules that cannot be read give way to the defaults.
    QSettings().setValue("Highlight/Rules", QByteArray("{"));
    QCOMPARE(HighlightRulesHolder().Rules(), DefaultHighlightRules());
  }
};

QTEST_GUILESS_MAIN(HighlightRulesTest)
#include "HighlightRulesTest.moc"
