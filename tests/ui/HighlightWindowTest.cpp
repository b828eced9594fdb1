// Highlight rules in the window: both panes colour by them, an edit in the dialog recolours at
// once and is kept, and the strips beside the scroll bars mark alert lines and Find's matches.
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QtTest>

#include "FindBar.h"
#include "HighlightRulesDialog.h"
#include "HighlightRulesHolder.h"
#include "HitStrip.h"
#include "PaneHitMarks.h"
#include "RunsView.h"
#include "TestLogs.h"
#include "TextPane.h"
#include "WindowBench.h"

namespace {

bool Shows(const TTextPane& pane, THighlightColour colour) {
  const QImage image = pane.viewport()->grab().toImage();
  const QColor wanted = QColor::fromRgb(ShadesOf(colour).Background);
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (image.pixelColor(x, y) == wanted) return true;
    }
  }
  return false;
}

// How many marks of `kind` the strip beside `pane` shows.
quint32 Marked(const TTextPane& pane, int kind) {
  quint32 marks = 0;
  for (const TStripCounts& counts : pane.findChild<HitStrip*>()->PixelCounts()) {
    marks += counts[kind];
  }
  return marks;
}

QAction* SearchMenuItem(const TFormDisplay& form, const QString& text) {
  for (QAction* menu : form.MainMenu1->actions()) {
    if (!menu->menu()) continue;
    for (QAction* item : menu->menu()->actions()) {
      if (item->text() == text) return item;
    }
  }
  return nullptr;
}

template <typename Widget>
Widget* Named(const QWidget& parent, const QString& text) {
  for (Widget* widget : parent.findChildren<Widget*>()) {
    if (widget->text() == text) return widget;
  }
  qFatal("no %s", qPrintable(text));
}

}  // namespace

class HighlightWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void aRuleEditRecoloursBothPanesAndIsKept() {
    WindowBench window;
    TFormDisplay& form = window.Form();
    const TestLogs logs;
    QByteArray log = TestLogs::RunsWithDates(TestLogs::Dates(2), {"S timeout"});
    log.insert(log.indexOf("run 0 line 2"), "pump ERROR 7\r\nWarning: low\r\n");
    window.Open(logs.Write("alerts.log", log));
    WAIT_FOR_LOAD(form);
    QVERIFY(window.ShowActive());
    for (const TTextPane* pane : {form.LogMemo, form.ScriptMemo}) {
      QVERIFY(Shows(*pane, THighlightColour::Red));
      QVERIFY(!Shows(*pane, THighlightColour::Green));
    }
    QVERIFY(Shows(*form.LogMemo, THighlightColour::Amber));
    QTRY_COMPARE(Marked(*form.LogMemo, AlertKind(THighlightColour::Red)), 1u);

