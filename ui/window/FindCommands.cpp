#include "FindCommands.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QVBoxLayout>

#include "DisplayForm.h"
#include "FindBar.h"
#include "PaneFinder.h"
#include "TextPane.h"

FindCommands::FindCommands(TFormDisplay& window, QMenu* nextMenu)
    : QObject(&window), window_(window), bar_(new TFindBar) {
  bar_->hide();
  PutBarUnderThePanes();
  const auto linesOf = [this](const TTextPane& pane) {
    return TShownLines{&pane == window_.ScriptMemo ? scriptLines_ : logLines_,
                       window_.LogData().TextEncoding};
  };
  finder_ = new TPaneFinder(*bar_, linesOf, this);
  CreateMenu(nextMenu);
}

void FindCommands::PutBarUnderThePanes() {
  // The splitter panel stays as it is, with the bar below it.
  auto* central = new QWidget;
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(window_.takeCentralWidget());
  layout->addWidget(bar_);
  window_.setCentralWidget(central);
}

void FindCommands::CreateMenu(QMenu* nextMenu) {
  auto* menu = new QMenu(tr("&Search"), &window_);
  window_.MainMenu1->insertMenu(nextMenu->menuAction(), menu);
  menu->addAction(tr("&Find..."), QKeySequence(Qt::CTRL | Qt::Key_F), this, [this] { OpenBar(); });
  // With the bar closed, stepping opens it first.
  const auto step = [this](TPaneFinder::TStep direction) {
    return [this, direction] {
      if (bar_->isVisible()) {
        finder_->Step(direction);
      } else {
        OpenBar();
      }
    };
  };
  menu->addAction(tr("Find &Next"), QKeySequence(Qt::Key_F3), this, step(TPaneFinder::TStep::Next));
  menu->addAction(tr("Find &Previous"), QKeySequence(Qt::SHIFT | Qt::Key_F3), this,
                  step(TPaneFinder::TStep::Previous));
}

void FindCommands::OpenBar() {
  TTextPane* pane = window_.ScriptMemo->hasFocus() ? window_.ScriptMemo : window_.LogMemo;
  // Asked again from within the bar, Find keeps to the pane it searches.
  if (finder_->Pane() && bar_->isAncestorOf(window_.focusWidget())) pane = finder_->Pane();
  finder_->Open(*pane);
}

void FindCommands::RunShown(int row) {
  const LogStore& store = window_.LogData();
  const RunsInfo& run = store.RunOfRow(static_cast<size_t>(row));
  logLines_ = store.LogOf(run);
  scriptLines_ = store.ScriptOf(run);
  finder_->LinesChanged();
}

void FindCommands::PanesCleared() {
  logLines_ = scriptLines_ = LineList();
  finder_->LinesChanged();
}
