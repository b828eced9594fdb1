#include "HighlightRulesHolder.h"

#include <QSettings>

#include "HighlightRulesJson.h"

namespace {

const QString kRulesKey = QStringLiteral("Highlight/Rules");

THighlightRules SavedRules() {
  const QSettings settings;
  if (!settings.contains(kRulesKey)) return DefaultHighlightRules();
  try {
    return HighlightRulesFromJson(settings.value(kRulesKey).toByteArray(), kRulesKey);
  } catch (const HighlightRulesError&) {
    // Settings written by hand, or by a later version with rules this one does not know.
    return DefaultHighlightRules();
  }
}

}  // namespace

HighlightRulesHolder::HighlightRulesHolder(QObject* parent)
    : QObject(parent), highlighter_(std::make_shared<LineHighlighter>(SavedRules())) {}

void HighlightRulesHolder::SetRules(const THighlightRules& rules) {
  QSettings().setValue(kRulesKey, HighlightRulesJson(rules));
  if (rules == Rules()) return;
  highlighter_ = std::make_shared<LineHighlighter>(rules);
  emit RulesChanged();
}
