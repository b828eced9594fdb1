#include "AlertLineMatcher.h"

#include <QString>
#include <algorithm>

#include "LineBounds.h"
#include "RegexMatcher.h"

TAlertLineMatcher::TAlertLineMatcher(std::shared_ptr<const LineHighlighter> highlighter,
                                     Encoding encoding)
    : highlighter_(std::move(highlighter)), encoding_(encoding) {
  for (const THighlightRule& rule : highlighter_->Rules()) {
    if (!rule.Enabled || !rule.Alert) continue;
    std::shared_ptr<const LineMatcher> pattern = MatchersFor(rule.Pattern).For(encoding);
    if (pattern->CanMatch()) alertPatterns_.push_back(std::move(pattern));
  }
}

std::optional<ByteMatch> TAlertLineMatcher::FindForward(std::string_view lines, size_t from) const {
  // A line that starts before `from` is not one to find.
  const size_t start = from == 0 || from > lines.size() || IsLineEnd(lines[from - 1])
                           ? from
                           : NextLine(lines, LineEnd(lines, from));
  std::optional<ByteMatch> first;
  VisitAlertLines(lines, start, [&](size_t lineStart, size_t lineEnd) {
    first = ByteMatch{lineStart, lineEnd - lineStart};
    return false;
  });
  return first;
}

std::optional<ByteMatch> TAlertLineMatcher::FindBackward(std::string_view lines,
                                                         size_t before) const {
  // Stretches that grow as they go back, each searched from its start.
  size_t end = std::min(before, lines.size());
  for (size_t size = size_t{64} << 10; end > 0; size *= 2) {
    const size_t start = LineStart(lines, end - std::min(end, size), 0);
    std::optional<ByteMatch> last;
    VisitAlertLines(lines, start, [&](size_t lineStart, size_t lineEnd) {
      if (lineStart >= end) return false;
      last = ByteMatch{lineStart, lineEnd - lineStart};
      return true;
    });
    if (last) return last;
    end = start;
  }
  return std::nullopt;
}

size_t TAlertLineMatcher::CountMatchingLines(std::string_view lines) const {
  size_t count = 0;
  VisitAlertLines(lines, 0, [&](size_t, size_t) {
    ++count;
    return true;
  });
  return count;
}

template <class OnLine>
void TAlertLineMatcher::VisitAlertLines(std::string_view lines, size_t from,
                                        OnLine&& onLine) const {
  // Where each pattern matches next; a pattern searches on only once the lines have passed it.
  std::vector<std::optional<ByteMatch>> next(alertPatterns_.size());
  for (size_t k = 0; k < alertPatterns_.size(); ++k) {
    next[k] = alertPatterns_[k]->FindForward(lines, from);
  }
  while (true) {
    const auto earliest = std::min_element(next.begin(), next.end(), [](auto& a, auto& b) {
      return a && (!b || a->Offset < b->Offset);
    });
    if (earliest == next.end() || !*earliest) return;
    const size_t lineStart = LineStart(lines, (*earliest)->Offset, from);
    const size_t lineEnd = LineEnd(lines, (*earliest)->Offset);
    if (IsAlertLine(lines.substr(lineStart, lineEnd - lineStart)) && !onLine(lineStart, lineEnd)) {
      return;
    }
    from = NextLine(lines, lineEnd);
    for (size_t k = 0; k < alertPatterns_.size(); ++k) {
      if (next[k] && next[k]->Offset < from) {
        next[k] = from <= lines.size() ? alertPatterns_[k]->FindForward(lines, from) : std::nullopt;
      }
    }
  }
}

bool TAlertLineMatcher::IsAlertLine(std::string_view line) const {
  std::u16string text;
  AppendUtf16(text, line, encoding_);
  const std::optional<size_t> rule =
      highlighter_->RuleOf(QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())));
  return rule && highlighter_->Rules()[*rule].Alert;
}

LineMatchers AlertMatchersFor(std::shared_ptr<const LineHighlighter> highlighter) {
  return LineMatchers([highlighter = std::move(highlighter)](Encoding encoding) {
    return std::make_unique<TAlertLineMatcher>(highlighter, encoding);
  });
}
