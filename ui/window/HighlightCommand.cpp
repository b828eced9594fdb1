#include "HighlightCommand.h"

#include <QMenu>

#include "DisplayForm.h"
#include "FindCommands.h"
#include "HighlightRulesDialog.h"
#include "HighlightRulesHolder.h"
#include "PaneFinder.h"
#include "PaneHitMarks.h"
#include "TextPane.h"

HighlightCommand::HighlightCommand(TFormDisplay& window, HighlightRulesHolder& rules,
                                   FindCommands& find)
    : QObject(&window),
      window_(window),
      rules_(rules),
      logMarks_(new PaneHitMarks(*window.LogMemo)),
      scriptMarks_(new PaneHitMarks(*window.ScriptMemo)) {
  find.Menu()->addSeparator();
  find.Menu()->addAction(tr("Highlight rules..."), this, &HighlightCommand::EditRules);
  connect(&rules_, &HighlightRulesHolder::RulesChanged, this, &HighlightCommand::ApplyRules);
  connect(&find.Finder(), &TPaneFinder::MatchesCounted, this,
          [this](TTextPane* pane, const LineList& lines, const std::vector<size_t>& offsets) {
            PaneHitMarks& marks = pane == window_.ScriptMemo ? *scriptMarks_ : *logMarks_;
            marks.ShowFindMatches(lines, offsets);
          });
  ApplyRules();
}

void HighlightCommand::ApplyRules() {
  for (TTextPane* pane : {window_.LogMemo, window_.ScriptMemo}) {
    pane->SetHighlighter(rules_.Highlighter());
  }
  logMarks_->SetHighlighter(rules_.Highlighter());
  scriptMarks_->SetHighlighter(rules_.Highlighter());
}

void HighlightCommand::EditRules() {
  auto* dialog = new HighlightRulesDialog(rules_.Rules(), &window_);
  dialog->setObjectName(QStringLiteral("HighlightRulesDialog"));
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  connect(dialog, &QDialog::accepted, this, [this, dialog] { rules_.SetRules(dialog->Rules()); });
  dialog->open();
}
