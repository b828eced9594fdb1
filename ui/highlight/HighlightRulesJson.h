#pragma once

#include <QByteArray>
#include <QString>
#include <stdexcept>

#include "HighlightRule.h"

// Highlight rules that cannot be read or written. The message names the file (or where the text
// came from), the rule and the field, ready to be shown as it stands.
class HighlightRulesError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The rules as JSON text: {"highlightRules": [{"pattern": ..., "regex": ..., "matchCase": ...,
// "wholeWords": ..., "colour": "red", "wholeLine": ..., "alert": ..., "enabled": ...}, ...]}.
// What the dialog exports, the settings keep and --highlight-rules reads.
QByteArray HighlightRulesJson(const THighlightRules& rules);
// Rules from JSON text that came from `source` (a file name, shown in messages). Only "pattern"
// is required; a missing switch takes the value of a new rule. Throws HighlightRulesError for
// text that is not such JSON, a field of the wrong type, an unknown colour or an expression the
// engine refuses.
THighlightRules HighlightRulesFromJson(const QByteArray& json, const QString& source);

// The rules of the file `path`; throws HighlightRulesError when it cannot be read or holds no
// valid rules.
THighlightRules ReadHighlightRulesFile(const QString& path);
// Writes `rules` to the file `path`, replacing it whole; throws HighlightRulesError when it
// cannot.
void WriteHighlightRulesFile(const QString& path, const THighlightRules& rules);
