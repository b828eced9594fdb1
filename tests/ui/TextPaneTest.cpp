#include <QClipboard>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QScrollBar>
#include <QTest>
#include <QVBoxLayout>
#include <cmath>
#include <memory>
#include <string>

#include "LineList.h"
#include "TextPane.h"
#include "TextPaneChunks.h"

namespace {

// Bytes cut into lines the way the store cuts them, alive for as long as a pane shows them.
class TTestLines {
 public:
  explicit TTestLines(std::string bytes) : bytes_(std::move(bytes)), list_(LineList::Of(bytes_)) {}
  TTestLines(const TTestLines&) = delete;
  TTestLines& operator=(const TTestLines&) = delete;

  const LineList& List() const { return list_; }

 private:
  std::string bytes_;
  LineList list_;
};

QFont TestFont() {
  return QFontDatabase::systemFont(QFontDatabase::FixedFont);
}

qreal Advance(const QString& text) {
  return QFontMetricsF(TestFont()).horizontalAdvance(text);
}

qreal RowHeight() {
  return QFontMetricsF(TestFont()).height();
}

// A shown pane without a frame, as the window has it, whose rows wrap at `wrapWidth`.
std::unique_ptr<TTextPane> ShownPane(int wrapWidth, int height = 300) {
  auto pane = std::make_unique<TTextPane>();
  pane->setFrameShape(QFrame::NoFrame);
  pane->setFont(TestFont());
  pane->show();
  pane->resize(wrapWidth + pane->viewport()->width() - pane->WrapWidth(), height);
  return pane;
}

// Where the character `column` of the text on screen row `row` starts, for a pane whose rows are
// all short enough not to wrap before it.
QPoint PointAt(const TTextPane& pane, int row, const QString& rowTextBefore) {
  const qreal left = (pane.viewport()->width() - pane.WrapWidth()) / 2.0;
  return QPointF(left + Advance(rowTextBefore) + 1, (row + 0.5) * RowHeight()).toPoint();
}

void Press(TTextPane& pane, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QTest::keyClick(&pane, key, modifiers);
}

QImage Rendered(const std::string& bytes, Encoding encoding) {
  const TTestLines lines(bytes);
  const auto pane = ShownPane(300, 100);
  pane->AppendLines(lines.List(), encoding);
  return pane->viewport()->grab().toImage();
}

bool Shows(TTextPane& pane, const QColor& colour) {
  const QImage image = pane.viewport()->grab().toImage();
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (image.pixelColor(x, y) == colour) return true;
    }
  }
  return false;
}

std::string NumberedLines(int count) {
  std::string bytes;
  for (int i = 0; i < count; ++i) bytes += "line " + std::to_string(i) + "\r\n";
  return bytes;
}

}  // namespace

class TTextPaneTest : public QObject {
  Q_OBJECT

 private slots:
  void wrapsRowsAtTheEdge_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("fitting");  // the widest text that the row is to hold
    QTest::addColumn<int>("narrower");     // pixels less than that text needs
    QTest::addColumn<QString>("firstRow");

