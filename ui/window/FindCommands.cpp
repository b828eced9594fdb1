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
  bar_->setObjectName(QStringLiteral("FindBar"));
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
  bars_ = new QVBoxLayout(central);
  bars_->setContentsMargins(0, 0, 0, 0);
  bars_->setSpacing(0);
  bars_->addWidget(window_.takeCentralWidget());
  bars_->addWidget(bar_);
  window_.setCentralWidget(central);
}

void FindCommands::AddBar(QWidget* bar) {
  bars_->addWidget(bar);
}

void FindCommands::CreateMenu(QMenu* nextMenu) {
  menu_ = new QMenu(tr("&Search"), &window_);
  window_.MainMenu1->insertMenu(nextMenu->menuAction(), menu_);
  menu_->addAction(tr("&Find..."), QKeySequence(Qt::CTRL | Qt::Key_F), this, [this] { OpenBar(); });
  // With the bar closed, stepping opens it first and then steps at once.
  const auto step = [this](TPaneFinder::TStep direction) {
    return [this, direction] {
      if (!bar_->isVisible()) OpenBar();
      finder_->Step(direction);
    };
  };
  menu_->addAction(tr("Find &Next"), QKeySequence(Qt::Key_F3), this,
                   step(TPaneFinder::TStep::Next));
  menu_->addAction(tr("Find &Previous"), QKeySequence(Qt::SHIFT | Qt::Key_F3), this,
                   step(TPaneFinder::TStep::Previous));
}

void FindCommands::OpenBar() {
  TTextPane* pane = window_.ScriptMemo->hasFocus() ? window_.ScriptMemo : window_.LogMemo;
  // Asked again from within the bar, Find keeps to the pane it searches.
  if (finder_->Pane() && bar_->isAncestorOf(window_.focusWidget())) pane = finder_->Pane();
  finder_->Open(*pane);
}

void FindCommands::FindFirstInLogPane(const TLinePattern& pattern) {
  bar_->SetPattern(pattern);
  window_.LogMemo->Select({});
  finder_->Open(*window_.LogMemo);
}

void FindCommands::RunShown(int /*row*/) {
  logLines_ = window_.ShownRun().Log();
  scriptLines_ = window_.ShownRun().Script();
  finder_->LinesChanged();
}

void FindCommands::PanesCleared() {
  logLines_ = scriptLines_ = LineList();
  finder_->LinesChanged();
}
