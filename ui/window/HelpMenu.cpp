#include "HelpMenu.h"

#include <QEvent>
#include <QMainWindow>
#include <QMenuBar>

#include "AboutBox.h"

HelpMenu::HelpMenu(QMainWindow& window)
    : QObject(&window), window_(window), menu_(window.menuBar()->addMenu(tr("&Help"))) {
  menu_->setObjectName(QStringLiteral("HelpMenu"));
  QAction* about = menu_->addAction(tr("&About Message Log Display"), this, &HelpMenu::ShowAbout);
  about->setObjectName(QStringLiteral("AboutAction"));
  about->setMenuRole(QAction::AboutRole);
  window.menuBar()->installEventFilter(this);
}

// Help goes last, where users look for it, whichever of the window's parts adds a menu later.
bool HelpMenu::eventFilter(QObject* watched, QEvent* event) {
  auto* bar = qobject_cast<QMenuBar*>(watched);
  if (event->type() != QEvent::ActionAdded || bar == nullptr || menu_.isNull()) {
    return QObject::eventFilter(watched, event);
  }
  QAction* help = menu_->menuAction();
  if (bar->actions().last() != help) {
    bar->removeAction(help);
    bar->addAction(help);
  }
  return QObject::eventFilter(watched, event);
}

// Not modal: the box may stay open beside the log, and a second About shows the same box.
void HelpMenu::ShowAbout() {
  auto* box = window_.findChild<AboutBox*>(QString(), Qt::FindDirectChildrenOnly);
  if (box == nullptr) {
    box = new AboutBox(&window_);
    box->setAttribute(Qt::WA_DeleteOnClose);
  }
  box->show();
  box->raise();
  box->activateWindow();
}
