#pragma once

#include <QCache>
#include <QFont>
#include <QString>
#include <QTextLayout>
#include <QTextOption>
#include <utility>

#include "TextPaneLines.h"
#include "TextPanePositions.h"

// A chunk decoded and wrapped at the pane's width.
struct TChunkLayout {
  QString Text;        // as copied: control characters as they are
  QTextLayout Layout;  // as shown: rows placed one under the other from y = 0
  qreal Height = 0;
};

// Lays out chunks when they are first asked for and keeps the recent ones, so that painting
// and scrolling lay out only what comes into view.
class TPaneLayouts {
 public:
  explicit TPaneLayouts(const TPaneLines& lines);

  const TPaneLines& Lines() const { return lines_; }
  int Width() const { return width_; }

  // Drops every layout; later ones use `font` and wrap at `width` (at least 1).
  void Reset(const QFont& font, int width);
  void Clear() { cache_.clear(); }
  // Drops the layouts of line `line` and the lines after it, which have changed.
  void ForgetFrom(size_t line);

  // The reference stays valid until the next call of At, Reset or Clear.
  const TChunkLayout& At(TChunkRef ref) const;

 private:
  TChunkLayout* Make(TChunkRef ref) const;

  const TPaneLines& lines_;
  QFont font_;
  QTextOption option_;
  int width_ = 1;
  mutable QCache<std::pair<size_t, int>, TChunkLayout> cache_;
};
