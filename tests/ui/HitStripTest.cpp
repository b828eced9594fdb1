// The strip beside a pane's scroll bar: its counts per pixel row against a count made line by
// line, and a long run's alert lines found a slice at a time, the pane showing its colours first.
#include <QtTest>
#include <random>
#include <string>

#include "HitStrip.h"
#include "LineHighlighter.h"
#include "LineList.h"
#include "PaneHitMarks.h"
#include "TextPane.h"

namespace {

// The counts the strip should show, pixel row by pixel row: the lines a row stands for are
// those from the first at or past its share of the run to the first at or past the next row's.
std::vector<TStripCounts> ReferenceCounts(const std::vector<TStripMark>& marks, size_t lines,
                                          int pixels) {
  std::vector<TStripCounts> counts(pixels);
  const auto firstLineOf = [&](int pixel) {
    return (static_cast<uint64_t>(pixel) * lines + pixels - 1) / pixels;
  };
  for (int pixel = 0; pixel < pixels; ++pixel) {
    for (const TStripMark& mark : marks) {
      if (mark.Line >= firstLineOf(pixel) && mark.Line < firstLineOf(pixel + 1)) {
        ++counts[pixel][mark.Kind];
      }
    }
  }
  return counts;
}

std::vector<TStripMark> RandomMarks(size_t lines, int kind, std::mt19937& random) {
  std::vector<TStripMark> marks;
  std::bernoulli_distribution marked(std::min(1.0, 40.0 / static_cast<double>(lines)));
  for (size_t line = 0; line < lines; ++line) {
    if (marked(random)) marks.push_back({line, kind});
  }
  return marks;
}

}  // namespace

class HitStripTest : public QObject {
  Q_OBJECT

 private slots:
  void countsPerPixelRowAsLineByLine_data() {
    QTest::addColumn<qulonglong>("lines");
    QTest::addColumn<int>("pixels");
    QTest::newRow("one line") << 1ULL << 50;
    QTest::newRow("fewer lines than pixels") << 7ULL << 100;
    QTest::newRow("as many") << 64ULL << 64;
    QTest::newRow("more lines than pixels") << 1000ULL << 7;
    QTest::newRow("a million lines") << 1'000'003ULL << 613;
  }
  void countsPerPixelRowAsLineByLine() {
    QFETCH(qulonglong, lines);
    QFETCH(int, pixels);
    std::mt19937 random(static_cast<unsigned>(lines));
    const std::vector<TStripMark> finds = RandomMarks(lines, kFindKind, random);
    const std::vector<TStripMark> reds =
        RandomMarks(lines, AlertKind(THighlightColour::Red), random);
    const std::vector<TStripMark> blues =
        RandomMarks(lines, AlertKind(THighlightColour::Blue), random);
    HitStrip strip;
    strip.resize(8, pixels);
    strip.SetLineCount(lines);
    std::vector<size_t> findLines;
    for (const TStripMark& mark : finds) findLines.push_back(mark.Line);
    strip.SetFindLines(findLines);
    strip.AddAlerts(reds);
    strip.AddAlerts(blues);
    std::vector<TStripMark> all = finds;
    all.insert(all.end(), reds.begin(), reds.end());
    all.insert(all.end(), blues.begin(), blues.end());
    QVERIFY(strip.PixelCounts() == ReferenceCounts(all, lines, pixels));

    // Counted anew for another height, and without the alert lines past the middle.
    strip.resize(8, pixels + 3);
    strip.DropAlertsFrom(lines / 2);
    std::erase_if(all, [&](const TStripMark& mark) {
      return mark.Kind != kFindKind && mark.Line >= lines / 2;
    });
    QVERIFY(strip.PixelCounts() == ReferenceCounts(all, lines, pixels + 3));
  }

  void aLongRunShowsItsColoursBeforeItsAlertLinesAreAllFound() {
    constexpr size_t kLines = 300'000;
    std::string bytes;
    for (size_t line = 0; line < kLines; ++line) {
      bytes += line % 1000 == 0 ? "step " + std::to_string(line) + " failed: timeout\r\n"
                                : "step " + std::to_string(line) + " done\r\n";
    }
    const size_t runEnd = bytes.size();
    bytes += "step 300000 done\r\nabort\r\n";
    const auto highlighter = std::make_shared<LineHighlighter>(DefaultHighlightRules());
    TTextPane pane;
    auto* marks = new PaneHitMarks(pane);
    pane.SetHighlighter(highlighter);
    marks->SetHighlighter(highlighter);
    pane.resize(400, 300);
    pane.show();
    pane.AppendLines(LineList::Of(std::string_view(bytes).substr(0, runEnd)), Encoding::Utf8);

    const QImage image = pane.viewport()->grab().toImage();
    QCOMPARE(image.pixelColor(image.width() / 2, 2),
             QColor::fromRgb(ShadesOf(THighlightColour::Red).Background));
    QCOMPARE(marks->LinesLookedAt(), 0u);
    QCoreApplication::processEvents();
    QVERIFY(marks->LinesLookedAt() > 0);
    QVERIFY(marks->LinesLookedAt() < kLines);
    QTRY_COMPARE_WITH_TIMEOUT(marks->LinesLookedAt(), kLines, 60'000);
    const int red = AlertKind(THighlightColour::Red);
    const auto alerts = [&] {
      quint32 count = 0;
      for (const TStripCounts& counts : marks->Strip().PixelCounts()) count += counts[red];
      return count;
    };
    QCOMPARE(alerts(), kLines / 1000);

    // A followed run that grows is looked at on from its last line, not from its start.
    QVERIFY(pane.ExtendLines(LineList::Of(bytes), Encoding::Utf8));
    QCOMPARE(marks->LinesLookedAt(), kLines - 1);
    QTRY_COMPARE(marks->LinesLookedAt(), kLines + 2);
    QCOMPARE(alerts(), kLines / 1000 + 1);
  }
};

QTEST_MAIN(HitStripTest)
#include "HitStripTest.moc"
