#include "LineMatcher.h"

#include <algorithm>

#include "LineScanner.h"
#include "RunSearch.h"
#include "SpanMatchCount.h"
#include "WholeLineCounter.h"

namespace {

// Where the line that holds byte `at` of `bytes` ends, with its line end.
size_t EndOfLineAt(std::string_view bytes, size_t at) {
  if (at >= bytes.size()) return bytes.size();
  LineScanner scanner(bytes.data() + at, bytes.data() + bytes.size());
  scanner.Next();
  return static_cast<size_t>(scanner.Position() - bytes.data());
}

}  // namespace

std::unique_ptr<LineCounter> LineMatcher::NewCounter() const {
  return std::make_unique<WholeLineCounter>(*this);
}

LineMatchers LineMatchers::ForText(std::string_view needleUtf8, bool matchCase) {
  return LineMatchers([needle = std::string(needleUtf8), matchCase](Encoding encoding) {
    return std::make_unique<TextLineMatcher>(needle, encoding, matchCase);
  });
}

std::shared_ptr<const LineMatcher> LineMatchers::For(Encoding encoding) const {
  if (!maker_) return nullptr;
  std::shared_ptr<const LineMatcher>& made = made_[encoding == Encoding::Utf8 ? 1 : 0];
  if (!made) made = maker_(encoding);
  return made;
}

std::optional<ByteMatch> TextLineMatcher::FindForward(std::string_view lines, size_t from) const {
  const size_t at = search_.FindForward(lines, from);
  if (at == TextSearch::npos) return std::nullopt;
  return ByteMatch{at, search_.Size()};
}

std::optional<ByteMatch> TextLineMatcher::FindBackward(std::string_view lines,
                                                       size_t before) const {
  before = std::min(before, lines.size());
  // A match that starts before `before` ends at the latest one byte short of a match there.
  const size_t at = search_.FindBackward(lines, before + search_.Size() - 1);
  if (at == TextSearch::npos) return std::nullopt;
  return ByteMatch{at, search_.Size()};
}

size_t TextLineMatcher::CountMatchingLines(std::string_view lines) const {
  return ::CountMatchingLines(search_, lines);
}

std::unique_ptr<LineCounter> TextLineMatcher::NewCounter() const {
  return std::make_unique<MatchingLineCounter>(search_);
}

std::optional<TextMatch> NextMatch(const LineMatcher& matcher, const LineList& lines, size_t from) {
  if (!matcher.CanMatch()) return std::nullopt;
  const std::string_view bytes = lines.Bytes();
  if (const std::optional<ByteMatch> match = matcher.FindForward(bytes, from)) {
    return TextMatch{match->Offset, match->Size, false};
  }
  // Only a match that starts before `from` is left to find.
  const size_t reach = EndOfLineAt(bytes, std::min(bytes.size(), from) + matcher.Reach());
  if (const std::optional<ByteMatch> first = matcher.FindForward(bytes.substr(0, reach), 0)) {
    return TextMatch{first->Offset, first->Size, true};
  }
  return std::nullopt;
}

std::optional<TextMatch> PreviousMatch(const LineMatcher& matcher, const LineList& lines,
                                       size_t before) {
  if (!matcher.CanMatch()) return std::nullopt;
  const std::string_view bytes = lines.Bytes();
  if (const std::optional<ByteMatch> match = matcher.FindBackward(bytes, before)) {
    return TextMatch{match->Offset, match->Size, false};
  }
  // Only a match that starts at or after `before` is left to find: the last of all.
  if (const std::optional<ByteMatch> last = matcher.FindBackward(bytes, bytes.size())) {
    return TextMatch{last->Offset, last->Size, true};
  }
  return std::nullopt;
}

std::vector<size_t> MatchOffsets(const LineMatcher& matcher, const LineList& lines, size_t limit) {
  const std::string_view bytes = lines.Bytes();
  std::vector<size_t> offsets;
  if (!matcher.CanMatch()) return offsets;
  for (std::optional<ByteMatch> match = matcher.FindForward(bytes, 0);
       match && offsets.size() < limit;
       match = matcher.FindForward(bytes, match->Offset + std::max<size_t>(match->Size, 1))) {
    offsets.push_back(match->Offset);
  }
  return offsets;
}
