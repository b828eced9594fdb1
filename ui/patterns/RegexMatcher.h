#pragma once

#include <QStringView>
#include <memory>
#include <optional>

#include "LineMatcher.h"
#include "LinePattern.h"
#include "TextSearch.h"

// Looks for an expression of the engine in a store's bytes, which it decodes to UTF-16 only
// where it must: a line at a time where a byte search finds the text every match holds, else a
// window of whole lines at a time, which the engine searches at once when the expression keeps
// to its line (TCompiledPattern::SearchesManyLines), else a line at a time. A line matches as it
// would alone: its start and end are the subject's.
class TRegexMatcher final : public LineMatcher {
 public:
  TRegexMatcher(std::shared_ptr<const TCompiledPattern> pattern, Encoding encoding);

  bool CanMatch() const override { return pattern_->CanMatch() && !cannotHold_; }
  std::optional<ByteMatch> FindForward(std::string_view lines, size_t from) const override;
  std::optional<ByteMatch> FindBackward(std::string_view lines, size_t before) const override;
  size_t CountMatchingLines(std::string_view lines) const override;
  size_t Reach() const override;

  // For tests: whether lines are picked by the text every match holds.
  bool PicksLinesByText() const { return required_.has_value(); }

 private:
  // A match in one line of a text: where the line starts and ends, and the match in it.
  struct THit {
    size_t LineStart = 0;
    size_t LineEnd = 0;
    size_t Start = 0;
    size_t End = 0;
  };

  // What to look for after a hit: nothing more, a hit in a later line, or one that starts a
  // character later in the same line.
  enum class TNext { Stop, AfterLine, AfterStart };

  // Calls `onHit` with each hit at or after `from`, in order, as long as it asks for more.
  template <class OnHit>
  void VisitHits(std::string_view lines, size_t from, bool nonEmpty, OnHit&& onHit) const;
  template <class OnHit>
  void VisitByRequiredText(std::string_view lines, size_t from, bool nonEmpty, OnHit&& onHit) const;
  template <class OnHit>
  void VisitWindows(std::string_view lines, size_t from, bool nonEmpty, OnHit&& onHit) const;
  template <class OnHit>
  void VisitLineByLine(std::string_view lines, size_t from, bool nonEmpty, OnHit&& onHit) const;
  // Looks in the line from `start` to `end` of `lines` for a hit at or after `from` and tells
  // `onHit`; where to look next (the next line's start, or a character on in this line), or
  // none to stop.
  template <class OnHit>
  std::optional<size_t> VisitLine(std::string_view lines, size_t start, size_t end, size_t from,
                                  bool nonEmpty, OnHit&& onHit) const;
  // The bytes of the character at the start of `bytes`.
  size_t CharacterBytes(std::string_view bytes) const;
  // The match in `line` (bytes) at or after byte `from`, as bytes of the line.
  std::optional<std::pair<size_t, size_t>> MatchInLine(std::string_view line, size_t from,
                                                       bool nonEmpty) const;
  // The same in decoded text, in units.
  std::optional<std::pair<qsizetype, qsizetype>> MatchInText(QStringView line, qsizetype from,
                                                             bool nonEmpty) const;

  std::shared_ptr<const TCompiledPattern> pattern_;
  Encoding encoding_;
  std::optional<TextSearch> required_;
  // The text every match holds has no bytes in the store's encoding: nothing can match.
  bool cannotHold_ = false;
};

// What to find for `pattern`: a plain text through the byte search, anything else through the
// engine. An expression the engine refuses matches nothing (TCompiledPattern::Error tells why).
LineMatchers MatchersFor(const TLinePattern& pattern);