    QAction* item = SearchMenuItem(form, "Highlight rules...");
    QVERIFY(item);
    item->trigger();
    auto* dialog = form.findChild<HighlightRulesDialog*>("HighlightRulesDialog");
    QVERIFY(dialog && dialog->isVisible());
    dialog->findChild<QComboBox*>("RuleColour")
        ->setCurrentIndex(static_cast<int>(THighlightColour::Green));
    dialog->accept();
    for (const TTextPane* pane : {form.LogMemo, form.ScriptMemo}) {
      QVERIFY(Shows(*pane, THighlightColour::Green));
      QVERIFY(!Shows(*pane, THighlightColour::Red));
    }
    QTRY_COMPARE(Marked(*form.LogMemo, AlertKind(THighlightColour::Green)), 1u);
    QCOMPARE(Marked(*form.LogMemo, AlertKind(THighlightColour::Red)), 0u);
    QCOMPARE(HighlightRulesHolder().Rules(), form.HighlightRules().Rules());
    QCOMPARE(form.HighlightRules().Rules()[0].Colour, THighlightColour::Green);
  }

  void theDialogEditsOrdersAndTradesRules() {
    HighlightRulesDialog dialog(DefaultHighlightRules());
    dialog.show();
    Named<QPushButton>(dialog, "A&dd")->click();
    dialog.findChild<QLineEdit*>("RuleText")->setText("pump");
    Named<QPushButton>(dialog, "&Up")->click();
    auto* list = dialog.findChild<QListWidget*>("HighlightRulesList");
    list->item(2)->setCheckState(Qt::Unchecked);
    list->setCurrentRow(2);
    dialog.findChild<QComboBox*>("RuleColour")
        ->setCurrentIndex(static_cast<int>(THighlightColour::Grey));
    THighlightRules edited = DefaultHighlightRules();
    THighlightRule added;
    added.Pattern.Text = "pump";
    added.Colour = THighlightColour::Blue;
    added.WholeLine = false;
    edited.insert(edited.begin(), added);
    edited[2].Enabled = false;
    edited[2].Colour = THighlightColour::Grey;
    QCOMPARE(dialog.Rules(), edited);
    dialog.findChild<QLineEdit*>("PreviewLine")->setText("a pump error");
    QCOMPARE(dialog.findChild<QLabel*>("Preview")->text(),
             "a <span style=\"color:#ffffff; background-color:#1565c0\">pump</span> error");

    const QTemporaryDir dir;
    dialog.ExportTo(dir.filePath("rules.json"));
    for (int rule = 0; rule < 3; ++rule) Named<QPushButton>(dialog, "&Remove")->click();
    QCOMPARE(dialog.Rules(), THighlightRules());
    dialog.ImportFrom(dir.filePath("rules.json"));
    QCOMPARE(dialog.Rules(), edited);

    // A rule that cannot match keeps the dialog open and is named.
    list->setCurrentRow(0);
    Named<QCheckBox>(dialog, "Regular e&xpression")->setChecked(true);
    dialog.findChild<QLineEdit*>("RuleText")->setText("pump (");
    dialog.accept();
    QVERIFY(dialog.isVisible());
    const QString problem = dialog.findChild<QLabel*>("HighlightRulesProblem")->text();
    QVERIFY2(problem.startsWith("Rule 1 cannot match: missing closing parenthesis"),
             qPrintable(problem));
  }

  void alertsAreCountedFilteredAndSteppedThrough() {
    WindowBench window;
    TFormDisplay& form = window.Form();
    const TestLogs logs;
    QByteArray log = TestLogs::RunsWithDates(TestLogs::Dates(3));
    log.insert(log.indexOf("run 0 line 2"), "pump ERROR 7\r\nwarning: valve\r\nabort here\r\n");
    log.insert(log.indexOf("run 2 line 1"), "timeout 3 s\r\n");
    window.Open(logs.Write("alerts.log", log));
    WAIT_FOR_LOAD(form);
    QVERIFY(window.ShowActive());
    const TRunsTableModel& table = *form.RunsView->Items();
    // Nothing is counted until someone wants the counts.
    QCOMPARE(table.AlertCount(0), std::nullopt);
    for (QAction* column : form.RunsView->header()->actions()) {
      if (column->text() == "Alerts") column->trigger();
    }
    QVERIFY(!form.RunsView->isColumnHidden(TRunsTableModel::AlertsColumn));
    QTRY_COMPARE(table.AlertCount(2), std::optional<size_t>(1));
    QCOMPARE(table.AlertCount(0), std::optional<size_t>(2));
    QCOMPARE(table.AlertCount(1), std::optional<size_t>(0));
    QAction* onlyAlerts = SearchMenuItem(form, "Only runs with alert&s");
    onlyAlerts->trigger();
    QCOMPARE(form.RunsView->model()->rowCount(), 2);
    onlyAlerts->trigger();
    QCOMPARE(form.RunsView->model()->rowCount(), 3);

    QAction* next = SearchMenuItem(form, "Next Aler&t");
    QAction* previous = SearchMenuItem(form, "Pre&vious Alert");
    QCOMPARE(next->shortcut(), QKeySequence(Qt::Key_F8));
    QCOMPARE(previous->shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_F8));
    form.RunsView->SetSelectedIndex(0);
    // The amber warning between them is no alert; past the last one of the run, on to the next
    // run with alerts, and round.
    for (const auto& [step, row, line] :
         std::vector<std::tuple<QAction*, int, QString>>{{next, 0, "pump ERROR 7"},
                                                         {next, 0, "abort here"},
                                                         {next, 2, "timeout 3 s"},
                                                         {next, 0, "pump ERROR 7"},
                                                         {previous, 2, "timeout 3 s"},
                                                         {previous, 0, "abort here"}}) {
      step->trigger();
      QTRY_COMPARE(form.LogMemo->SelectedText(), line);
      QCOMPARE(form.ShownRow(), row);
    }
  }

  void theStripMarksTheLinesFindCounted() {
    WindowBench window;
    TFormDisplay& form = window.Form();
    const TestLogs logs;
    window.Open(logs.Write("find.log", TestLogs::FirstRunWithMessages(2, 500)));
    WAIT_FOR_LOAD(form);
    QVERIFY(window.ShowActive());
    form.LogMemo->setFocus();
    QTest::keyClick(form.LogMemo, Qt::Key_F, Qt::ControlModifier);
    // "message 7", "message 70" to "message 79" and "message 700" on: 11 lines of 500.
    QTest::keyClicks(form.findChild<TFindBar*>()->NeedleEdit(), "message 7");
    QTRY_COMPARE(Marked(*form.LogMemo, kFindKind), 11u);
    QTest::keyClick(form.findChild<TFindBar*>()->NeedleEdit(), Qt::Key_Escape);
    QCOMPARE(Marked(*form.LogMemo, kFindKind), 0u);
  }
};

WINDOW_TEST_MAIN(HighlightWindowTest)
#include "HighlightWindowTest.moc"
