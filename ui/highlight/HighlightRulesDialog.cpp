#include "HighlightRulesDialog.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <functional>

#include "HighlightRuleEditor.h"
#include "HighlightRulesJson.h"
#include "LineHighlighter.h"

namespace {

const QString kJsonFilter = QStringLiteral("Highlight rules (*.json)");

QString ColouredSpan(QStringView text, const THighlightRule& rule) {
  const THighlightShades shades = ShadesOf(rule.Colour);
  return QStringLiteral("<span style=\"color:#%1; background-color:#%2\">%3</span>")
      .arg(shades.Text, 6, 16, QLatin1Char('0'))
      .arg(shades.Background, 6, 16, QLatin1Char('0'))
      .arg(text.toString().toHtmlEscaped());
}

// `line` as the panes would colour it, as rich text.
QString PreviewText(const LineHighlighter& highlighter, const QString& line) {
  const std::optional<TLineHighlight> highlight = highlighter.Highlight(line);
  if (!highlight) return line.toHtmlEscaped();
  const THighlightRule& rule = highlighter.Rules()[highlight->Rule];
  QString html;
  int at = 0;
  for (const auto& [start, length] : highlight->Parts) {
    html += QStringView(line).mid(at, start - at).toString().toHtmlEscaped();
    html += ColouredSpan(QStringView(line).mid(start, length), rule);
    at = start + length;
  }
  return html + QStringView(line).mid(at).toString().toHtmlEscaped();
}

}  // namespace

HighlightRulesDialog::HighlightRulesDialog(const THighlightRules& rules, QWidget* parent)
    : QDialog(parent),
      list_(new QListWidget),
      editor_(new HighlightRuleEditor),
      previewLine_(new QLineEdit(tr("12:00:01 Warning: pump A timeout, run aborted"))),
      preview_(new QLabel),
      problem_(new QLabel) {
  setWindowTitle(tr("Highlight Rules"));
  list_->setObjectName(QStringLiteral("HighlightRulesList"));
  previewLine_->setObjectName(QStringLiteral("PreviewLine"));
  preview_->setObjectName(QStringLiteral("Preview"));
  preview_->setTextFormat(Qt::RichText);
  problem_->setObjectName(QStringLiteral("HighlightRulesProblem"));
  problem_->setWordWrap(true);
  problem_->setStyleSheet(QStringLiteral("color: #b71c1c"));
  auto* explanation = new QLabel(
      tr("The first rule that matches a line colours it, in both panes. Tick a rule to use it."));
  explanation->setWordWrap(true);
  auto* rulesRow = new QHBoxLayout;
  rulesRow->addWidget(list_);
  rulesRow->addWidget(CreateListButtons());
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &HighlightRulesDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &HighlightRulesDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(explanation);
  layout->addLayout(rulesRow);
  layout->addWidget(editor_);
  layout->addWidget(new QLabel(tr("Try the rules on a line:")));
  layout->addWidget(previewLine_);
  layout->addWidget(preview_);
  layout->addWidget(problem_);
  layout->addWidget(CreateFileButtons());
  layout->addWidget(buttons);
  connect(list_, &QListWidget::currentRowChanged, this, &HighlightRulesDialog::ShowRule);
  connect(list_, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
    rules_[list_->row(item)].Enabled = item->checkState() == Qt::Checked;
    RefreshPreview();
  });
  connect(editor_, &HighlightRuleEditor::Edited, this, &HighlightRulesDialog::TakeEdit);
  connect(previewLine_, &QLineEdit::textChanged, this, &HighlightRulesDialog::RefreshPreview);
  SetRules(rules);
  resize(560, 520);
}

QWidget* HighlightRulesDialog::CreateListButtons() {
  auto* column = new QWidget;
  auto* layout = new QVBoxLayout(column);
  layout->setContentsMargins(0, 0, 0, 0);
  const auto add = [this, layout](const QString& text, const std::function<void()>& action) {
    auto* button = new QPushButton(text);
    connect(button, &QPushButton::clicked, this, action);
    layout->addWidget(button);
  };
  add(tr("A&dd"), [this] { Add(); });
  add(tr("&Remove"), [this] { Remove(); });
  add(tr("&Up"), [this] { Move(-1); });
  add(tr("Do&wn"), [this] { Move(1); });
  layout->addStretch();
  return column;
}

