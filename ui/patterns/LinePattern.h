#pragma once

#include <QRegularExpression>
#include <QString>

// What the user looks for in the lines of a log: a text or a regular expression, with or without
// regard to letter case, and, for highlight rules, only as whole words.
struct TLinePattern {
  QString Text;
  bool Regex = false;
  bool MatchCase = false;
  bool WholeWords = false;
  bool operator==(const TLinePattern&) const = default;
};

// A pattern as the expression engine takes it. A text is an expression that matches only itself.
// Lines end at CR LF, a lone CR or a lone LF, as everywhere in a log, so that "^", "$" and "."
// keep to one line when many lines are searched at once.
class TCompiledPattern {
 public:
  explicit TCompiledPattern(const TLinePattern& pattern);

  const TLinePattern& Pattern() const { return pattern_; }
  // False for an empty text and for an expression the engine refuses.
  bool CanMatch() const { return !pattern_.Text.isEmpty() && expression_.isValid(); }
  // Why the engine refused the expression, with where, in the user's words; empty when it did not.
  QString Error() const;
  // Compiled (and, where the engine can, turned into machine code) before it is shared between
  // threads, so that each thread only reads it.
  const QRegularExpression& Expression() const { return expression_; }
  // Whether a match found in many lines at once starts where it would in its line alone: true
  // unless the expression looks beyond its line's ends (look-arounds, \A \z \Z \G, atomic groups
  // and possessive repeats, verbs and conditions), which then is searched a line at a time.
  bool SearchesManyLines() const { return manyLines_; }

 private:
  TLinePattern pattern_;
  QRegularExpression expression_;
  bool manyLines_ = false;
};
