#pragma once

#include <QObject>
#include <QTimer>
#include <functional>
#include <optional>
#include <vector>

#include "FindBar.h"
#include "LineList.h"
#include "LineMatcher.h"
#include "TextEncoding.h"
#include "TextPanePositions.h"

class TTextPane;

// What a pane shows, as Find searches it: the pane's lines in the store and their encoding.
struct TShownLines {
  LineList Lines;
  Encoding TextEncoding = Encoding::Windows1252;
};

// Find in a text pane: searches the store's bytes of the lines the pane shows for what the find
// bar holds, selects the match in the pane, marks the others in view and tells the bar what it
// found and how many there are.
class TPaneFinder : public QObject {
  Q_OBJECT

 public:
  enum class TStep { Next, Previous };
  using TLinesOf = std::function<TShownLines(const TTextPane& pane)>;

  // Counting stops here: a single letter can match millions of times in a large run, and a count
  // that goes on beyond what anyone reads costs a noticeable moment.
  static constexpr size_t kCountLimit = 10000;

  // `linesOf` tells what a pane shows. It is asked before each search, so that a search never
  // reads lines the pane no longer shows.
  TPaneFinder(TFindBar& bar, TLinesOf linesOf, QObject* parent = nullptr);

  TTextPane* Pane() const { return pane_; }

  // Opens the bar to search `pane`; the pane's selected text, when it lies in one line, becomes
  // what to find.
  void Open(TTextPane& pane);
  // Goes to the next or the previous match after or before the pane's selection.
  void Step(TStep step);
  // The pane shows other lines now: what was counted no longer holds.
  void LinesChanged();

 signals:
  // The matches in `pane` were counted anew: they start at `offsets` of the bytes of `lines`
  // (the first ones, up to one beyond the limit).
  void MatchesCounted(TTextPane* pane, const LineList& lines, const std::vector<size_t>& offsets);

 private:
  void FindFromSelection();
  void Close();
  // Selects the first match at or after `pos`, or the last one before it.
  void FindAndSelect(TStep step, TTextPos pos);
  void ShowCount();

  TFindBar& bar_;
  TLinesOf linesOf_;
  TTextPane* pane_ = nullptr;
  // What the bar asks to find, made when it changes; empty for nothing to find.
  LineMatchers matchers_;
  // Where the selected match starts in the shown lines' bytes.
  std::optional<size_t> current_;
  // Where the first matches start, up to one beyond the limit; counted once a search has shown
  // its match, and kept until the needle or the lines change.
  std::optional<std::vector<size_t>> counted_;
  QTimer countLater_;
};
