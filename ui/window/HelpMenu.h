#pragma once

#include <QMenu>
#include <QObject>
#include <QPointer>

class QMainWindow;

// The Help menu, last in the window's menu bar (also when a menu is added after it): About
// Message Log Display.
class HelpMenu : public QObject {
  Q_OBJECT

 public:
  explicit HelpMenu(QMainWindow& window);

  QMenu* Menu() const { return menu_.data(); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ShowAbout();

  QMainWindow& window_;
  // The menu bar goes with its menus before the window takes this along, and tells its filters.
  QPointer<QMenu> menu_;
};
