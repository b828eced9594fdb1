#pragma once

#include <QPalette>
#include <QWidget>

#include <optional>

#include "LineMatcher.h"
#include "LinePattern.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QToolButton;

// The bar under the panes in which the user types what to find. It only asks: whoever searches
// answers with what it found, and the bar shows that in its label.
class TFindBar : public QWidget {
  Q_OBJECT

 public:
  enum class TWrap { None, ToTop, ToBottom };

  explicit TFindBar(QWidget* parent = nullptr);

  QString Needle() const;
  bool MatchCase() const;
  // The needle with its case rule and whether it is a regular expression.
  TLinePattern Pattern() const;
  // What to find; none when the bar holds nothing, or an expression the engine refuses, which the
  // bar then shows in its field and its label.
  std::optional<LineMatchers> Matchers();
  QLineEdit* NeedleEdit() const { return edit_; }
  QString Status() const;

  // Shows the bar with the focus in its line edit and the text there selected; a non-empty
  // `needle` replaces that text.
  void Open(const QString& needle);
  // Puts `pattern` in the bar without raising NeedleChanged.
  void SetPattern(const TLinePattern& pattern);

  // For a bar that searches something else than one pane: an option of its own after "Regular
  // expression", and what its step buttons step to.
  void AddOption(QWidget* option);
  void SetStepTips(const QString& previous, const QString& next);

  // A match was found; `wrap` tells whether finding it went on from the other end.
  void ShowFound(TWrap wrap);
  void ShowNoMatch();
  // Nothing to find: an empty needle.
  void ShowNothing();
  // How many matches were counted, whether that is all of them, and which of them is the current
  // one (from 1; 0 for none, or for one beyond those counted).
  void ShowCount(size_t current, size_t counted, bool countedAll);
  // What was found, in words of the searcher's own, after the hint of the last ShowFound.
  void ShowSummary(const QString& summary);

 signals:
  // The needle, its case rule or the expression tick changed.
  void NeedleChanged();
  void NextRequested();
  void PreviousRequested();
  void CloseRequested();

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void ShowStatus(const QString& count, const QString& hint);
  void TintEdit(bool noMatch);

  QLineEdit* edit_;
  QCheckBox* matchCase_;
  QCheckBox* regex_;
  QToolButton* previous_;
  QToolButton* next_;
  QLabel* status_;
  QToolButton* close_;
  QString hint_;
};
