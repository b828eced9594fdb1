#include "FindBar.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QToolButton>

#include "FieldTint.h"
#include "RegexMatcher.h"

namespace {

QString Matches(size_t count, bool countedAll) {
  const QString number = QString::number(count) + (countedAll ? QString() : QStringLiteral("+"));
  return count == 1 && countedAll ? QObject::tr("%1 match").arg(number)
                                  : QObject::tr("%1 matches").arg(number);
}

}  // namespace

TFindBar::TFindBar(QWidget* parent)
    : QWidget(parent),
      edit_(new QLineEdit),
      matchCase_(new QCheckBox(tr("Match &case"))),
      regex_(new QCheckBox(tr("Regular e&xpression"))),
      previous_(new QToolButton),
      next_(new QToolButton),
      status_(new QLabel),
      close_(new QToolButton) {
  edit_->setPlaceholderText(tr("Find"));
  edit_->setClearButtonEnabled(true);
  previous_->setText(tr("Previous"));
  previous_->setToolTip(tr("Previous match (Shift+F3, Shift+Enter)"));
  next_->setText(tr("Next"));
  next_->setToolTip(tr("Next match (F3, Enter)"));
  close_->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
  close_->setToolTip(tr("Close (Esc)"));
  close_->setAutoRaise(true);

  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(4, 2, 4, 2);
  layout->addWidget(edit_, 1);
  layout->addWidget(matchCase_);
  layout->addWidget(regex_);
  layout->addWidget(previous_);
  layout->addWidget(next_);
  layout->addWidget(status_, 1);
  layout->addWidget(close_);

  connect(edit_, &QLineEdit::textEdited, this, &TFindBar::NeedleChanged);
  connect(matchCase_, &QCheckBox::toggled, this, &TFindBar::NeedleChanged);
  connect(regex_, &QCheckBox::toggled, this, &TFindBar::NeedleChanged);
  connect(previous_, &QToolButton::clicked, this, &TFindBar::PreviousRequested);
  connect(next_, &QToolButton::clicked, this, &TFindBar::NextRequested);
  connect(close_, &QToolButton::clicked, this, &TFindBar::CloseRequested);
}

QString TFindBar::Needle() const {
  return edit_->text();
}

bool TFindBar::MatchCase() const {
  return matchCase_->isChecked();
}

TLinePattern TFindBar::Pattern() const {
  return {edit_->text(), regex_->isChecked(), matchCase_->isChecked(), false};
}

std::optional<LineMatchers> TFindBar::Matchers() {
  const TLinePattern pattern = Pattern();
  if (pattern.Text.isEmpty()) return std::nullopt;
  if (pattern.Regex) {
    const TCompiledPattern compiled(pattern);
    if (!compiled.CanMatch()) {
      hint_.clear();
      TintEdit(true);
      ShowStatus(tr("Invalid expression: %1").arg(compiled.Error()), hint_);
      return std::nullopt;
    }
  }
  return MatchersFor(pattern);
}

QString TFindBar::Status() const {
  return status_->text();
}

void TFindBar::Open(const QString& needle) {
  if (!needle.isEmpty()) edit_->setText(needle);
  show();
  edit_->setFocus(Qt::ShortcutFocusReason);
  edit_->selectAll();
}

void TFindBar::SetPattern(const TLinePattern& pattern) {
  const QSignalBlocker quietEdit(edit_);
  const QSignalBlocker quietCase(matchCase_);
  const QSignalBlocker quietRegex(regex_);
  edit_->setText(pattern.Text);
  matchCase_->setChecked(pattern.MatchCase);
  regex_->setChecked(pattern.Regex);
}

void TFindBar::AddOption(QWidget* option) {
  auto* row = qobject_cast<QHBoxLayout*>(layout());
  row->insertWidget(row->indexOf(regex_) + 1, option);
}

void TFindBar::SetStepTips(const QString& previous, const QString& next) {
  previous_->setToolTip(previous);
  next_->setToolTip(next);
}

void TFindBar::ShowFound(TWrap wrap) {
  switch (wrap) {
    case TWrap::None:
      hint_.clear();
      break;
    case TWrap::ToTop:
      hint_ = tr("Wrapped to the top");
      break;
    case TWrap::ToBottom:
      hint_ = tr("Wrapped to the bottom");
      break;
  }
  TintEdit(false);
  ShowStatus(QString(), hint_);
}

void TFindBar::ShowNoMatch() {
  hint_.clear();
  TintEdit(true);
  ShowStatus(tr("No matches"), hint_);
}

void TFindBar::ShowNothing() {
  hint_.clear();
  TintEdit(false);
  ShowStatus(QString(), hint_);
}

void TFindBar::ShowCount(size_t current, size_t counted, bool countedAll) {
  const QString matches = Matches(counted, countedAll);
  ShowStatus(current == 0 ? matches : tr("%1 of %2").arg(current).arg(matches), hint_);
}

void TFindBar::ShowSummary(const QString& summary) {
  ShowStatus(summary, hint_);
}

void TFindBar::ShowStatus(const QString& count, const QString& hint) {
  const QString separator = count.isEmpty() || hint.isEmpty() ? QString() : QStringLiteral(" · ");
  status_->setText(count + separator + hint);
}

void TFindBar::TintEdit(bool noMatch) {
  TintField(*edit_, noMatch);
}

void TFindBar::keyPressEvent(QKeyEvent* event) {
  // The line edit leaves Enter and Escape to its parent.
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (event->modifiers() & Qt::ShiftModifier) {
        emit PreviousRequested();
      } else {
        emit NextRequested();
      }
      return;
    case Qt::Key_Escape:
      emit CloseRequested();
      return;
    default:
      QWidget::keyPressEvent(event);
  }
}
