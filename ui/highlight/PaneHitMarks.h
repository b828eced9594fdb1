#pragma once

#include <QObject>
#include <QTimer>
#include <memory>
#include <vector>

#include "LineHighlighter.h"
#include "LineList.h"

class HitStrip;
class TTextPane;

// The strip beside a pane's scroll bar, kept up to date: the alert lines of all the lines the
// pane shows, looked for a slice at a time on the GUI thread so that a run of a million lines
// never holds up the window (anew when the pane shows other lines or the rules change, and on
// from where the lines changed when a followed run grows), and the lines that Find counted.
class PaneHitMarks : public QObject {
  Q_OBJECT

 public:
  explicit PaneHitMarks(TTextPane& pane);

  HitStrip& Strip() const { return *strip_; }
  void SetHighlighter(std::shared_ptr<const LineHighlighter> highlighter);
  // Find counted matches at `offsets` of the bytes of `lines`, the lines the pane shows.
  void ShowFindMatches(const LineList& lines, const std::vector<size_t>& offsets);
  // How many of the pane's lines have been looked at for alert lines.
  size_t LinesLookedAt() const { return lookedAt_; }

 private:
  void LinesChanged(size_t firstLine);
  void LookAtSlice();

  TTextPane& pane_;
  HitStrip* strip_;
  std::shared_ptr<const LineHighlighter> highlighter_;
  size_t lookedAt_ = 0;
  QTimer slices_;
};
