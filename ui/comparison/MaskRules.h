#pragma once

#include <QList>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <utility>

// What two runs' lines may differ in and still compare as equal: regular expressions whose
// matches are masked, each by one mark, before lines are compared. By default a leading time
// stamp and every run of digits (counts, volumes, well numbers, ids), which make nearly every
// line of a run differ from the same line of another run. Kept in the settings.
class MaskRules {
 public:
  // The rules of a fresh installation.
  static QStringList DefaultPatterns();
  // The rules kept in the settings, or the defaults; a kept rule that is not a valid regular
  // expression is left out.
  static MaskRules Saved();
  void Save() const;

  explicit MaskRules(const QStringList& patterns = DefaultPatterns());

  QStringList Patterns() const { return patterns_; }
  // What is wrong with the first rule that is not a valid regular expression, naming it; empty
  // when all are valid.
  QString Problem() const;

  // `line` with what the rules match masked.
  QString Masked(const QString& line) const;
  // A hash of Masked(line): equal for lines that compare as equal.
  uint64_t MaskedHash(const QString& line) const;
  // Where the rules match `line`: start and length of each part they mask, in order.
  QList<std::pair<int, int>> MaskedParts(const QString& line) const;
  void VisitMaskedParts(const QString& line,
                        const std::function<void(int start, int length)>& visit) const;

  bool operator==(const MaskRules& other) const { return patterns_ == other.patterns_; }

 private:
  using Parts = QList<std::pair<int, int>>;
  // The parts the rules mask, the last rule being a run of digits found without the engine;
  // false when one of the other rules matches an empty text, where the engine's way of going
  // on is what counts.
  bool PartsWithDigitsLast(const QString& line, Parts& parts) const;
  void VisitAllRules(const QString& line,
                     const std::function<void(int start, int length)>& visit) const;

  QStringList patterns_;
  // The rules as one expression, so that a line is matched once, the first rule that matches
  // at a place winning there; and the same without the last rule when that is a run of digits.
  QRegularExpression combined_;
  QRegularExpression beforeDigits_;
  bool digitsLast_ = false;
};
