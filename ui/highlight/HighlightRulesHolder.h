#pragma once

#include <QObject>
#include <memory>

#include "HighlightRule.h"
#include "LineHighlighter.h"

// The highlight rules in force, kept in the settings (as the JSON that Export writes): what both
// panes colour by. Whoever colours or counts by them listens to RulesChanged.
class HighlightRulesHolder : public QObject {
  Q_OBJECT

 public:
  // Starts with the rules kept in the settings; with the defaults when none are kept or what is
  // kept cannot be read.
  explicit HighlightRulesHolder(QObject* parent = nullptr);

  const THighlightRules& Rules() const { return highlighter_->Rules(); }
  // The rules compiled; shared, so that work that runs on with the old rules keeps them alive.
  std::shared_ptr<const LineHighlighter> Highlighter() const { return highlighter_; }
  // Puts `rules` in force and keeps them in the settings; tells when they differ.
  void SetRules(const THighlightRules& rules);

 signals:
  void RulesChanged();

 private:
  std::shared_ptr<const LineHighlighter> highlighter_;
};
