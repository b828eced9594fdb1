#include "HitStrip.h"

#include <QPainter>
#include <algorithm>
#include <cstdint>

namespace {

constexpr int kWidth = 8;
// However long the run, a single marked line stays visible.
constexpr int kMarkHeight = 2;
// Find's marks in the pane are a light yellow; a darker one shows on a light strip too.
constexpr QColor kFindColour(0xD4, 0xA0, 0x00);

QColor AlertColour(int kind) {
  return QColor::fromRgb(ShadesOf(kHighlightColours[kind - 1]).Background);
}

// The alert colour that most of a pixel row's alert lines have; none when it has none.
int CommonestAlertKind(const TStripCounts& counts) {
  const auto most = std::max_element(counts.begin() + 1, counts.end());
  return *most == 0 ? -1 : static_cast<int>(most - counts.begin());
}

}  // namespace

int AlertKind(THighlightColour colour) {
  return 1 + static_cast<int>(colour);
}

int PixelOf(size_t line, size_t lines, int pixels) {
  return static_cast<int>(static_cast<uint64_t>(line) * static_cast<uint64_t>(pixels) / lines);
}

void CountMarks(std::vector<TStripCounts>& counts, const std::vector<TStripMark>& marks,
                size_t lines) {
  const auto pixels = static_cast<int>(counts.size());
  if (pixels == 0) return;
  for (const TStripMark& mark : marks) {
    if (mark.Line < lines) ++counts[PixelOf(mark.Line, lines, pixels)][mark.Kind];
  }
}

HitStrip::HitStrip(QWidget* parent) : QWidget(parent) {
  setToolTip(tr("Alert lines (left) and lines with Find matches (right) in the whole run"));
}

QSize HitStrip::sizeHint() const {
  return {kWidth, 100};
}

void HitStrip::SetLineCount(size_t lines) {
  if (lines == lines_) return;
  lines_ = lines;
  Recount();
}

void HitStrip::SetFindLines(const std::vector<size_t>& lines) {
  finds_.clear();
  for (const size_t line : lines) finds_.push_back({line, kFindKind});
  Recount();
}

void HitStrip::AddAlerts(const std::vector<TStripMark>& alerts) {
  alerts_.insert(alerts_.end(), alerts.begin(), alerts.end());
  CountMarks(counts_, alerts, lines_);
  update();
}

void HitStrip::DropAlertsFrom(size_t line) {
  std::erase_if(alerts_, [line](const TStripMark& mark) { return mark.Line >= line; });
  Recount();
}

void HitStrip::resizeEvent(QResizeEvent* /*event*/) {
  Recount();
}

void HitStrip::Recount() {
  counts_.assign(std::max(0, height()), TStripCounts{});
  CountMarks(counts_, finds_, lines_);
  CountMarks(counts_, alerts_, lines_);
  update();
}

void HitStrip::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().color(QPalette::Window).darker(105));
  const int half = width() / 2;
  for (int y = 0; y < static_cast<int>(counts_.size()); ++y) {
    const TStripCounts& counts = counts_[y];
    if (const int alert = CommonestAlertKind(counts); alert >= 0) {
      painter.fillRect(0, y, half, kMarkHeight, AlertColour(alert));
    }
    if (counts[kFindKind] > 0) painter.fillRect(half, y, width() - half, kMarkHeight, kFindColour);
  }
}
