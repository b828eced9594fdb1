#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "LineList.h"
#include "TextEncoding.h"
#include "TextSearch.h"

// A match in a store's bytes: where it starts and how many bytes it takes.
struct ByteMatch {
  size_t Offset = 0;
  size_t Size = 0;
  auto operator<=>(const ByteMatch&) const = default;
};

// Counts the lines that hold a match in a text that comes in blocks cut anywhere, even inside a
// line or between the CR and the LF of a line end.
class LineCounter {
 public:
  virtual ~LineCounter() = default;
  virtual void Add(std::string_view block) = 0;
  // With the last line, which may go on in the next block.
  virtual size_t Lines() const = 0;
  // The lines up to the last line end added, and the bytes they take.
  virtual size_t LinesEnded() const = 0;
  virtual uint64_t BytesEnded() const = 0;
};

// What Find, Find in runs and Find in logs look for in the bytes of a store of one encoding: a
// text (TextSearch) or an expression of the window's engine. A match never spans a line end.
class LineMatcher {
 public:
  virtual ~LineMatcher() = default;

  // False for what matches nothing, as an empty text or an expression the engine refused.
  virtual bool CanMatch() const = 0;
  // The first match in `lines` (whole lines with their line ends) that starts at or after
  // `from` and takes at least one byte.
  virtual std::optional<ByteMatch> FindForward(std::string_view lines, size_t from) const = 0;
  // The last match in `lines` that starts before `before` and takes at least one byte.
  virtual std::optional<ByteMatch> FindBackward(std::string_view lines, size_t before) const = 0;
  // The lines of `lines` that hold a match, of any length (an expression may match an empty
  // line); text after the last line end is a line when there is any.
  virtual size_t CountMatchingLines(std::string_view lines) const = 0;
  // How far before a place, in its line, a match that reaches the place may start: matches in a
  // piece of a long line are looked for in the piece with this much of its neighbours.
  virtual size_t Reach() const = 0;
  virtual std::unique_ptr<LineCounter> NewCounter() const;
};

// A matcher for a store of each encoding, made once for each encoding it is asked for: what to
// find is put into the bytes of an encoding, or the bytes decoded from it.
class LineMatchers {
 public:
  using Maker = std::function<std::unique_ptr<LineMatcher>(Encoding)>;

  LineMatchers() = default;
  explicit LineMatchers(Maker maker) : maker_(std::move(maker)) {}
  // For plain text.
  static LineMatchers ForText(std::string_view needleUtf8, bool matchCase);

  bool Empty() const { return !maker_; }
  // Null when empty.
  std::shared_ptr<const LineMatcher> For(Encoding encoding) const;

 private:
  Maker maker_;
  mutable std::array<std::shared_ptr<const LineMatcher>, 2> made_;
};

// Plain text, through TextSearch.
class TextLineMatcher final : public LineMatcher {
 public:
  TextLineMatcher(std::string_view needleUtf8, Encoding encoding, bool matchCase)
      : search_(needleUtf8, encoding, matchCase) {}

  bool CanMatch() const override { return search_.CanMatch(); }
  std::optional<ByteMatch> FindForward(std::string_view lines, size_t from) const override;
  std::optional<ByteMatch> FindBackward(std::string_view lines, size_t before) const override;
  size_t CountMatchingLines(std::string_view lines) const override;
  size_t Reach() const override { return search_.Size() - 1; }
  std::unique_ptr<LineCounter> NewCounter() const override;

 private:
  TextSearch search_;
};

// A match in a line list: where it starts in the list's bytes, the bytes it takes, and whether
// finding it went past the end of the list (or its start, searching backwards) and on from the
// other end.
struct TextMatch {
  size_t Offset = 0;
  size_t Size = 0;
  bool Wrapped = false;
  auto operator<=>(const TextMatch&) const = default;
};

// The first match that starts at or after byte `from` of `lines`; when there is none, the first
// of all. None when the lines hold no match.
std::optional<TextMatch> NextMatch(const LineMatcher& matcher, const LineList& lines, size_t from);
// The last match that starts before byte `before` of `lines`; when there is none, the last of
// all. None when the lines hold no match.
std::optional<TextMatch> PreviousMatch(const LineMatcher& matcher, const LineList& lines,
                                       size_t before);

// Where the matches in `lines` start, found one after the other from the start, each after the
// end of the one before; the first `limit` of them. A short text can hold millions of matches of
// a single letter, and a count that goes on beyond what anyone reads costs a noticeable moment.
std::vector<size_t> MatchOffsets(const LineMatcher& matcher, const LineList& lines, size_t limit);
