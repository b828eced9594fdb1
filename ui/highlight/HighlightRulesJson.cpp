#include "HighlightRulesJson.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QStringList>

namespace {

const QString kRulesKey = QStringLiteral("highlightRules");
const QString kPattern = QStringLiteral("pattern");
const QString kRegex = QStringLiteral("regex");
const QString kMatchCase = QStringLiteral("matchCase");
const QString kWholeWords = QStringLiteral("wholeWords");
const QString kColour = QStringLiteral("colour");
const QString kWholeLine = QStringLiteral("wholeLine");
const QString kAlert = QStringLiteral("alert");
const QString kEnabled = QStringLiteral("enabled");

[[noreturn]] void Fail(const QString& source, const QString& reason) {
  throw HighlightRulesError(QStringLiteral("Cannot read highlight rules from \"%1\": %2")
                                .arg(source, reason)
                                .toStdString());
}

QJsonObject RuleObject(const THighlightRule& rule) {
  return {{kPattern, rule.Pattern.Text},
          {kRegex, rule.Pattern.Regex},
          {kMatchCase, rule.Pattern.MatchCase},
          {kWholeWords, rule.Pattern.WholeWords},
          {kColour, ColourName(rule.Colour)},
          {kWholeLine, rule.WholeLine},
          {kAlert, rule.Alert},
          {kEnabled, rule.Enabled}};
}

// One rule's object, read field by field; `where` names the rule in messages.
class RuleReader {
 public:
  RuleReader(const QJsonObject& object, QString source, QString where)
      : object_(object), source_(std::move(source)), where_(std::move(where)) {}

  THighlightRule Read() const {
    THighlightRule rule;
    const QJsonValue pattern = object_.value(kPattern);
    if (!pattern.isString()) Fail(source_, where_ + QStringLiteral(" has no text \"pattern\""));
    rule.Pattern = {pattern.toString(), Switch(kRegex, false), Switch(kMatchCase, false),
                    Switch(kWholeWords, false)};
    rule.Colour = Colour();
    rule.WholeLine = Switch(kWholeLine, rule.WholeLine);
    rule.Alert = Switch(kAlert, rule.Alert);
    rule.Enabled = Switch(kEnabled, rule.Enabled);
    const TCompiledPattern compiled(rule.Pattern);
    if (!compiled.CanMatch()) {
      const QString why =
          rule.Pattern.Text.isEmpty() ? QStringLiteral("is empty") : compiled.Error();
      Fail(source_, QStringLiteral("%1, \"pattern\": %2").arg(where_, why));
    }
    return rule;
  }

 private:
  bool Switch(const QString& key, bool unset) const {
    const QJsonValue value = object_.value(key);
    if (value.isUndefined()) return unset;
    if (!value.isBool())
      Fail(source_, QStringLiteral("%1, \"%2\" is not true or false").arg(where_, key));
    return value.toBool();
  }

  THighlightColour Colour() const {
    const QJsonValue value = object_.value(kColour);
    if (value.isUndefined()) return THighlightRule().Colour;
    const std::optional<THighlightColour> colour = ColourNamed(value.toString());
    if (colour) return *colour;
    QStringList names;
    for (THighlightColour known : kHighlightColours) names << ColourName(known);
    Fail(source_, QStringLiteral("%1, \"colour\" is not one of %2")
                      .arg(where_, names.join(QStringLiteral(", "))));
  }

  const QJsonObject& object_;
  QString source_;
  QString where_;
};

}  // namespace

QByteArray HighlightRulesJson(const THighlightRules& rules) {
  QJsonArray array;
  for (const THighlightRule& rule : rules) array.append(RuleObject(rule));
  return QJsonDocument(QJsonObject{{kRulesKey, array}}).toJson(QJsonDocument::Indented);
}

THighlightRules HighlightRulesFromJson(const QByteArray& json, const QString& source) {
  QJsonParseError error;
  const QJsonDocument document = QJsonDocument::fromJson(json, &error);
  if (error.error != QJsonParseError::NoError) {
    Fail(source, QStringLiteral("%1 at byte %2").arg(error.errorString()).arg(error.offset + 1));
  }
  const QJsonValue list = document.object().value(kRulesKey);
  if (!list.isArray()) Fail(source, QStringLiteral("no list \"%1\"").arg(kRulesKey));
  THighlightRules rules;
  const QJsonArray array = list.toArray();
  for (qsizetype index = 0; index < array.size(); ++index) {
    const QString where = QStringLiteral("rule %1").arg(index + 1);
    if (!array[index].isObject()) Fail(source, where + QStringLiteral(" is not an object"));
    const QJsonObject object = array[index].toObject();
    rules.push_back(RuleReader(object, source, where).Read());
  }
  return rules;
}

THighlightRules ReadHighlightRulesFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) Fail(path, file.errorString());
  return HighlightRulesFromJson(file.readAll(), path);
}

void WriteHighlightRulesFile(const QString& path, const THighlightRules& rules) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(HighlightRulesJson(rules)) < 0 ||
      !file.commit()) {
    throw HighlightRulesError(QStringLiteral("Cannot write highlight rules to \"%1\": %2")
                                  .arg(path, file.errorString())
                                  .toStdString());
  }
}
