// Find in the panes: the bar under the panes and the commands that open it and step through the
// matches. Unused, they leave the window as it is without them.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QVBoxLayout>

#include "DisplayForm.h"
#include "FindBar.h"
#include "PaneFinder.h"
#include "RunsView.h"
#include "TextPane.h"

namespace {

// What the window shows for the run in table row `row`: its log lines, or its entry's script.
LineList RunLines(const LogStore& store, int row, bool script) {
  const RunsInfo& run =
      store.Runs.at(static_cast<size_t>(store.RowToRun.at(static_cast<size_t>(row))));
  return script ? store.ScriptParts.at(static_cast<size_t>(run.ScriptIndex))
                : store.RunLogs.at(static_cast<size_t>(run.LogIndex));
}

}  // namespace

void TFormDisplay::CreateFindCommands() {
  FindBar = new TFindBar;
  FindBar->hide();
  // The bar goes under the splitter panel, which stays as it is.
  auto* central = new QWidget;
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(takeCentralWidget());
  layout->addWidget(FindBar);
  setCentralWidget(central);

  const auto linesOf = [this](const TTextPane& pane) {
    const int row = RunsView->SelectedIndex();
    const bool shows = row >= 0 && pane.LineCount() > 0;
    return TShownLines{shows ? RunLines(Store, row, &pane == ScriptMemo) : LineList(),
                       Store.TextEncoding};
  };
  Finder = new TPaneFinder(*FindBar, linesOf, this);

  SearchMenu = new QMenu(tr("&Search"), this);
  MainMenu1->insertMenu(EncodingMenu->menuAction(), SearchMenu);
  FindMenuItem = SearchMenu->addAction(tr("&Find..."), QKeySequence(Qt::CTRL | Qt::Key_F), this,
                                       [this] { OpenFindBar(); });
  // With the bar closed, stepping opens it first.
  const auto step = [this](TPaneFinder::TStep direction) {
    return [this, direction] {
      if (FindBar->isVisible()) {
        Finder->Step(direction);
      } else {
        OpenFindBar();
      }
    };
  };
  FindNextMenuItem = SearchMenu->addAction(tr("Find &Next"), QKeySequence(Qt::Key_F3), this,
                                           step(TPaneFinder::TStep::Next));
  FindPreviousMenuItem =
      SearchMenu->addAction(tr("Find &Previous"), QKeySequence(Qt::SHIFT | Qt::Key_F3), this,
                            step(TPaneFinder::TStep::Previous));
}

void TFormDisplay::OpenFindBar() {
  TTextPane* pane = ScriptMemo->hasFocus() ? ScriptMemo : LogMemo;
  // Asked again from within the bar, Find keeps to the pane it searches.
  if (Finder->Pane() && FindBar->isAncestorOf(focusWidget())) pane = Finder->Pane();
  Finder->Open(*pane);
}
