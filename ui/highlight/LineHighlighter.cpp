#include "LineHighlighter.h"

#include <QCoreApplication>
#include <QRegularExpressionMatchIterator>

namespace {

// The parts of `line` that `pattern` matches, or only the first of them. An empty match colours
// nothing, so it does not count as the rule matching. Decoded text is valid UTF-16: checking it
// again for every match would cost more than the matching.
std::vector<std::pair<int, int>> MatchedParts(const TCompiledPattern& pattern, const QString& line,
                                              bool firstOnly) {
  std::vector<std::pair<int, int>> parts;
  QRegularExpressionMatchIterator matches =
      pattern.Expression().globalMatch(line, 0, QRegularExpression::NormalMatch,
                                       QRegularExpression::DontCheckSubjectStringMatchOption);
  while (matches.hasNext() && !(firstOnly && !parts.empty())) {
    const QRegularExpressionMatch match = matches.next();
    if (match.capturedLength() > 0) {
      parts.emplace_back(static_cast<int>(match.capturedStart()),
                         static_cast<int>(match.capturedLength()));
    }
  }
  return parts;
}

}  // namespace

LineHighlighter::LineHighlighter(THighlightRules rules) : rules_(std::move(rules)) {
  patterns_.reserve(rules_.size());
  for (const THighlightRule& rule : rules_) patterns_.emplace_back(rule.Pattern);
}

bool LineHighlighter::HasAlertRules() const {
  for (size_t rule = 0; rule < rules_.size(); ++rule) {
    if (rules_[rule].Enabled && rules_[rule].Alert && patterns_[rule].CanMatch()) return true;
  }
  return false;
}

std::optional<size_t> LineHighlighter::RuleOf(const QString& line) const {
  for (size_t rule = 0; rule < rules_.size(); ++rule) {
    if (rules_[rule].Enabled && patterns_[rule].CanMatch() &&
        !MatchedParts(patterns_[rule], line, true).empty()) {
      return rule;
    }
  }
  return std::nullopt;
}

std::optional<TLineHighlight> LineHighlighter::Highlight(const QString& line) const {
  const std::optional<size_t> rule = RuleOf(line);
  if (!rule) return std::nullopt;
  if (rules_[*rule].WholeLine) return TLineHighlight{*rule, {{0, static_cast<int>(line.size())}}};
  return TLineHighlight{*rule, MatchedParts(patterns_[*rule], line, false)};
}

QString LineHighlighter::Problem() const {
  for (size_t rule = 0; rule < rules_.size(); ++rule) {
    const TCompiledPattern& pattern = patterns_[rule];
    if (pattern.CanMatch()) continue;
    const QString why = pattern.Pattern().Text.isEmpty()
                            ? QCoreApplication::translate("LineHighlighter", "it has no text")
                            : pattern.Error();
    return QCoreApplication::translate("LineHighlighter", "Rule %1 cannot match: %2.")
        .arg(rule + 1)
        .arg(why);
  }
  return {};
}
