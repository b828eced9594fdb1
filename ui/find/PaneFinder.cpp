#include "PaneFinder.h"

#include <algorithm>
#include <string_view>

#include "TextPane.h"

namespace {

// Where Find looks, in the store's bytes of the lines a pane shows, for a match the pane shows
// before or after a place. The search starts in the bytes of the place's chunk, and steps over
// the matches of that chunk that lie on the wrong side of the place.
class TPaneSearch {
 public:
  TPaneSearch(const TTextPane& pane, const LineMatcher& matcher, const LineList& lines)
      : pane_(pane), matcher_(matcher), lines_(lines), base_(lines.Bytes().data()) {}

  // The first match that starts at or after `pos`.
  std::optional<TextMatch> From(TTextPos pos) const {
    if (pane_.LineCount() == 0) return std::nullopt;
    std::optional<TextMatch> match = NextMatch(matcher_, lines_, OffsetOf(ChunkAt(pos).data()));
    while (match && !match->Wrapped && StartOf(*match) < pos) {
      match = NextMatch(matcher_, lines_, match->Offset + 1);
    }
    return match;
  }

  // The last match that starts before `pos`.
  std::optional<TextMatch> Before(TTextPos pos) const {
    if (pane_.LineCount() == 0) return std::nullopt;
    const std::string_view chunk = ChunkAt(pos);
    std::optional<TextMatch> match =
        PreviousMatch(matcher_, lines_, OffsetOf(chunk.data() + chunk.size()));
    while (match && !match->Wrapped && StartOf(*match) >= pos) {
      match = PreviousMatch(matcher_, lines_, match->Offset);
    }
    return match;
  }

  // Where `match` stands in the pane's text.
  std::optional<TTextRange> Range(const TextMatch& match) const {
    const char* begin = base_ + match.Offset;
    return pane_.RangeOfBytes(begin, begin + match.Size);
  }

 private:
  std::string_view ChunkAt(TTextPos pos) const { return pane_.ChunkBytes(pos.Ref); }
  size_t OffsetOf(const char* byte) const { return static_cast<size_t>(byte - base_); }
  // A match the pane does not show (which cannot be) counts as coming last.
  TTextPos StartOf(const TextMatch& match) const {
    const std::optional<TTextRange> range = Range(match);
    return range ? range->From : TTextPos{{SIZE_MAX, 0}, 0};
  }

  const TTextPane& pane_;
  const LineMatcher& matcher_;
  const LineList& lines_;
  const char* base_;
};

}  // namespace

TPaneFinder::TPaneFinder(TFindBar& bar, TLinesOf linesOf, QObject* parent)
    : QObject(parent), bar_(bar), linesOf_(std::move(linesOf)) {
  // The count comes after the match is shown, so that typing on in a large run is not held up.
  countLater_.setSingleShot(true);
  connect(&countLater_, &QTimer::timeout, this, &TPaneFinder::ShowCount);
  connect(&bar_, &TFindBar::NeedleChanged, this, &TPaneFinder::FindFromSelection);
  connect(&bar_, &TFindBar::NextRequested, this, [this] { Step(TStep::Next); });
  connect(&bar_, &TFindBar::PreviousRequested, this, [this] { Step(TStep::Previous); });
  connect(&bar_, &TFindBar::CloseRequested, this, &TPaneFinder::Close);
}

void TPaneFinder::Open(TTextPane& pane) {
  if (pane_ && pane_ != &pane) pane_->HighlightMatches({});
  pane_ = &pane;
  const QString selected = pane.SelectedText();
  bar_.Open(selected.contains(QLatin1Char('\n')) ? QString() : selected);
  FindFromSelection();
}

void TPaneFinder::Step(TStep step) {
  if (!pane_ || matchers_.Empty()) return;
  const TTextRange selection = pane_->Selection();
  // On from the end of the selected match, or back from its start.
  FindAndSelect(step, step == TStep::Next ? selection.To : selection.From);
}

void TPaneFinder::LinesChanged() {
  counted_.reset();
  current_.reset();
  if (bar_.isVisible() && !matchers_.Empty()) countLater_.start();
}

void TPaneFinder::FindFromSelection() {
  counted_.reset();
  if (!pane_) return;
  matchers_ = bar_.Matchers().value_or(LineMatchers());
  pane_->HighlightMatches(matchers_);
  if (matchers_.Empty()) {
    current_.reset();
    countLater_.stop();
    // An expression the engine refuses is shown by the bar.
    if (bar_.Needle().isEmpty()) bar_.ShowNothing();
    return;
  }
  // A needle that still matches where the selection starts keeps it there as it grows.
  FindAndSelect(TStep::Next, pane_->Selection().From);
}

void TPaneFinder::Close() {
  countLater_.stop();
  current_.reset();
  bar_.hide();
  if (!pane_) return;
  pane_->HighlightMatches({});
  pane_->setFocus(Qt::OtherFocusReason);
}

void TPaneFinder::FindAndSelect(TStep step, TTextPos pos) {
  const TShownLines shown = linesOf_(*pane_);
  const std::shared_ptr<const LineMatcher> matcher = matchers_.For(shown.TextEncoding);
  const TPaneSearch paneSearch(*pane_, *matcher, shown.Lines);
  const bool forward = step == TStep::Next;
  const std::optional<TextMatch> match = forward ? paneSearch.From(pos) : paneSearch.Before(pos);
  const std::optional<TTextRange> range = match ? paneSearch.Range(*match) : std::nullopt;
  if (!range) {
    current_.reset();
    countLater_.stop();
    bar_.ShowNoMatch();
    return;
  }
  pane_->Select(*range);
  current_ = match->Offset;
  const TFindBar::TWrap wrap = forward ? TFindBar::TWrap::ToTop : TFindBar::TWrap::ToBottom;
  bar_.ShowFound(match->Wrapped ? wrap : TFindBar::TWrap::None);
  countLater_.start();
}

void TPaneFinder::ShowCount() {
  if (!pane_) return;
  if (!counted_) {
    const TShownLines shown = linesOf_(*pane_);
    counted_ = MatchOffsets(*matchers_.For(shown.TextEncoding), shown.Lines, kCountLimit + 1);
    emit MatchesCounted(pane_, shown.Lines, *counted_);
  }
  const bool countedAll = counted_->size() <= kCountLimit;
  const size_t counted = std::min(counted_->size(), kCountLimit);
  // The matches counted come one after the other from the start, as Find steps through them.
  size_t index = 0;
  if (current_ && (countedAll || *current_ <= (*counted_)[kCountLimit - 1])) {
    index = static_cast<size_t>(std::ranges::upper_bound(*counted_, *current_) - counted_->begin());
  }
  bar_.ShowCount(index, counted, countedAll);
}
