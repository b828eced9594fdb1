#include <QCheckBox>
#include <QFontMetrics>
#include <QLineEdit>
#include <QScrollBar>
#include <QtTest>
#include <cmath>

#include "DisplayForm.h"
#include "FindBar.h"
#include "PaneFinder.h"
#include "RunsView.h"
#include "SplitterPanel.h"
#include "TestLogs.h"
#include "TextPane.h"
#include "WindowBench.h"

namespace {

// A log of one run per entry in `runLogs`, each run of its own script entry with `script` as its
// text; the log pane shows a run's lines as they are given.
QByteArray Log(const QList<QStringList>& runLogs, const QStringList& script,
               const char* encoding = "windows-1252") {
  QByteArray text;
  const auto bytes = [encoding](const QString& line) {
    return QByteArray(encoding) == "utf-8" ? line.toUtf8() : line.toLatin1();
  };
  for (qsizetype run = 0; run < runLogs.size(); ++run) {
    text += "------ NextPart = Script\r\n" + bytes(script.join("\r\n")) +
            "\r\n------ NextPart = LogMessage\r\n==>loading script \"S" + QByteArray::number(run) +
            "\".\r\n-\r\nStarted: 2026-12-01 10:0" + QByteArray::number(run) + "\r\n";
    for (const QString& line : runLogs[run]) text += bytes(line) + "\r\n";
    text += "==>script execution finished.\r\n------ NextEntry\r\n";
  }
  return text;
}

// 300 log lines; "Target" stands in lines 10, 150 and 290, "target" in line 200.
QStringList LongRun() {
  QStringList lines;
  for (int line = 0; line < 300; ++line) {
    const bool target = line == 10 || line == 150 || line == 290;
    lines << (target        ? QStringLiteral("line %1 Target here").arg(line)
              : line == 200 ? QStringLiteral("line 200 lower target")
                            : QStringLiteral("line %1 plain").arg(line));
  }
  return lines;
}

TTextRange Range(size_t line, int from, int to) {
  return {{{line, 0}, from}, {{line, 0}, to}};
}

}  // namespace

class FindBarTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    window_ = std::make_unique<WindowBench>();
    form_ = &window_->Form();
    logs_ = std::make_unique<TestLogs>();
  }
  void cleanup() {
    const QStringList errors = window_->Errors();
    window_.reset();
    QVERIFY2(errors.isEmpty(), qPrintable(errors.join('\n')));
  }

  void unusedTheBarIsHidden() {
    OpenAndShow(Log({LongRun()}, {"script"}));
    QVERIFY(!Bar()->isVisible());
    QVERIFY(form_->centralWidget()->isAncestorOf(form_->SplitterPanel1));
    QVERIFY(form_->LogMemo->HighlightedMatches().empty());
  }

  void ctrlFShowsTheBarAndFocusesIt() {
    OpenAndShow(Log({LongRun()}, {"script"}));
    form_->LogMemo->setFocus();
    QTest::keyClick(form_->LogMemo, Qt::Key_F, Qt::ControlModifier);
    QVERIFY(Bar()->isVisible());
    QCOMPARE(QApplication::focusWidget(), Bar()->NeedleEdit());
    QCOMPARE(Finder()->Pane(), form_->LogMemo);
    QVERIFY(!Bar()->findChild<QCheckBox*>()->isChecked());
  }

  void ctrlFTakesTheSelectedText() {
    OpenAndShow(Log({LongRun()}, {"script"}));
    form_->LogMemo->setFocus();
    form_->LogMemo->Select(Range(3, 0, 12));
    QTest::keyClick(form_->LogMemo, Qt::Key_F, Qt::ControlModifier);
    QCOMPARE(Bar()->Needle(), QStringLiteral("line 3 plain"));
    QCOMPARE(form_->LogMemo->Selection(), Range(3, 0, 12));
    QTRY_COMPARE(Bar()->Status(), QStringLiteral("1 of 1 match"));
  }

  // A click on the empty table area takes the selection away but leaves the panes as they are;
  // Find still searches what they show.
  void findSearchesWhatThePaneShowsWithNoRowSelected() {
    OpenAndShow(Log({LongRun()}, {"script"}));
    form_->RunsView->SetSelectedIndex(-1);
    OpenBarIn(form_->ScriptMemo);
    QTest::keyClicks(Bar()->NeedleEdit(), "script");
    QTRY_COMPARE(Bar()->Status(), QStringLiteral("1 of 1 match"));
    QVERIFY(form_->ScriptMemo->HasSelection());
  }

  void f3WithTheBarClosedGoesToTheNextMatchAtOnce() {
    OpenAndShow(Log({LongRun()}, {"script"}));
    OpenBarIn(form_->LogMemo);
    QTest::keyClicks(Bar()->NeedleEdit(), "target");
    QTRY_COMPARE(Bar()->Status(), QStringLiteral("1 of 4 matches"));
    QTest::keyClick(Bar()->NeedleEdit(), Qt::Key_Escape);
    QVERIFY(!Bar()->isVisible());
    QTest::keyClick(form_->LogMemo, Qt::Key_F3);
    QTRY_COMPARE(Bar()->Status(), QStringLiteral("2 of 4 matches"));
    QTest::keyClick(Bar()->NeedleEdit(), Qt::Key_Escape);
    QTest::keyClick(form_->LogMemo, Qt::Key_F3, Qt::ShiftModifier);
    QTRY_COMPARE(Bar()->Status(), QStringLiteral("1 of 4 matches"));
  }

  void typingSelectsTheFirstMatchFromTheCaret() {
    OpenAndShow(Log({LongRun()}, {"script"}));
    OpenBarIn(form_->LogMemo);
    QTest::keyClicks(Bar()->NeedleEdit(), "TARG");
    QCOMPARE(form_->LogMemo->Selection(), Range(10, 8, 12));
    QTest::keyClicks(Bar()->NeedleEdit(), "et");
    QCOMPARE(form_->LogMemo->SelectedText(), QStringLiteral("Target"));
    QCOMPARE(form_->LogMemo->Selection(), Range(10, 8, 14));
    QTRY_COMPARE(Bar()->Status(), QStringLiteral("1 of 4 matches"));

    // From a caret further down, typing finds the match after it.
    form_->LogMemo->Select(Range(160, 0, 0));
    Bar()->NeedleEdit()->clear();
    QTest::keyClicks(Bar()->NeedleEdit(), "target");
    QCOMPARE(form_->LogMemo->Selection().From.Ref.Line, size_t{200});
    QTRY_COMPARE(Bar()->Status(), QStringLiteral("3 of 4 matches"));
  }

  void stepsThroughTheMatchesAndWraps_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("forward");
    QTest::addColumn<QList<int>>("lines");
    QTest::addColumn<QStringList>("statuses");
    const QList<int> forward = {150, 200, 290, 10, 150};
    const QList<int> backward = {290, 200, 150, 10, 290};
    const QStringList forwardStatuses = {"2 of 4 matches", "3 of 4 matches", "4 of 4 matches",
                                         "1 of 4 matches · Wrapped to the top", "2 of 4 matches"};
    const QStringList backwardStatuses = {"4 of 4 matches · Wrapped to the bottom",
                                          "3 of 4 matches", "2 of 4 matches", "1 of 4 matches",
                                          "4 of 4 matches · Wrapped to the bottom"};
    QTest::newRow("F3") << int(Qt::Key_F3) << true << forward << forwardStatuses;
    QTest::newRow("Enter") << int(Qt::Key_Return) << true << forward << forwardStatuses;
    QTest::newRow("Shift+F3") << int(Qt::Key_F3) << false << backward << backwardStatuses;
    QTest::newRow("Shift+Enter") << int(Qt::Key_Return) << false << backward << backwardStatuses;
  }
  void stepsThroughTheMatchesAndWraps() {
    QFETCH(int, key);
    QFETCH(bool, forward);
    QFETCH(QList<int>, lines);
    QFETCH(QStringList, statuses);
    OpenAndShow(Log({LongRun()}, {"script"}));
    OpenBarIn(form_->LogMemo);
    QTest::keyClicks(Bar()->NeedleEdit(), "target");
    QCOMPARE(form_->LogMemo->Selection().From.Ref.Line, size_t{10});
    for (qsizetype step = 0; step < lines.size(); ++step) {
      QTest::keyClick(Bar()->NeedleEdit(), Qt::Key(key),
                      forward ? Qt::NoModifier : Qt::ShiftModifier);
      QCOMPARE(form_->LogMemo->Selection().From.Ref.Line, size_t(lines[step]));
      QCOMPARE(form_->LogMemo->SelectedText().toLower(), QStringLiteral("target"));
      QTRY_COMPARE(Bar()->Status(), statuses[step]);
    }
  }

  void matchCaseKeepsToTheCase() {
    OpenAndShow(Log({LongRun()}, {"script"}));
    OpenBarIn(form_->LogMemo);
    QTest::keyClicks(Bar()->NeedleEdit(), "target");
    QTRY_COMPARE(Bar()->Status(), QStringLiteral("1 of 4 matches"));
    Bar()->findChild<QCheckBox*>()->setChecked(true);
    QCOMPARE(form_->LogMemo->Selection().From.Ref.Line, size_t{200});
    QTRY_COMPARE(Bar()->Status(), QStringLiteral("1 of 1 match"));
  }

  void noMatchSaysSoAndTintsTheLine() {
    OpenAndShow(Log({LongRun()}, {"script"}));
    OpenBarIn(form_->LogMemo);
    const QColor normal = Bar()->NeedleEdit()->palette().color(QPalette::Base);
    QTest::keyClicks(Bar()->NeedleEdit(), "line 1 ");
    const TTextRange before = form_->LogMemo->Selection();
    QTest::keyClick(Bar()->NeedleEdit(), Qt::Key_X);
    QCOMPARE(Bar()->Status(), QStringLiteral("No matches"));
    QVERIFY(Bar()->NeedleEdit()->palette().color(QPalette::Base) != normal);
    QCOMPARE(form_->LogMemo->Selection(), before);
    QTest::keyClick(Bar()->NeedleEdit(), Qt::Key_F3);
    QCOMPARE(Bar()->Status(), QStringLiteral("No matches"));

    QTest::keyClick(Bar()->NeedleEdit(), Qt::Key_Backspace);
    QCOMPARE(Bar()->NeedleEdit()->palette().color(QPalette::Base), normal);
    QTRY_COMPARE(Bar()->Status(), QStringLiteral("1 of 1 match"));
  }

  void regularExpressionsFindWhatTheyMatch_data() {
    QTest::addColumn<QString>("expression");
    QTest::addColumn<QString>("status");
    QTest::addColumn<int>("selectedLine");  // -1: none
    QTest::newRow("class") << "line 1[05]0 "
                           << "1 of 2 matches" << 100;
    QTest::newRow("anchors keep to a line") << "^line \\d+ Target here$"
                                            << "1 of 3 matches" << 10;
    QTest::newRow("case ignored") << "LOWER T.RGET"
                                  << "1 of 1 match" << 200;
    QTest::newRow("nothing") << "line \\d+ lower X"
                             << "No matches" << -1;
    QTest::newRow("refused") << "line ["
                             << "Invalid expression: missing terminating ] for "
                                "character class at character 7"
                             << -1;
  }
  void regularExpressionsFindWhatTheyMatch() {
    QFETCH(QString, expression);
    QFETCH(QString, status);
    QFETCH(int, selectedLine);
    OpenAndShow(Log({LongRun()}, {"script"}));
    OpenBarIn(form_->LogMemo);
    const QColor normal = Bar()->NeedleEdit()->palette().color(QPalette::Base);
    Check(tr("Regular e&xpression"));
    TypeCharacters(expression);
    QTRY_COMPARE(Bar()->Status(), status);
    QCOMPARE(Bar()->NeedleEdit()->palette().color(QPalette::Base) != normal, selectedLine < 0);
    if (selectedLine >= 0) {
      QCOMPARE(form_->LogMemo->Selection().From.Ref.Line, size_t(selectedLine));
      QTest::keyClick(Bar()->NeedleEdit(), Qt::Key_F3);
      QVERIFY(form_->LogMemo->Selection().From.Ref.Line != size_t(selectedLine) ||
              status.startsWith(QStringLiteral("1 of 1")));
    }
  }

  void searchesTheScriptPaneWhenItHadTheFocus() {
    OpenAndShow(Log({LongRun()}, {"first script line", "then the Target step"}));
    OpenBarIn(form_->ScriptMemo);
    QCOMPARE(Finder()->Pane(), form_->ScriptMemo);
    QTest::keyClicks(Bar()->NeedleEdit(), "target");
    QCOMPARE(form_->ScriptMemo->Selection(), Range(1, 9, 15));
    QVERIFY(!form_->LogMemo->HasSelection());
    QTRY_COMPARE(Bar()->Status(), QStringLiteral("1 of 1 match"));
    QTest::keyClick(Bar()->NeedleEdit(), Qt::Key_F3);
    QCOMPARE(Bar()->Status(), QStringLiteral("Wrapped to the top"));
    QTRY_COMPARE(Bar()->Status(), QStringLiteral("1 of 1 match · Wrapped to the top"));

    // Asked again from within the bar, Find stays with the script pane.
    QTest::keyClick(Bar()->NeedleEdit(), Qt::Key_F, Qt::ControlModifier);
    QCOMPARE(Finder()->Pane(), form_->ScriptMemo);
  }

  void escapeClosesTheBarAndGivesThePaneTheFocus() {
    OpenAndShow(Log({LongRun()}, {"script with target"}));
    for (TTextPane* pane : {form_->LogMemo, form_->ScriptMemo}) {
      OpenBarIn(pane);
      QTest::keyClicks(Bar()->NeedleEdit(), "target");
      QVERIFY(!pane->HighlightedMatches().empty());
      QTest::keyClick(Bar()->NeedleEdit(), Qt::Key_Escape);
      QVERIFY(!Bar()->isVisible());
      QCOMPARE(QApplication::focusWidget(), pane);
      QVERIFY(pane->HighlightedMatches().empty());
      QCOMPARE(pane->SelectedText().toLower(), QStringLiteral("target"));
      Bar()->NeedleEdit()->clear();
    }
  }

  void marksTheMatchesInViewAndCentresTheCurrentOne() {
    OpenAndShow(Log({LongRun()}, {"script"}));
    OpenBarIn(form_->LogMemo);
    QTest::keyClicks(Bar()->NeedleEdit(), "line 15");
    // "line 15" and "line 150" to "line 159" are in view around line 15; line 150 is not.
    QCOMPARE(form_->LogMemo->Selection(), Range(15, 0, 7));
    const std::vector<TTextRange> nearTop = form_->LogMemo->HighlightedMatches();
    QVERIFY(std::ranges::find(nearTop, Range(15, 0, 7)) != nearTop.end());
    QVERIFY(std::ranges::find(nearTop, Range(150, 0, 7)) == nearTop.end());

    QTest::keyClick(Bar()->NeedleEdit(), Qt::Key_F3);
    QCOMPARE(form_->LogMemo->Selection(), Range(150, 0, 7));
    const QFontMetricsF metrics(form_->LogMemo->font());
    const int height = form_->LogMemo->viewport()->height();
    const int top = form_->LogMemo->verticalScrollBar()->value();
    const int pageRows = static_cast<int>(height / metrics.lineSpacing());
    QVERIFY2(qAbs(150 - (top + pageRows / 2)) <= 1,
             qPrintable(QStringLiteral("top %1 of %2 rows").arg(top).arg(pageRows)));
    // Rows shown in part count as in view.
    const int rowsShown = static_cast<int>(std::ceil(height / metrics.height()));
    std::vector<TTextRange> inView;
    for (size_t line = 150; line < 160 && line < size_t(top + rowsShown); ++line) {
      inView.push_back(Range(line, 0, 7));
    }
    QVERIFY(inView.size() > 1);
    QCOMPARE(form_->LogMemo->HighlightedMatches(), inView);

    // A match already in view is selected where it is.
    QTest::keyClick(Bar()->NeedleEdit(), Qt::Key_F3);
    QCOMPARE(form_->LogMemo->Selection(), Range(151, 0, 7));
    QCOMPARE(form_->LogMemo->verticalScrollBar()->value(), top);
  }

  void findsTheCharactersOfEachEncoding_data() {
    QTest::addColumn<QString>("encoding");
    QTest::newRow("windows-1252") << "windows-1252";
    QTest::newRow("utf-8") << "utf-8";
  }
  void findsTheCharactersOfEachEncoding() {
    QFETCH(QString, encoding);
    const QString line = QString::fromUtf8("Mix 5 \u00b5l at 37 \u00b0C, then 7 \u00b5L");
    OpenAndShow(Log({{line}}, {"script"}, encoding.toLatin1().constData()));
    OpenBarIn(form_->LogMemo);
    TypeCharacters(QString::fromUtf8("\u00b5l"));
    QCOMPARE(form_->LogMemo->Selection(), Range(0, 6, 8));
    QTest::keyClick(Bar()->NeedleEdit(), Qt::Key_F3);
    QCOMPARE(form_->LogMemo->Selection(), Range(0, 26, 28));
    TypeCharacters(QString::fromUtf8("\u2126"));  // not in Windows-1252, nor in the text
    QCOMPARE(Bar()->Status(), QStringLiteral("No matches"));
  }

  void findsInALineOfManyChunks() {
    // A line of 20,000 bytes is shown in chunks; the matches lie beyond the first one.
    const QString longLine =
        QString(12000, QLatin1Char('x')) + " needle " + QString(8000, QLatin1Char('y')) + " needle";
    OpenAndShow(Log({{"short", longLine}}, {"script"}));
    OpenBarIn(form_->LogMemo);
    QTest::keyClicks(Bar()->NeedleEdit(), "needle");
    QCOMPARE(form_->LogMemo->SelectedText(), QStringLiteral("needle"));
    QVERIFY(form_->LogMemo->Selection().From.Ref.Chunk > 0);
    QTest::keyClick(Bar()->NeedleEdit(), Qt::Key_F3);
    QCOMPARE(form_->LogMemo->SelectedText(), QStringLiteral("needle"));
    QCOMPARE(form_->LogMemo->Selection().From.Ref.Line, size_t{1});
    QTRY_COMPARE(Bar()->Status(), QStringLiteral("2 of 2 matches"));
  }

  void aMatchAcrossAChunkCutIsWhole() {
    // The line's one blank ends its first chunk.
    const QString longLine =
        QString(8100, QLatin1Char('x')) + " needle" + QString(1000, QLatin1Char('y'));
    OpenAndShow(Log({{longLine}}, {"script"}));
    OpenBarIn(form_->LogMemo);
    QTest::keyClicks(Bar()->NeedleEdit(), "x needle");
    QCOMPARE(form_->LogMemo->SelectedText(), QStringLiteral("x needle"));
    const TTextRange across = {{{0, 0}, 8099}, {{0, 1}, 6}};
    QCOMPARE(form_->LogMemo->Selection(), across);
    const std::vector<TTextRange> parts = {{{{0, 0}, 8099}, {{0, 0}, 8101}},
                                           {{{0, 1}, 0}, {{0, 1}, 6}}};
    QCOMPARE(form_->LogMemo->HighlightedMatches(), parts);
  }

  void anotherRunIsCountedAnew() {
    OpenAndShow(Log({LongRun(), {"one target", "two"}}, {"script"}));
    OpenBarIn(form_->LogMemo);
    QTest::keyClicks(Bar()->NeedleEdit(), "target");
    QTRY_COMPARE(Bar()->Status(), QStringLiteral("1 of 4 matches"));
    form_->RunsView->SetSelectedIndex(1);
    QTRY_COMPARE(Bar()->Status(), QStringLiteral("1 match"));
    QTest::keyClick(Bar()->NeedleEdit(), Qt::Key_F3);
    QCOMPARE(form_->LogMemo->Selection(), Range(0, 4, 10));
  }

  void manyMatchesAreCountedUpToTheLimit() {
    QStringList lines;
    for (size_t line = 0; line < TPaneFinder::kCountLimit + 5; ++line) lines << "a";
    OpenAndShow(Log({lines}, {"script"}));
    OpenBarIn(form_->LogMemo);
    QTest::keyClick(Bar()->NeedleEdit(), Qt::Key_A);
    QTRY_COMPARE(Bar()->Status(), QStringLiteral("1 of 10000+ matches"));
    form_->LogMemo->Select(Range(TPaneFinder::kCountLimit + 4, 0, 0));
    QTest::keyClick(Bar()->NeedleEdit(), Qt::Key_F3);
    QTRY_COMPARE(Bar()->Status(), QStringLiteral("10000+ matches"));
  }

  void anEmptyWindowFindsNothing() {
    QVERIFY(window_->ShowActive());
    QTest::keyClick(form_, Qt::Key_F, Qt::ControlModifier);
    QVERIFY(Bar()->isVisible());
    QTest::keyClicks(Bar()->NeedleEdit(), "a");
    QCOMPARE(Bar()->Status(), QStringLiteral("No matches"));
    QTest::keyClick(Bar()->NeedleEdit(), Qt::Key_F3, Qt::ShiftModifier);
    QCOMPARE(Bar()->Status(), QStringLiteral("No matches"));
  }

 private:
  void Check(const QString& option) {
    for (QCheckBox* box : Bar()->findChildren<QCheckBox*>()) {
      if (box->text() == option) return box->setChecked(true);
    }
    QFAIL(qPrintable(option));
  }

  TFindBar* Bar() const { return form_->findChild<TFindBar*>(QStringLiteral("FindBar")); }
  TPaneFinder* Finder() const { return form_->findChild<TPaneFinder*>(); }

  // Types characters that have no key of their own on a US keyboard.
  void TypeCharacters(const QString& text) {
    for (const QChar c : text) {
      QTest::sendKeyEvent(QTest::Click, Bar()->NeedleEdit(), Qt::Key_unknown, c, Qt::NoModifier);
    }
  }

  void OpenAndShow(const QByteArray& log) {
    window_->Open(logs_->Write("find.log", log));
    QVERIFY(window_->ShowActive());
  }

  void OpenBarIn(TTextPane* pane) {
    pane->setFocus();
    QTest::keyClick(pane, Qt::Key_F, Qt::ControlModifier);
    QVERIFY(Bar()->isVisible());
  }

  std::unique_ptr<WindowBench> window_;
  TFormDisplay* form_ = nullptr;
  std::unique_ptr<TestLogs> logs_;
};

QTEST_MAIN(FindBarTest)
#include "FindBarTest.moc"
