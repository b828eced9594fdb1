#include "MaskRules.h"

#include <QSettings>

#include "RegexEngine.h"

namespace {

const QString kRulesKey = QStringLiteral("Compare/MaskRules");
// A run of digits (\d is ASCII digits unless the expression asks for Unicode's).
const QString kDigits = QStringLiteral("\\d+");
// Stands for a masked part: a character of Unicode's private use, which decoded log text does
// not hold.
constexpr QChar kMark(0xE000);

QRegularExpression Combined(const QStringList& patterns) {
  // Where the engine interprets (RegexEngine.h), the runs of digits are found by hand, fast.
  RegexEngineSet();
  QStringList alternatives;
  for (const QString& pattern : patterns) alternatives << QStringLiteral("(?:%1)").arg(pattern);
  // No rules mask nothing: an expression that never matches.
  if (alternatives.isEmpty()) alternatives << QStringLiteral("(?!)");
  QRegularExpression combined(alternatives.join(QLatin1Char('|')));
  combined.optimize();
  return combined;
}

}  // namespace

QStringList MaskRules::DefaultPatterns() {
  return {QStringLiteral("^\\d{1,2}:\\d{2}:\\d{2}(?:[.,]\\d+)?"), QStringLiteral("\\d+")};
}

MaskRules MaskRules::Saved() {
  const QSettings settings;
  if (!settings.contains(kRulesKey)) return MaskRules();
  QStringList valid;
  for (const QString& pattern : settings.value(kRulesKey).toStringList()) {
    if (QRegularExpression(pattern).isValid()) valid << pattern;
  }
  return MaskRules(valid);
}

void MaskRules::Save() const {
  QSettings().setValue(kRulesKey, patterns_);
}

// Masking every run of digits costs a match object each, most of a comparison's time, while
// the run of digits as the last rule is found as fast by hand, with the same result: the other
// rules are tried first at each place, as in the one expression.
MaskRules::MaskRules(const QStringList& patterns)
    : patterns_(patterns),
      combined_(Combined(patterns)),
      digitsLast_(!patterns.isEmpty() && patterns.last() == kDigits) {
  if (digitsLast_) beforeDigits_ = Combined(patterns.mid(0, patterns.size() - 1));
}

QString MaskRules::Problem() const {
  for (const QString& pattern : patterns_) {
    const QRegularExpression expression(pattern);
    if (!expression.isValid()) {
      return QObject::tr("The rule \"%1\" is not a valid regular expression: %2 (at %3).")
          .arg(pattern, expression.errorString())
          .arg(expression.patternErrorOffset() + 1);
    }
  }
  return {};
}

void MaskRules::VisitMaskedParts(const QString& line,
                                 const std::function<void(int start, int length)>& visit) const {
  if (!combined_.isValid()) return;
  Parts parts;
  if (!digitsLast_ || !PartsWithDigitsLast(line, parts)) {
    VisitAllRules(line, visit);
    return;
  }
  for (const auto& [start, length] : parts) visit(start, length);
}

void MaskRules::VisitAllRules(const QString& line,
                              const std::function<void(int start, int length)>& visit) const {
  // Decoded text is valid UTF-16: checking it again for every match would cost more than the
  // matching.
  QRegularExpressionMatchIterator matches =
      combined_.globalMatch(line, 0, QRegularExpression::NormalMatch,
                            QRegularExpression::DontCheckSubjectStringMatchOption);
  while (matches.hasNext()) {
    const QRegularExpressionMatch match = matches.next();
    // An empty match masks nothing; the iterator moves on past it.
    if (match.capturedLength() > 0) {
      visit(static_cast<int>(match.capturedStart()), static_cast<int>(match.capturedLength()));
    }
  }
}

bool MaskRules::PartsWithDigitsLast(const QString& line, Parts& parts) const {
  const auto isDigit = [&line](qsizetype at) {
    return at < line.size() && line[at] >= QLatin1Char('0') && line[at] <= QLatin1Char('9');
  };
  const auto nextMatch = [&](qsizetype from) {
    return beforeDigits_.match(line, from, QRegularExpression::NormalMatch,
                               QRegularExpression::DontCheckSubjectStringMatchOption);
  };
  QRegularExpressionMatch other = nextMatch(0);
  qsizetype at = 0;
  while (at < line.size()) {
    if (other.hasMatch() && other.capturedLength() == 0) return false;
    qsizetype digit = at;
    while (digit < line.size() && !isDigit(digit)) ++digit;
    if (other.hasMatch() && other.capturedStart() <= digit) {
      parts.append(
          {static_cast<int>(other.capturedStart()), static_cast<int>(other.capturedLength())});
      at = other.capturedEnd();
      other = nextMatch(at);
      continue;
    }
    if (digit >= line.size()) break;
    qsizetype end = digit;
    while (isDigit(end)) ++end;
    parts.append({static_cast<int>(digit), static_cast<int>(end - digit)});
    at = end;
    // A match of the other rules that starts within the digits is not one.
    if (other.hasMatch() && other.capturedStart() < end) other = nextMatch(end);
  }
  return true;
}

QList<std::pair<int, int>> MaskRules::MaskedParts(const QString& line) const {
  QList<std::pair<int, int>> parts;
  VisitMaskedParts(line, [&parts](int start, int length) { parts.append({start, length}); });
  return parts;
}

QString MaskRules::Masked(const QString& line) const {
  QString masked;
  masked.reserve(line.size());
  int from = 0;
  VisitMaskedParts(line, [&](int start, int length) {
    masked.append(QStringView(line).mid(from, start - from));
    masked.append(kMark);
    from = start + length;
  });
  masked.append(QStringView(line).mid(from));
  return masked;
}

uint64_t MaskRules::MaskedHash(const QString& line) const {
  // FNV-1a over the code units of Masked(line), without making it.
  uint64_t hash = 14695981039346656037ULL;
  const auto add = [&hash](QStringView text) {
    for (const QChar c : text) hash = (hash ^ c.unicode()) * 1099511628211ULL;
  };
  int from = 0;
  VisitMaskedParts(line, [&](int start, int length) {
    add(QStringView(line).mid(from, start - from));
    add(QStringView(&kMark, 1));
    from = start + length;
  });
  add(QStringView(line).mid(from));
  return hash;
}
