#include "LinePattern.h"

#include <QStringList>

#include "RegexEngine.h"

namespace {

// Line ends as the log's own: CR LF, lone CR and lone LF.
const QString kLineEnds = QStringLiteral("(*ANYCRLF)");

bool IsWordCharacter(QChar c) {
  return c.isLetterOrNumber() || c == QLatin1Char('_');
}

QString ExpressionText(const TLinePattern& pattern) {
  QString body = pattern.Regex ? pattern.Text : QRegularExpression::escape(pattern.Text);
  if (!pattern.WholeWords || pattern.Text.isEmpty()) return kLineEnds + body;
  if (pattern.Regex) return kLineEnds + QStringLiteral("\\b(?:%1)\\b").arg(body);
  // A text that starts or ends with a mark ("[ERR]") is a word at that end wherever it stands:
  // a word boundary there would ask for a letter before or after it.
  const QString before = IsWordCharacter(pattern.Text.front()) ? QStringLiteral("\\b") : QString();
  const QString after = IsWordCharacter(pattern.Text.back()) ? QStringLiteral("\\b") : QString();
  return kLineEnds + before + body + after;
}

// Constructs whose match may depend on what lies beyond the line's ends. A false alarm (such a
// sequence in a class or after a backslash) only costs speed.
bool LooksBeyondLine(const QString& expression) {
  static const QStringList kMarks = {
      QStringLiteral("(?="), QStringLiteral("(?!"),  QStringLiteral("(?<="), QStringLiteral("(?<!"),
      QStringLiteral("(?>"), QStringLiteral("(*"),   QStringLiteral("(?("),  QStringLiteral("\\A"),
      QStringLiteral("\\z"), QStringLiteral("\\Z"),  QStringLiteral("\\G"),  QStringLiteral("*+"),
      QStringLiteral("++"),  QStringLiteral("?+"),   QStringLiteral("}+"),   QStringLiteral("(?R"),
      QStringLiteral("(?&"), QStringLiteral("(?P>"), QStringLiteral("\\g"),  QStringLiteral("(?C"),
  };
  const QString body = expression.mid(kLineEnds.size());
  for (const QString& mark : kMarks) {
    if (body.contains(mark)) return true;
  }
  // Numbered subroutine calls, (?1) (?-1) (?+1): what they call may look beyond.
  static const QRegularExpression kSubroutine(QStringLiteral("\\(\\?[-+]?\\d"));
  return body.contains(kSubroutine);
}

}  // namespace

TCompiledPattern::TCompiledPattern(const TLinePattern& pattern) : pattern_(pattern) {
  RegexEngineSet();
  QRegularExpression::PatternOptions options = QRegularExpression::MultilineOption;
  if (!pattern.MatchCase) options |= QRegularExpression::CaseInsensitiveOption;
  const QString text = ExpressionText(pattern);
  expression_.setPattern(text);
  expression_.setPatternOptions(options);
  expression_.optimize();
  manyLines_ = !LooksBeyondLine(text);
}

QString TCompiledPattern::Error() const {
  if (expression_.isValid()) return {};
  // The offset counts from the start of the user's text, without what was put around it.
  const qsizetype offset = expression_.patternErrorOffset() - kLineEnds.size();
  return QStringLiteral("%1 at character %2").arg(expression_.errorString()).arg(offset + 1);
}
