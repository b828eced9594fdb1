#include "RegexMatcher.h"

#include <QRegularExpressionMatch>
#include <algorithm>
#include <string>
#include <tuple>

#include "LineBounds.h"
#include "RequiredText.h"

namespace {

// A window of whole lines that the engine searches at once: small enough to stay in a core's
// cache decoded, large enough that a call of the engine costs little beside its search.
constexpr size_t kWindowBytes = size_t{256} << 10;
// Where a line longer than this has no end in sight, a window ends anyway; a match that a
// window's end cuts is looked for in its line alone from the line's start, up to here.
constexpr size_t kLongestWindow = size_t{4} << 20;
// How far back into its line a search that starts inside a line may look, for "\b" and "^".
constexpr size_t kLookBack = size_t{4} << 10;

// The engine need not check that a text is valid UTF-16 each time it searches it: it is decoded
// here, which leaves no surrogate alone, and a search never starts inside a character. A window
// is searched many times, and the check would take a pass over the whole window each time.
constexpr auto kDecodedText = QRegularExpression::DontCheckSubjectStringMatchOption;

std::u16string Decoded(std::string_view bytes, Encoding encoding) {
  std::u16string text;
  AppendUtf16(text, bytes, encoding);
  return text;
}

QStringView View(const std::u16string& text) {
  return {text.data(), static_cast<qsizetype>(text.size())};
}

// The units before `bytes` end, where a search that starts there starts: past a character that
// a place inside it cuts in two units.
qsizetype UnitsOf(std::string_view bytes, Encoding encoding, QStringView text) {
  auto units = static_cast<qsizetype>(Decoded(bytes, encoding).size());
  if (units < text.size() && text[units].isLowSurrogate()) ++units;
  return units;
}

// The end of the window of whole lines that starts at `start`.
size_t WindowEnd(std::string_view lines, size_t start) {
  if (lines.size() - start <= kWindowBytes) return lines.size();
  const size_t end = LineEnd(lines, start + kWindowBytes);
  if (end == lines.size()) return end;
  if (end - start > kLongestWindow) return start + kLongestWindow;
  return end + LineEndSize(lines, end);
}

}  // namespace

TRegexMatcher::TRegexMatcher(std::shared_ptr<const TCompiledPattern> pattern, Encoding encoding)
    : pattern_(std::move(pattern)), encoding_(encoding) {
  const QString required = RequiredText(pattern_->Pattern());
  if (required.isEmpty()) return;
  required_.emplace(required.toStdString(), encoding, pattern_->Pattern().MatchCase);
  cannotHold_ = !required_->CanMatch();
}

size_t TRegexMatcher::Reach() const {
  return kLookBack;
}

std::optional<ByteMatch> TRegexMatcher::FindForward(std::string_view lines, size_t from) const {
  if (!CanMatch()) return std::nullopt;
  std::optional<ByteMatch> first;
  VisitHits(lines, from, true, [&](const THit& hit) {
    first = ByteMatch{hit.Start, hit.End - hit.Start};
    return TNext::Stop;
  });
  return first;
}

std::optional<ByteMatch> TRegexMatcher::FindBackward(std::string_view lines, size_t before) const {
  if (!CanMatch()) return std::nullopt;
  // Windows that grow as they go back: a match is most often near, and a window's matches are
  // found from its start.
  size_t end = std::min(before, lines.size());
  for (size_t size = kLookBack; end > 0; size *= 2) {
    const size_t start = LineStart(lines, end - std::min(end, size), 0);
    std::optional<ByteMatch> last;
    VisitHits(lines, start, true, [&](const THit& hit) {
      if (hit.Start >= end) return TNext::Stop;
      last = ByteMatch{hit.Start, hit.End - hit.Start};
      return TNext::AfterStart;
    });
    if (last) return last;
    end = start;
  }
  return std::nullopt;
}

