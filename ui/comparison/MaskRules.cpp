#include "MaskRules.h"

#include <QSettings>

namespace {

const QString kRulesKey = QStringLiteral("Compare/MaskRules");
// Stands for a masked part: a character of Unicode's private use, which decoded log text does
// not hold.
constexpr QChar kMark(0xE000);

QRegularExpression Combined(const QStringList& patterns) {
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

MaskRules::MaskRules(const QStringList& patterns)
    : patterns_(patterns), combined_(Combined(patterns)) {}

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

QList<std::pair<int, int>> MaskRules::MaskedParts(const QString& line) const {
  QList<std::pair<int, int>> parts;
  if (!combined_.isValid()) return parts;
  QRegularExpressionMatchIterator matches = combined_.globalMatch(line);
  while (matches.hasNext()) {
    const QRegularExpressionMatch match = matches.next();
    // An empty match masks nothing; the iterator moves on past it.
    if (match.capturedLength() > 0) {
      parts.append(
          {static_cast<int>(match.capturedStart()), static_cast<int>(match.capturedLength())});
    }
  }
  return parts;
}

QString MaskRules::Masked(const QString& line) const {
  QString masked;
  masked.reserve(line.size());
  int from = 0;
  for (const auto& [start, length] : MaskedParts(line)) {
    masked.append(QStringView(line).mid(from, start - from));
    masked.append(kMark);
    from = start + length;
  }
  masked.append(QStringView(line).mid(from));
  return masked;
}

uint64_t MaskRules::MaskedHash(const QString& line) const {
  return qHash(Masked(line));
}