QWidget* HighlightRulesDialog::CreateFileButtons() {
  auto* row = new QDialogButtonBox;
  QPushButton* import = row->addButton(tr("&Import..."), QDialogButtonBox::ActionRole);
  QPushButton* exportButton = row->addButton(tr("&Export..."), QDialogButtonBox::ActionRole);
  QPushButton* defaults = row->addButton(QDialogButtonBox::RestoreDefaults);
  connect(import, &QPushButton::clicked, this, [this] {
    const QString path =
        QFileDialog::getOpenFileName(this, tr("Import Highlight Rules"), QString(), kJsonFilter);
    if (!path.isEmpty()) ImportFrom(path);
  });
  connect(exportButton, &QPushButton::clicked, this, [this] {
    const QString path = QFileDialog::getSaveFileName(
        this, tr("Export Highlight Rules"), QStringLiteral("highlight-rules.json"), kJsonFilter);
    if (!path.isEmpty()) ExportTo(path);
  });
  connect(defaults, &QPushButton::clicked, this, [this] { SetRules(DefaultHighlightRules()); });
  return row;
}

void HighlightRulesDialog::SetRules(const THighlightRules& rules) {
  rules_ = rules;
  const QSignalBlocker blocker(list_);
  list_->clear();
  for (size_t row = 0; row < rules_.size(); ++row) {
    list_->addItem(QString());
    RefreshItem(static_cast<int>(row));
  }
  list_->setCurrentRow(rules_.empty() ? -1 : 0);
  ShowRule(list_->currentRow());
  RefreshPreview();
}

void HighlightRulesDialog::ShowRule(int row) {
  editor_->setEnabled(row >= 0);
  if (row >= 0) editor_->Show(rules_[row]);
}

void HighlightRulesDialog::TakeEdit() {
  const int row = list_->currentRow();
  if (row < 0) return;
  const bool enabled = rules_[row].Enabled;
  rules_[row] = editor_->Rule();
  rules_[row].Enabled = enabled;
  RefreshItem(row);
  RefreshPreview();
}

void HighlightRulesDialog::Add() {
  // A new rule starts as an alert-free match-only rule, so that trying one out is not loud.
  THighlightRule rule;
  rule.Colour = THighlightColour::Blue;
  rule.WholeLine = false;
  const int row = list_->currentRow() + 1;
  rules_.insert(rules_.begin() + row, rule);
  {
    const QSignalBlocker blocker(list_);
    list_->insertItem(row, QString());
    RefreshItem(row);
  }
  list_->setCurrentRow(row);
  RefreshPreview();
}

void HighlightRulesDialog::Remove() {
  const int row = list_->currentRow();
  if (row < 0) return;
  rules_.erase(rules_.begin() + row);
  delete list_->takeItem(row);
  ShowRule(list_->currentRow());
  RefreshPreview();
}

void HighlightRulesDialog::Move(int by) {
  const int row = list_->currentRow();
  const int to = row + by;
  if (row < 0 || to < 0 || to >= static_cast<int>(rules_.size())) return;
  std::swap(rules_[row], rules_[to]);
  RefreshItem(row);
  RefreshItem(to);
  list_->setCurrentRow(to);
  RefreshPreview();
}

void HighlightRulesDialog::RefreshItem(int row) {
  const THighlightRule& rule = rules_[row];
  const THighlightShades shades = ShadesOf(rule.Colour);
  QListWidgetItem* item = list_->item(row);
  const QSignalBlocker blocker(list_);
  item->setText(rule.Pattern.Text.isEmpty() ? tr("(no text)") : rule.Pattern.Text);
  item->setForeground(QColor::fromRgb(shades.Text));
  item->setBackground(QColor::fromRgb(shades.Background));
  item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
  item->setCheckState(rule.Enabled ? Qt::Checked : Qt::Unchecked);
}

void HighlightRulesDialog::RefreshPreview() {
  const LineHighlighter highlighter(rules_);
  preview_->setText(PreviewText(highlighter, previewLine_->text()));
  ShowProblem(highlighter.Problem());
}

void HighlightRulesDialog::ShowProblem(const QString& problem) {
  problem_->setText(problem);
  problem_->setVisible(!problem.isEmpty());
}

void HighlightRulesDialog::ImportFrom(const QString& path) {
  try {
    SetRules(ReadHighlightRulesFile(path));
  } catch (const HighlightRulesError& error) {
    ShowProblem(QString::fromStdString(error.what()));
  }
}

void HighlightRulesDialog::ExportTo(const QString& path) {
  try {
    WriteHighlightRulesFile(path, rules_);
  } catch (const HighlightRulesError& error) {
    ShowProblem(QString::fromStdString(error.what()));
  }
}

void HighlightRulesDialog::accept() {
  const QString problem = LineHighlighter(rules_).Problem();
  ShowProblem(problem);
  if (problem.isEmpty()) QDialog::accept();
}
