#include "PaneHitMarks.h"

#include <QElapsedTimer>
#include <algorithm>
#include <string>

#include "HitStrip.h"
#include "TextPane.h"

namespace {

// A slice ends after this long, so that the events waiting meanwhile wait no longer than a
// frame or two.
constexpr qint64 kSliceMs = 15;
// How many lines go between looks at the clock.
constexpr size_t kLinesBetweenLooks = 256;

}  // namespace

PaneHitMarks::PaneHitMarks(TTextPane& pane) : QObject(&pane), pane_(pane), strip_(new HitStrip) {
  pane_.PutBesideScrollBar(strip_);
  slices_.setInterval(0);
  connect(&slices_, &QTimer::timeout, this, &PaneHitMarks::LookAtSlice);
  connect(&pane_, &TTextPane::LinesChanged, this, &PaneHitMarks::LinesChanged);
  connect(&pane_, &TTextPane::MatchesHighlighted, this, [this] { strip_->SetFindLines({}); });
}

void PaneHitMarks::SetHighlighter(std::shared_ptr<const LineHighlighter> highlighter) {
  highlighter_ = std::move(highlighter);
  LinesChanged(0);
}

void PaneHitMarks::ShowFindMatches(const LineList& lines, const std::vector<size_t>& offsets) {
  std::vector<size_t> matched;
  for (const size_t offset : offsets) {
    const auto line = pane_.Lines().LineOfByte(lines.Bytes().data() + offset);
    if (line && (matched.empty() || matched.back() != line->first)) matched.push_back(line->first);
  }
  strip_->SetFindLines(matched);
}

void PaneHitMarks::LinesChanged(size_t firstLine) {
  if (firstLine == 0) strip_->SetFindLines({});
  lookedAt_ = std::min(lookedAt_, firstLine);
  strip_->DropAlertsFrom(lookedAt_);
  strip_->SetLineCount(pane_.Lines().Count());
  const bool toLookAt = highlighter_ && highlighter_->HasAlertRules();
  if (!toLookAt) lookedAt_ = pane_.Lines().Count();
  if (lookedAt_ < pane_.Lines().Count()) slices_.start();
}

void PaneHitMarks::LookAtSlice() {
  const TPaneLines& lines = pane_.Lines();
  const THighlightRules& rules = highlighter_->Rules();
  std::vector<TStripMark> alerts;
  QElapsedTimer clock;
  clock.start();
  const auto sliceOver = [&] {
    return lookedAt_ % kLinesBetweenLooks == 0 && clock.elapsed() >= kSliceMs;
  };
  for (; lookedAt_ < lines.Count() && !sliceOver(); ++lookedAt_) {
    const QString text =
        QString::fromStdString(Decode(lines.Line(lookedAt_), lines.LineEncoding(lookedAt_)));
    const std::optional<size_t> rule = highlighter_->RuleOf(text);
    if (rule && rules[*rule].Alert) alerts.push_back({lookedAt_, AlertKind(rules[*rule].Colour)});
  }
  strip_->AddAlerts(alerts);
  if (lookedAt_ >= lines.Count()) slices_.stop();
}
