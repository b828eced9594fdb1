#include "RequiredText.h"

namespace {

bool FoldsLikeBytes(QChar c) {
  const char16_t u = c.unicode();
  return u < 0x80 && u != 's' && u != 'S' && u != 'k' && u != 'K';
}

// The leading runs of plain characters of an expression, and the longest of them.
class TRunsOfCharacters {
 public:
  explicit TRunsOfCharacters(bool matchCase) : matchCase_(matchCase) {}

  void Add(QChar c) {
    if (!matchCase_ && !FoldsLikeBytes(c)) return Break();
    run_ += c;
    if (run_.size() > longest_.size()) longest_ = run_;
  }
  // The last character added may be missing from a match.
  void DropLast() {
    if (run_.isEmpty()) return;
    if (longest_ == run_) longest_.chop(1);
    run_.chop(1);
    Break();
  }
  void Break() { run_.clear(); }
  QString Longest() const { return longest_; }

 private:
  bool matchCase_;
  QString run_;
  QString longest_;
};

bool IsQuantifier(QChar c) {
  return c == QLatin1Char('*') || c == QLatin1Char('?') || c == QLatin1Char('+') ||
         c == QLatin1Char('{');
}

QString RequiredInExpression(const QString& expression, bool matchCase) {
  if (expression.contains(QLatin1Char('|')) || expression.contains(QStringLiteral("(?")) ||
      expression.contains(QStringLiteral("\\Q"))) {
    return {};
  }
  TRunsOfCharacters runs(matchCase);
  const QString specials = QStringLiteral("()[]{}*+?");
  for (qsizetype i = 0; i < expression.size();) {
    QChar c = expression[i];
    if (c.isSurrogate() || specials.contains(c)) break;
    if (c == QLatin1Char('.') || c == QLatin1Char('^') || c == QLatin1Char('$')) {
      runs.Break();
      ++i;
      continue;
    }
    if (c == QLatin1Char('\\')) {
      // An escaped letter or digit is a class, an assertion or a code; anything else is itself.
      if (i + 1 == expression.size() || expression[i + 1].isLetterOrNumber()) break;
      c = expression[++i];
      if (c.isSurrogate()) break;
    }
    runs.Add(c);
    ++i;
    if (i == expression.size() || !IsQuantifier(expression[i])) continue;
    // A repeat that may take none drops the character; one that takes at least one keeps it but
    // ends the run. Either way what follows the repeat is left alone.
    if (expression[i] != QLatin1Char('+')) runs.DropLast();
    break;
  }
  return runs.Longest();
}

}  // namespace

QString RequiredText(const TLinePattern& pattern) {
  if (pattern.Regex) return RequiredInExpression(pattern.Text, pattern.MatchCase);
  if (pattern.MatchCase) return pattern.Text;
  TRunsOfCharacters runs(false);
  for (const QChar c : pattern.Text) runs.Add(c);
  return runs.Longest();
}
