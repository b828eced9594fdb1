#pragma once

#include <QString>
#include <optional>
#include <utility>
#include <vector>

#include "HighlightRule.h"
#include "LinePattern.h"

// What a rule colours in one line: the rule (its index in the rules) and the parts it colours,
// as (start, length) in UTF-16 units, in order. A whole-line rule colours one part, the line.
struct TLineHighlight {
  size_t Rule = 0;
  std::vector<std::pair<int, int>> Parts;
  bool operator==(const TLineHighlight&) const = default;
};

// Colours decoded lines by a list of rules, each compiled once. A rule matches a line when its
// pattern finds at least one character there; the first enabled rule that matches colours the
// line. A rule whose expression the engine refuses matches nothing, and the rules after it
// still apply. Only read once made, so one highlighter may serve several threads.
class LineHighlighter {
 public:
  explicit LineHighlighter(THighlightRules rules = {});

  const THighlightRules& Rules() const { return rules_; }
  // Whether any enabled rule is an alert rule: without one, no line is an alert line.
  bool HasAlertRules() const;
  // The index of the rule that colours `line`; none when no rule does.
  std::optional<size_t> RuleOf(const QString& line) const;
  // What colours `line`, with the parts it colours.
  std::optional<TLineHighlight> Highlight(const QString& line) const;
  // Why the first rule that cannot match cannot, naming it: an empty text or an expression the
  // engine refuses; empty when every rule can match.
  QString Problem() const;

 private:
  THighlightRules rules_;
  std::vector<TCompiledPattern> patterns_;
};