    const QString twelve(12, u'x');
    QTest::newRow("exactly as wide") << twelve << twelve << 0 << twelve;
    QTest::newRow("one character more") << twelve + u'x' << twelve << 0 << twelve;
    QTest::newRow("one pixel narrower") << twelve << twelve << 1 << QString(11, u'x');
    QTest::newRow("at a word boundary") << "alpha beta gamma"
                                        << "alpha beta gam" << 0 << "alpha beta ";
    QTest::newRow("inside a word wider than the row") << "abcdefghijklmnop qr"
                                                      << "abcdefgh" << 0 << "abcdefgh";
    QTest::newRow("a space at the edge stays on the row") << "abcd efgh"
                                                          << "abcd" << 0 << "abcd ";
  }

  void wrapsRowsAtTheEdge() {
    QFETCH(QString, line);
    QFETCH(QString, fitting);
    QFETCH(int, narrower);
    QFETCH(QString, firstRow);
    const TTestLines lines(line.toStdString());
    const auto pane = ShownPane(static_cast<int>(std::ceil(Advance(fitting))) - narrower);
    pane->AppendLines(lines.List(), Encoding::Utf8);

    // Down lands at the start of the second row, or at the end of a line of one row.
    Press(*pane, Qt::Key_Down);
    Press(*pane, Qt::Key_Home, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(pane->SelectedText(), firstRow);
  }

  void splitsLinesAtEveryKindOfLineEnd_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");

    QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << "a\nb";
    QTest::newRow("lone CR") << QByteArray("a\rb\r") << "a\nb";
    QTest::newRow("lone LF") << QByteArray("a\nb\n") << "a\nb";
    QTest::newRow("mixed, last line unended") << QByteArray("a\r\nb\rc\nd") << "a\nb\nc\nd";
    QTest::newRow("empty lines") << QByteArray("\r\n\r\r\n\n") << "\n\n\n";
    QTest::newRow("CR then CR LF") << QByteArray("a\r\r\nb") << "a\n\nb";
  }

  void splitsLinesAtEveryKindOfLineEnd() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    const TTestLines lines(bytes.toStdString());
    TTextPane pane;
    pane.AppendLines(lines.List(), Encoding::Windows1252);
    QCOMPARE(pane.LineCount(), static_cast<int>(text.count(u'\n')) + 1);
    QCOMPARE(pane.Text(), text);
  }

  void keysMoveAndSelect_data() {
    QTest::addColumn<QTestEventList>("keys");
    QTest::addColumn<QString>("selected");

    // The text is "first", then 30 'x' that wrap after 12, then "last".
    const QString xs(30, u'x');
    const auto keys = [](std::initializer_list<std::pair<Qt::Key, Qt::KeyboardModifiers>> clicks) {
      QTestEventList events;
      for (const auto& [key, modifiers] : clicks) events.addKeyClick(key, modifiers);
      return events;
    };
    const Qt::KeyboardModifiers shift = Qt::ShiftModifier;
    const Qt::KeyboardModifiers none = Qt::NoModifier;
    QTest::newRow("shift+right") << keys({{Qt::Key_Right, shift}, {Qt::Key_Right, shift}}) << "fi";
    QTest::newRow("right over a line end")
        << keys({{Qt::Key_End, none}, {Qt::Key_Right, shift}}) << "\n";
    QTest::newRow("shift+down into a wrapped line")
        << keys({{Qt::Key_Right, none}, {Qt::Key_Down, shift}}) << "irst\nx";
    QTest::newRow("shift+down over a wrapped row")
        << keys({{Qt::Key_Down, none}, {Qt::Key_Down, shift}}) << QString(12, u'x');
    QTest::newRow("shift+end of a wrapped row")
        << keys({{Qt::Key_Down, none}, {Qt::Key_End, shift}}) << QString(12, u'x');
    QTest::newRow("shift+home after an up")
        << keys({{Qt::Key_End, Qt::ControlModifier}, {Qt::Key_Up, none}, {Qt::Key_Home, shift}})
        << QString(4, u'x');  // up keeps the caret's x, after the four letters of "last"
    QTest::newRow("shift+left back over a line end")
        << keys({{Qt::Key_Down, none}, {Qt::Key_Left, shift}, {Qt::Key_Left, shift}}) << "t\n";
    QTest::newRow("ctrl+shift+end")
        << keys({{Qt::Key_End, Qt::ControlModifier | shift}}) << "first\n" + xs + "\nlast";
    QTest::newRow("ctrl+shift+home from the end")
        << keys({{Qt::Key_End, Qt::ControlModifier},
                 {Qt::Key_Left, none},
                 {Qt::Key_Home, Qt::ControlModifier | shift}})
        << "first\n" + xs + "\nlas";
    QTest::newRow("a move without shift drops the selection")
        << keys({{Qt::Key_Right, shift}, {Qt::Key_Right, none}}) << QString();
  }

  void keysMoveAndSelect() {
    QFETCH(QTestEventList, keys);
    QFETCH(QString, selected);
    const TTestLines lines("first\r\n" + std::string(30, 'x') + "\r\nlast\r\n");
    const auto pane = ShownPane(static_cast<int>(std::ceil(Advance(QString(12, u'x')))));
    pane->AppendLines(lines.List(), Encoding::Windows1252);
    keys.simulate(pane.get());
    QCOMPARE(pane->SelectedText(), selected);
  }

  void dragSelectsAcrossWrappedRows_data() {
    QTest::addColumn<int>("fromRow");
    QTest::addColumn<QString>("fromBefore");
    QTest::addColumn<int>("toRow");
    QTest::addColumn<QString>("toBefore");
    QTest::addColumn<QString>("selected");

    // Rows: "first line", then 30 'x' in rows of 12, 12 and 6, then "last".
    const QString xs(30, u'x');
    QTest::newRow("within a row") << 0 << "fi" << 0 << "first l"
                                  << "rst l";
    QTest::newRow("into the second row of a wrapped line") << 0 << "first " << 2 << "xxxxx"
                                                           << "line\n" + QString(17, u'x');
    QTest::newRow("upwards") << 2 << "xxxxx" << 0 << "first "
                             << "line\n" + QString(17, u'x');
    QTest::newRow("from a wrapped row to the next line")
        << 2 << "xx" << 4 << "la" << QString(16, u'x') + "\nla";
    QTest::newRow("below the last row") << 3 << "" << 8 << "" << QString(6, u'x') + "\nlast";
  }

  void dragSelectsAcrossWrappedRows() {
    QFETCH(int, fromRow);
    QFETCH(QString, fromBefore);
    QFETCH(int, toRow);
    QFETCH(QString, toBefore);
    QFETCH(QString, selected);
    const TTestLines lines("first line\r\n" + std::string(30, 'x') + "\r\nlast\r\n");
    const auto pane = ShownPane(static_cast<int>(std::ceil(Advance(QString(12, u'x')))));
    pane->AppendLines(lines.List(), Encoding::Windows1252);

    QWidget* viewport = pane->viewport();
    QTest::mousePress(viewport, Qt::LeftButton, {}, PointAt(*pane, fromRow, fromBefore));
    QTest::mouseMove(viewport, PointAt(*pane, toRow, toBefore));
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, PointAt(*pane, toRow, toBefore));
    QCOMPARE(pane->SelectedText(), selected);
  }

  void shiftClickExtendsAndDoubleClickSelectsAWord() {
    const TTestLines lines("alpha beta gamma\r\ndelta epsilon\r\n");
    const auto pane = ShownPane(400);
    pane->AppendLines(lines.List(), Encoding::Windows1252);
    QWidget* viewport = pane->viewport();

    QTest::mouseClick(viewport, Qt::LeftButton, {}, PointAt(*pane, 0, "alpha b"));
    QTest::mouseClick(viewport, Qt::LeftButton, Qt::ShiftModifier, PointAt(*pane, 1, "del"));
    QCOMPARE(pane->SelectedText(), "eta gamma\ndel");

    QTest::mouseDClick(viewport, Qt::LeftButton, {}, PointAt(*pane, 1, "delta eps"));
    QCOMPARE(pane->SelectedText(), "epsilon");
  }

  void copiesExactlyTheSelection() {
    const TTestLines lines("one\r\ntwo\r\nthree\r\n");
    const auto pane = ShownPane(400);
    pane->AppendLines(lines.List(), Encoding::Windows1252);
    QClipboard* clipboard = QGuiApplication::clipboard();

    Press(*pane, Qt::Key_Right);
    Press(*pane, Qt::Key_Down, Qt::ShiftModifier);
    Press(*pane, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(clipboard->text(), "ne\nt");

    Press(*pane, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(pane->SelectedText(), "one\ntwo\nthree");
    Press(*pane, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(clipboard->text(), "one\ntwo\nthree");
  }

  void contextMenuCopiesAndSelectsAll() {
    const TTestLines lines("one\r\ntwo\r\n");
    const auto pane = ShownPane(400);
    pane->AppendLines(lines.List(), Encoding::Windows1252);

    const std::unique_ptr<QMenu> before(pane->CreateContextMenu());
    const QList<QAction*> actions = before->actions();
    QCOMPARE(actions.size(), 3);
    QVERIFY(!actions[0]->isEnabled());  // Copy, with nothing selected
    QVERIFY(!actions[1]->isEnabled());  // Copy with line numbers
    actions[2]->trigger();              // Select All
    QCOMPARE(pane->SelectedText(), "one\ntwo");

    const std::unique_ptr<QMenu> after(pane->CreateContextMenu());
    QClipboard* clipboard = QGuiApplication::clipboard();
    for (const auto& [action, copied] : {std::pair{0, "one\ntwo"}, {1, "1: one\n2: two"}}) {
      QVERIFY(after->actions()[action]->isEnabled());
      clipboard->clear();
      after->actions()[action]->trigger();
      QCOMPARE(clipboard->text(), copied);
    }
  }

  // Each line the selection holds some of is led by its number in the pane, counted from 1; a
  // selection that ends at the start of a line leaves that line out.
  void copiesWithLineNumbers_data() {
    QTest::addColumn<int>("fromLine");
    QTest::addColumn<int>("fromColumn");
    QTest::addColumn<int>("toLine");
    QTest::addColumn<int>("toColumn");
    QTest::addColumn<QString>("copied");

    QTest::newRow("part of a line") << 1 << 2 << 1 << 4 << "2: ne";
    QTest::newRow("across lines") << 1 << 5 << 3 << 2 << "2: 1\n3: line 2\n4: li";
    QTest::newRow("up to a line's start") << 1 << 0 << 3 << 0 << "2: line 1\n3: line 2\n";
    QTest::newRow("numbers right-aligned")
        << 8 << 0 << 10 << 4 << " 9: line 8\n10: line 9\n11: line";
    QTest::newRow("a line left out is not counted") << 8 << 0 << 9 << 0 << "9: line 8\n";
  }

  void copiesWithLineNumbers() {
    QFETCH(int, fromLine);
    QFETCH(int, fromColumn);
    QFETCH(int, toLine);
    QFETCH(int, toColumn);
    QFETCH(QString, copied);
    const TTestLines lines(NumberedLines(12));
    const auto pane = ShownPane(400);
    pane->AppendLines(lines.List(), Encoding::Windows1252);
    const auto place = [](int line, int column) {
      return TTextPos{{static_cast<size_t>(line), 0}, column};
    };
    pane->Select({place(fromLine, fromColumn), place(toLine, toColumn)});
    QCOMPARE(pane->SelectedTextWithLineNumbers(), copied);
  }

  void numbersALineOfManyChunksOnce() {
    const std::string longLine(3 * kChunkBytes, 'x');
    const TTestLines lines(longLine + "\r\nnext");
    const auto pane = ShownPane(400);
    pane->AppendLines(lines.List(), Encoding::Windows1252);
    pane->SelectAll();
    QCOMPARE(pane->SelectedTextWithLineNumbers(),
             "1: " + QString::fromStdString(longLine) + "\n2: next");
  }

  void decodesWithTheGivenEncoding_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<Encoding>("encoding");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("repeats");  // many make a line of several chunks

    const Encoding cp1252 = Encoding::Windows1252;
    QTest::newRow("windows-1252 micro") << QByteArray("5 \xb5l") << cp1252 << u"5 \u00b5l"_qs << 1;
    QTest::newRow("windows-1252 degree")
        << QByteArray("20 \xb0\x43") << cp1252 << u"20 \u00b0C"_qs << 1;
    QTest::newRow("windows-1252 euro") << QByteArray("\x80") << cp1252 << u"\u20ac"_qs << 1;
    QTest::newRow("utf-8 micro") << QByteArray("5 \xc2\xb5l") << Encoding::Utf8 << u"5 \u00b5l"_qs
                                 << 1;
    QTest::newRow("bad utf-8") << QByteArray("5 \xb5l") << Encoding::Utf8 << u"5 \ufffdl"_qs << 1;
    QTest::newRow("windows-1252 over chunk ends")
        << QByteArray("\xb5") << cp1252 << u"\u00b5"_qs << 20'000;
    QTest::newRow("three-byte utf-8 over chunk ends")
        << QByteArray("\xe2\x82\xac") << Encoding::Utf8 << u"\u20ac"_qs << 20'000;
    QTest::newRow("cut utf-8 over chunk ends")
        << QByteArray("\xe2\x82") << Encoding::Utf8 << u"\ufffd"_qs << 20'000;
  }

  void decodesWithTheGivenEncoding() {
    QFETCH(QByteArray, bytes);
    QFETCH(Encoding, encoding);
    QFETCH(QString, text);
    QFETCH(int, repeats);
    const TTestLines lines(bytes.repeated(repeats).toStdString() + "\r\nnext");
    const auto pane = ShownPane(400);
    pane->AppendLines(lines.List(), encoding);
    const QString shown = text.repeated(repeats) + "\nnext";
    QCOMPARE(pane->Text(), shown);
    Press(*pane, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(pane->SelectedText(), shown);
    Press(*pane, Qt::Key_End, Qt::ControlModifier);
    Press(*pane, Qt::Key_Home, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(pane->SelectedText(), shown);
  }

  void showsControlCharactersAndTabsVisibly_data() {
    QTest::addColumn<QByteArray>("utf8");
    QTest::addColumn<QString>("looksLike");  // text without control characters that shows the same

    QTest::newRow("NUL") << QByteArray("a\0b", 3) << u"a\u2400b"_qs;
    QTest::newRow("escape") << QByteArray("\x1b[0m") << u"\u241b[0m"_qs;
    QTest::newRow("form feed") << QByteArray("a\x0c") << u"a\u240c"_qs;
    QTest::newRow("DEL") << QByteArray("a\x7f") << u"a\u2421"_qs;
    QTest::newRow("C1 control") << QByteArray("a\xc2\x81z") << u"a\ufffdz"_qs;
    QTest::newRow("line separator") << QByteArray("a\xe2\x80\xa8z") << u"a\ufffdz"_qs;
    QTest::newRow("tab after one column") << QByteArray("a\tb") << "a       b";
    QTest::newRow("tab at the start") << QByteArray("\tb") << "        b";
    QTest::newRow("tab after eight columns") << QByteArray("abcdefgh\tb") << "abcdefgh        b";
  }

  void showsControlCharactersAndTabsVisibly() {
    QFETCH(QByteArray, utf8);
    QFETCH(QString, looksLike);
    QCOMPARE(Rendered(utf8.toStdString(), Encoding::Utf8),
             Rendered(looksLike.toStdString(), Encoding::Utf8));

    // A copy holds the characters themselves.
    const TTestLines lines(utf8.toStdString());
    TTextPane pane;
    pane.AppendLines(lines.List(), Encoding::Utf8);
    QCOMPARE(pane.Text(), QString::fromUtf8(utf8));
  }

  void paintsTheSelectionInHighlightColours() {
    const TTestLines lines("one\r\ntwo\r\n");
    const auto pane = ShownPane(400);
    QPalette palette = pane->palette();
    palette.setColor(QPalette::Highlight, Qt::red);
    pane->setPalette(palette);
    pane->AppendLines(lines.List(), Encoding::Windows1252);
    QVERIFY(!Shows(*pane, Qt::red));
    Press(*pane, Qt::Key_End, Qt::ShiftModifier);
    QVERIFY(Shows(*pane, Qt::red));
  }

  void scrollBarStepsOverTheChunksOfALongLine_data() {
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("topLine");

    // Lines 0 to 9 take one step each, line 10 takes three, and every line after it one.
    QTest::newRow("before the long line") << 5 << "line 5";
    QTest::newRow("just after it") << 13 << "line 11";
    QTest::newRow("far after it") << 50 << "line 48";
  }

  void scrollBarStepsOverTheChunksOfALongLine() {
    QFETCH(int, value);
    QFETCH(QString, topLine);
    const std::string longLine(2 * kChunkBytes + 1, 'x');
    std::string bytes = NumberedLines(10) + longLine + "\r\n";
    for (int i = 11; i < 100; ++i) bytes += "line " + std::to_string(i) + "\r\n";
    const TTestLines lines(bytes);
    const auto pane = ShownPane(400, 200);
    pane->AppendLines(lines.List(), Encoding::Windows1252);

    pane->verticalScrollBar()->setValue(value);
    QTest::mouseClick(pane->viewport(), Qt::LeftButton, {}, PointAt(*pane, 0, ""));
    Press(*pane, Qt::Key_End, Qt::ShiftModifier);
    QCOMPARE(pane->SelectedText(), topLine);
    QCOMPARE(pane->verticalScrollBar()->value(), value);
  }

  void showsAnEmptyRun() {
    const TTestLines lines("");
    const auto pane = ShownPane(400);
    pane->AppendLines(lines.List(), Encoding::Windows1252);
    QCOMPARE(pane->LineCount(), 0);
    for (const Qt::Key key : {Qt::Key_Down, Qt::Key_End, Qt::Key_PageDown, Qt::Key_Left}) {
      Press(*pane, key, Qt::ShiftModifier);
    }
    Press(*pane, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(pane->Text(), QString());
    QCOMPARE(pane->SelectedText(), QString());
    QCOMPARE(pane->verticalScrollBar()->maximum(), 0);
    QVERIFY(!pane->viewport()->grab().isNull());
  }

  void endShowsTheLastOfAMillionLines() {
    constexpr int kLines = 1'000'000;
    const TTestLines lines(NumberedLines(kLines));
    const auto pane = ShownPane(400);
    pane->AppendLines(lines.List(), Encoding::Windows1252);
    QCOMPARE(pane->LineCount(), kLines);
    QScrollBar* bar = pane->verticalScrollBar();

    Press(*pane, Qt::Key_End, Qt::ControlModifier);
    QVERIFY(bar->maximum() > kLines - 100);
    QCOMPARE(bar->value(), bar->maximum());
    // The bottom row of the view is the last line; a click right of its text puts the caret at
    // the line's end whether or not the row reaches down to the view's edge.
    const QPoint bottom(pane->viewport()->width() - 2, pane->viewport()->height() - 2);
    QTest::mouseClick(pane->viewport(), Qt::LeftButton, {}, bottom);
    Press(*pane, Qt::Key_End, Qt::ShiftModifier);
    Press(*pane, Qt::Key_Home, Qt::ShiftModifier);
    QCOMPARE(pane->SelectedText(), "line " + QString::number(kLines - 1));

    Press(*pane, Qt::Key_Home, Qt::ControlModifier);
    QCOMPARE(bar->value(), 0);
  }

  void pagesAndWheelScrollByRows() {
    constexpr int kRowsInView = 10;
    const TTestLines lines(NumberedLines(100));
    const auto pane = ShownPane(400, static_cast<int>((kRowsInView + 0.5) * RowHeight()));
    pane->AppendLines(lines.List(), Encoding::Windows1252);
    QScrollBar* bar = pane->verticalScrollBar();  // one step for each of these short lines

    Press(*pane, Qt::Key_PageDown);
    QCOMPARE(bar->value(), kRowsInView);
    Press(*pane, Qt::Key_Down, Qt::ShiftModifier);  // the caret moved with the page
    QCOMPARE(pane->SelectedText(), "line " + QString::number(kRowsInView) + '\n');
    Press(*pane, Qt::Key_PageUp);
    QCOMPARE(bar->value(), 0);

    const QPoint inside = pane->viewport()->rect().center();
    QWheelEvent down(inside, pane->viewport()->mapToGlobal(inside), {}, {0, -2 * 120}, Qt::NoButton,
                     Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(pane->viewport(), &down);
    QCOMPARE(bar->value(), 2 * QApplication::wheelScrollLines());

    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(bar->value(), 2 * QApplication::wheelScrollLines() + 1);
  }

  void keepsTheTopLineWhenRewrapped() {
    const TTestLines lines(NumberedLines(200));
    const auto pane = ShownPane(400, 200);
    pane->AppendLines(lines.List(), Encoding::Windows1252);
    pane->verticalScrollBar()->setValue(50);
    pane->resize(pane->width() - 300, pane->height());
    QCOMPARE(pane->verticalScrollBar()->value(), 50);
    QTest::mouseClick(pane->viewport(), Qt::LeftButton, {}, PointAt(*pane, 0, ""));
    Press(*pane, Qt::Key_End, Qt::ShiftModifier);
    QCOMPARE(pane->SelectedText(), "line 50");
  }

  void scrollsThroughAFiveMegabyteLine() {
    std::string line;
    for (int word = 0; line.size() < 5'000'000; ++word) {
      line += 'w';
      line += std::to_string(word);
      line += ' ';
    }
    const TTestLines lines(line);
    const auto pane = ShownPane(400);
    pane->AppendLines(lines.List(), Encoding::Windows1252);
    QScrollBar* bar = pane->verticalScrollBar();
    QVERIFY(bar->maximum() > 0);

    Press(*pane, Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(bar->value(), bar->maximum());
    QVERIFY(!pane->viewport()->grab().isNull());
    // Pages back over many chunks select exactly the end of the line. How many pages that takes
    // depends on the font.
    const auto overTwoChunks = [&] {
      return pane->SelectedText().size() > 2 * static_cast<qsizetype>(kChunkBytes);
    };
    for (int page = 0; page < 1000 && !overTwoChunks(); ++page) {
      Press(*pane, Qt::Key_PageUp, Qt::ShiftModifier);
    }
    QVERIFY(overTwoChunks());
    const QString selected = pane->SelectedText();
    QVERIFY(QString::fromStdString(line).endsWith(selected));
    QVERIFY(bar->value() < bar->maximum());
  }

  void caretMovesOneCharacterAtATimeOverAChunkEnd() {
    constexpr int kPastChunk = 10;
    const int length = static_cast<int>(kChunkBytes) + 2 * kPastChunk;
    const TTestLines lines(std::string(static_cast<size_t>(length), 'x') + "\r\nnext");
    const auto pane = ShownPane(400);
    pane->AppendLines(lines.List(), Encoding::Windows1252);

    for (int i = 0; i < length - kPastChunk; ++i) Press(*pane, Qt::Key_Right, Qt::ShiftModifier);
    QCOMPARE(pane->SelectedText(), QString(length - kPastChunk, u'x'));
    for (int i = 0; i < 2 * kPastChunk; ++i) Press(*pane, Qt::Key_Left, Qt::ShiftModifier);
    QCOMPARE(pane->SelectedText(), QString(length - 3 * kPastChunk, u'x'));
  }

  void clearForgetsTheLinesAndShowsTheNextFromTheTop() {
    const auto pane = ShownPane(400);
    {
      const TTestLines lines(NumberedLines(1000));
      pane->AppendLines(lines.List(), Encoding::Windows1252);
      Press(*pane, Qt::Key_End, Qt::ControlModifier | Qt::ShiftModifier);
      pane->Clear();
    }
    QCOMPARE(pane->LineCount(), 0);
    QCOMPARE(pane->Text(), QString());
    QCOMPARE(pane->SelectedText(), QString());
    QCOMPARE(pane->verticalScrollBar()->maximum(), 0);
    QVERIFY(!pane->viewport()->grab().isNull());

    const TTestLines next(NumberedLines(1000));
    pane->AppendLines(next.List(), Encoding::Windows1252);
    QCOMPARE(pane->verticalScrollBar()->value(), 0);
    Press(*pane, Qt::Key_End, Qt::ShiftModifier);
    QCOMPARE(pane->SelectedText(), "line 0");
  }

  // A borderless pane shows a focus line while it has the focus, and its selection
  // in the colours of an inactive window once the focus has gone elsewhere.
  void showsWhetherItHasTheFocus() {
    const TTestLines lines("one\r\n");
    QWidget window;
    auto* edit = new QLineEdit(&window);
    auto* pane = new TTextPane(&window);
    pane->setFrameShape(QFrame::NoFrame);
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(edit);
    layout->addWidget(pane);
    QPalette palette = pane->palette();
    palette.setColor(QPalette::Active, QPalette::Highlight, Qt::red);
    palette.setColor(QPalette::Inactive, QPalette::Highlight, Qt::blue);
    pane->setPalette(palette);
    window.show();
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));

    pane->setFocus();
    const QImage focused = pane->viewport()->grab().toImage();
    edit->setFocus();
    QVERIFY(pane->viewport()->grab().toImage() != focused);  // empty: only the focus line differs

    pane->AppendLines(lines.List(), Encoding::Windows1252);
    pane->SelectAll();
    QVERIFY(Shows(*pane, Qt::blue) && !Shows(*pane, Qt::red));
    pane->setFocus();
    QVERIFY(Shows(*pane, Qt::red) && !Shows(*pane, Qt::blue));
  }

  // On X11 a selection the user makes is offered for middle-click pasting; one that Find makes
  // is not. Run on a real X server (the test list runs it under Xvfb).
  void offersTheUsersSelectionForMiddleClickPasting() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard->supportsSelection()) QSKIP("this platform has no primary selection");
    const TTestLines lines("alpha beta\r\ngamma\r\n");
    const auto pane = ShownPane(400);
    pane->AppendLines(lines.List(), Encoding::Windows1252);
    Press(*pane, Qt::Key_End, Qt::ShiftModifier);
    QTRY_COMPARE(clipboard->text(QClipboard::Selection), QStringLiteral("alpha beta"));
    QTest::mouseDClick(pane->viewport(), Qt::LeftButton, {}, PointAt(*pane, 1, "ga"));
    QTRY_COMPARE(clipboard->text(QClipboard::Selection), QStringLiteral("gamma"));
    pane->Select({{{0, 0}, 0}, {{0, 0}, 5}});
    QCOMPARE(clipboard->text(QClipboard::Selection), QStringLiteral("gamma"));
  }

  void takesFocusByTabAndClick() {
    QWidget window;
    auto* edit = new QLineEdit(&window);
    auto* pane = new TTextPane(&window);
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(edit);
    layout->addWidget(pane);
    window.show();
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
    edit->setFocus();

    QTest::keyClick(edit, Qt::Key_Tab);
    QVERIFY(pane->hasFocus());
    edit->setFocus();
    QTest::mouseClick(pane->viewport(), Qt::LeftButton);
    QVERIFY(pane->hasFocus());
  }
};

QTEST_MAIN(TTextPaneTest)
#include "TextPaneTest.moc"
