#pragma once

#include <QWidget>
#include <array>
#include <vector>

#include "HighlightRule.h"

// A line marked on the strip: a line with Find matches, or an alert line in its rule's colour.
struct TStripMark {
  size_t Line = 0;
  int Kind = 0;  // kFindKind, or an alert colour: 1 + its THighlightColour
};
inline constexpr int kFindKind = 0;
inline constexpr int kStripKinds = 1 + static_cast<int>(kHighlightColours.size());
int AlertKind(THighlightColour colour);

// How many marked lines of each kind a pixel row of the strip stands for.
using TStripCounts = std::array<quint32, kStripKinds>;

// The pixel row that line `line` of `lines` falls on, on a strip `pixels` high.
int PixelOf(size_t line, size_t lines, int pixels);
// Adds the marks to the counts of the pixel rows they fall on.
void CountMarks(std::vector<TStripCounts>& counts, const std::vector<TStripMark>& marks,
                size_t lines);

// The thin strip beside a pane's scroll bar: where in the whole run the lines with Find matches
// (on its right) and the alert lines (on its left, in their colours) are. It paints from counts
// per pixel row, made anew only when its height, the run's length or the marks change, so a run
// of a million lines costs no more to paint than a short one.
class HitStrip : public QWidget {
  Q_OBJECT

 public:
  explicit HitStrip(QWidget* parent = nullptr);

  // The run has `lines` lines now.
  void SetLineCount(size_t lines);
  // The lines with Find matches, in order; none for no Find.
  void SetFindLines(const std::vector<size_t>& lines);
  // Alert lines found since the last call, in order.
  void AddAlerts(const std::vector<TStripMark>& alerts);
  // Forgets the alert lines from `line` on.
  void DropAlertsFrom(size_t line);

  const std::vector<TStripCounts>& PixelCounts() const { return counts_; }
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void Recount();

  size_t lines_ = 0;
  std::vector<TStripMark> finds_;
  std::vector<TStripMark> alerts_;
  std::vector<TStripCounts> counts_;
};
