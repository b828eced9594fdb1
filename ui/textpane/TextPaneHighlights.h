#pragma once

#include <QCache>
#include <QList>
#include <QTextLayout>
#include <memory>
#include <optional>
#include <vector>

#include "LineHighlighter.h"
#include "TextPaneLines.h"
#include "TextPanePositions.h"

// What the highlight rules colour in the lines a pane shows. A line is judged whole, even one
// laid out a chunk at a time, and only when it comes into view; the recent ones are kept, so that
// painting a screenful costs a screenful of matching however long the run is.
class TPaneHighlights {
 public:
  explicit TPaneHighlights(const TPaneLines& lines);

  // Colours by `highlighter` from now on; none colours nothing.
  void SetHighlighter(std::shared_ptr<const LineHighlighter> highlighter);
  void Clear() { cache_.clear(); }
  // Line `line` and the lines after it have changed.
  void ForgetFrom(size_t line);

  // The colours of chunk `ref`'s text.
  QList<QTextLayout::FormatRange> Formats(TChunkRef ref) const;

 private:
  struct TLineColours {
    std::optional<TLineHighlight> Highlight;
    std::vector<int> ChunkStarts;  // the column each chunk starts at in the line's text
  };
  const TLineColours& At(size_t line) const;

  const TPaneLines& lines_;
  std::shared_ptr<const LineHighlighter> highlighter_;
  mutable QCache<size_t, TLineColours> cache_;
};
