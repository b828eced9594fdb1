#pragma once

#include <QObject>

class QMainWindow;
class QMenu;

// The Help menu, last in the window's menu bar (also when a menu is added after it): About
// Message Log Display.
class HelpMenu : public QObject {
  Q_OBJECT

 public:
  explicit HelpMenu(QMainWindow& window);

  QMenu* Menu() const { return menu_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ShowAbout();

  QMainWindow& window_;
  QMenu* menu_;
};
