#include "HighlightRuleEditor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPixmap>

namespace {

QString ColourTitle(THighlightColour colour) {
  switch (colour) {
    case THighlightColour::Red:
      return HighlightRuleEditor::tr("Red");
    case THighlightColour::Amber:
      return HighlightRuleEditor::tr("Amber");
    case THighlightColour::Green:
      return HighlightRuleEditor::tr("Green");
    case THighlightColour::Blue:
      return HighlightRuleEditor::tr("Blue");
    case THighlightColour::Violet:
      return HighlightRuleEditor::tr("Violet");
    case THighlightColour::Grey:
      return HighlightRuleEditor::tr("Grey");
  }
  return {};
}

QIcon Swatch(THighlightColour colour) {
  QPixmap pixmap(16, 16);
  pixmap.fill(QColor::fromRgb(ShadesOf(colour).Background));
  return QIcon(pixmap);
}

}  // namespace

HighlightRuleEditor::HighlightRuleEditor(QWidget* parent)
    : QWidget(parent),
      text_(new QLineEdit),
      regex_(new QCheckBox(tr("Regular e&xpression"))),
      matchCase_(new QCheckBox(tr("Match &case"))),
      wholeWords_(new QCheckBox(tr("&Whole words"))),
      colour_(new QComboBox),
      wholeLine_(new QCheckBox(tr("Colour the whole &line, not only the match"))),
      alert_(new QCheckBox(tr("&Alert: the runs table counts these lines, F8 steps to them"))) {
  text_->setObjectName(QStringLiteral("RuleText"));
  colour_->setObjectName(QStringLiteral("RuleColour"));
  for (THighlightColour colour : kHighlightColours) {
    colour_->addItem(Swatch(colour), ColourTitle(colour));
  }
  auto* matching = new QHBoxLayout;
  for (QCheckBox* box : {regex_, matchCase_, wholeWords_}) matching->addWidget(box);
  matching->addStretch();
  auto* form = new QFormLayout(this);
  form->setContentsMargins(0, 0, 0, 0);
  form->addRow(tr("&Text:"), text_);
  form->addRow(QString(), matching);
  form->addRow(tr("C&olour:"), colour_);
  form->addRow(QString(), wholeLine_);
  form->addRow(QString(), alert_);
  connect(text_, &QLineEdit::textChanged, this, &HighlightRuleEditor::Edited);
  for (QCheckBox* box : {regex_, matchCase_, wholeWords_, wholeLine_, alert_}) {
    connect(box, &QCheckBox::toggled, this, &HighlightRuleEditor::Edited);
  }
  connect(colour_, &QComboBox::currentIndexChanged, this, &HighlightRuleEditor::Edited);
}

void HighlightRuleEditor::Show(const THighlightRule& rule) {
  const QSignalBlocker blocker(this);
  text_->setText(rule.Pattern.Text);
  regex_->setChecked(rule.Pattern.Regex);
  matchCase_->setChecked(rule.Pattern.MatchCase);
  wholeWords_->setChecked(rule.Pattern.WholeWords);
  colour_->setCurrentIndex(static_cast<int>(rule.Colour));
  wholeLine_->setChecked(rule.WholeLine);
  alert_->setChecked(rule.Alert);
}

THighlightRule HighlightRuleEditor::Rule() const {
  return {{text_->text(), regex_->isChecked(), matchCase_->isChecked(), wholeWords_->isChecked()},
          kHighlightColours[colour_->currentIndex()],
          wholeLine_->isChecked(),
          alert_->isChecked()};
}