size_t TRegexMatcher::CountMatchingLines(std::string_view lines) const {
  if (!CanMatch()) return 0;
  size_t count = 0;
  VisitHits(lines, 0, false, [&](const THit&) {
    ++count;
    return TNext::AfterLine;
  });
  return count;
}

template <class OnHit>
void TRegexMatcher::VisitHits(std::string_view lines, size_t from, bool nonEmpty,
                              OnHit&& onHit) const {
  if (required_) {
    VisitByRequiredText(lines, from, nonEmpty, onHit);
  } else if (pattern_->SearchesManyLines()) {
    VisitWindows(lines, from, nonEmpty, onHit);
  } else {
    VisitLineByLine(lines, from, nonEmpty, onHit);
  }
}

template <class OnHit>
void TRegexMatcher::VisitByRequiredText(std::string_view lines, size_t from, bool nonEmpty,
                                        OnHit&& onHit) const {
  // A match at or after `from` holds the text at or after `from`.
  size_t floor = LineStart(lines, from, from - std::min(from, kLookBack));
  while (LineAt(lines, from)) {
    const size_t found = required_->FindForward(lines, from);
    if (found == TextSearch::npos) return;
    const size_t start = LineStart(lines, found, floor);
    const size_t end = LineEnd(lines, found);
    const std::optional<size_t> next = VisitLine(lines, start, end, from, nonEmpty, onHit);
    if (!next) return;
    floor = *next > end ? *next : start;
    from = *next;
  }
}

template <class OnHit>
void TRegexMatcher::VisitWindows(std::string_view lines, size_t from, bool nonEmpty,
                                 OnHit&& onHit) const {
  const QRegularExpression& expression = pattern_->Expression();
  for (size_t start = LineStart(lines, from, from - std::min(from, kLookBack));
       start < lines.size();) {
    const size_t end = WindowEnd(lines, start);
    const std::string_view window = lines.substr(start, end - start);
    const std::u16string decoded = Decoded(window, encoding_);
    const QStringView text = View(decoded);
    // Units and bytes agree up to here; they are counted on from it, since hits come in order
    // but for a hit in the line of the one before, which starts from the line's start.
    size_t unitsDone = 0;
    size_t bytesDone = 0;
    std::pair<size_t, size_t> lineMark{0, 0};
    const auto byteAt = [&](qsizetype units) {
      if (static_cast<size_t>(units) < unitsDone) std::tie(unitsDone, bytesDone) = lineMark;
      bytesDone +=
          BytesOfUnits(window.substr(bytesDone), encoding_, static_cast<size_t>(units) - unitsDone);
      unitsDone = static_cast<size_t>(units);
      return start + bytesDone;
    };
    qsizetype pos = from > start ? UnitsOf(lines.substr(start, from - start), encoding_, text) : 0;
    // Where the line that holds `pos` starts.
    qsizetype floor = 0;
    while (LineAt(text, static_cast<size_t>(pos))) {
      const QRegularExpressionMatch match =
          expression.match(text, pos, QRegularExpression::NormalMatch, kDecodedText);
      if (!match.hasMatch()) break;
      const auto lineStart = static_cast<qsizetype>(
          LineStart(text, static_cast<size_t>(match.capturedStart()), static_cast<size_t>(floor)));
      const qsizetype lineEnd = LineEnd(text, match.capturedStart());
      std::optional<std::pair<qsizetype, qsizetype>> found;
      if (match.capturedEnd() <= lineEnd && (!nonEmpty || match.capturedLength() > 0)) {
        found = std::pair(match.capturedStart(), match.capturedEnd());
      } else if (const auto alone = MatchInText(text.mid(lineStart, lineEnd - lineStart),
                                                std::max(pos, lineStart) - lineStart, nonEmpty)) {
        found = std::pair(lineStart + alone->first, lineStart + alone->second);
      }
      TNext next = TNext::AfterLine;
      if (found) {
        const size_t lineStartByte = byteAt(lineStart);
        lineMark = {static_cast<size_t>(lineStart), lineStartByte - start};
        const size_t startByte = byteAt(found->first);
        const size_t endByte = byteAt(found->second);
        next = onHit(THit{lineStartByte, byteAt(lineEnd), startByte, endByte});
      }
      if (next == TNext::Stop) return;
      if (next == TNext::AfterStart) {
        pos = found->first + (text[found->first].isHighSurrogate() ? 2 : 1);
        floor = lineStart;
      } else {
        pos = floor = static_cast<qsizetype>(NextLine(text, static_cast<size_t>(lineEnd)));
      }
    }
    start = end;
    from = start;
  }
}

template <class OnHit>
void TRegexMatcher::VisitLineByLine(std::string_view lines, size_t from, bool nonEmpty,
                                    OnHit&& onHit) const {
  size_t start = LineStart(lines, from, from - std::min(from, kLookBack));
  while (LineAt(lines, start)) {
    const size_t end = LineEnd(lines, start);
    const std::optional<size_t> next = VisitLine(lines, start, end, from, nonEmpty, onHit);
    if (!next) return;
    if (*next > end) start = *next;
    from = *next;
  }
}

template <class OnHit>
std::optional<size_t> TRegexMatcher::VisitLine(std::string_view lines, size_t start, size_t end,
                                               size_t from, bool nonEmpty, OnHit&& onHit) const {
  const size_t into = from > start ? from - start : 0;
  const auto match = MatchInLine(lines.substr(start, end - start), into, nonEmpty);
  const TNext next = match ? onHit(THit{start, end, start + match->first, start + match->second})
                           : TNext::AfterLine;
  if (next == TNext::Stop) return std::nullopt;
  if (next == TNext::AfterLine) return NextLine(lines, end);
  return start + match->first + CharacterBytes(lines.substr(start + match->first));
}

size_t TRegexMatcher::CharacterBytes(std::string_view bytes) const {
  const size_t one = BytesOfUnits(bytes, encoding_, 1);
  return one > 0 ? one : BytesOfUnits(bytes, encoding_, 2);
}

std::optional<std::pair<size_t, size_t>> TRegexMatcher::MatchInLine(std::string_view line,
                                                                    size_t from,
                                                                    bool nonEmpty) const {
  const std::u16string text = Decoded(line, encoding_);
  const qsizetype into = from == 0 ? 0 : UnitsOf(line.substr(0, from), encoding_, View(text));
  const auto match = MatchInText(View(text), into, nonEmpty);
  if (!match) return std::nullopt;
  const size_t start = BytesOfUnits(line, encoding_, static_cast<size_t>(match->first));
  return std::pair(start, start + BytesOfUnits(line.substr(start), encoding_,
                                               static_cast<size_t>(match->second - match->first)));
}

std::optional<std::pair<qsizetype, qsizetype>> TRegexMatcher::MatchInText(QStringView line,
                                                                          qsizetype from,
                                                                          bool nonEmpty) const {
  while (from <= line.size()) {
    const QRegularExpressionMatch match =
        pattern_->Expression().match(line, from, QRegularExpression::NormalMatch, kDecodedText);
    if (!match.hasMatch()) return std::nullopt;
    if (!nonEmpty || match.capturedLength() > 0) {
      return std::pair(match.capturedStart(), match.capturedEnd());
    }
    if (match.capturedStart() == line.size()) return std::nullopt;
    // On past an empty match, by a whole character.
    from = match.capturedStart() + (line[match.capturedStart()].isHighSurrogate() ? 2 : 1);
  }
  return std::nullopt;
}

LineMatchers MatchersFor(const TLinePattern& pattern) {
  if (!pattern.Regex && !pattern.WholeWords) {
    return LineMatchers::ForText(pattern.Text.toStdString(), pattern.MatchCase);
  }
  auto compiled = std::make_shared<const TCompiledPattern>(pattern);
  return LineMatchers([compiled](Encoding encoding) {
    return std::make_unique<TRegexMatcher>(compiled, encoding);
  });
}
