#pragma once

#include <QObject>

#include "LineList.h"
#include "LinePattern.h"

class QAction;
class QMenu;
class QVBoxLayout;
class TFindBar;
class TFormDisplay;
class TPaneFinder;

// Search > Find: Ctrl+F opens the find bar under the panes for the pane that has the focus (the
// log pane when neither has); F3 and Shift+F3 go to the next and the previous match. Find
// searches what the panes show, whatever the table's selection is now.
class FindCommands : public QObject {
  Q_OBJECT

 public:
  // The Search menu goes before `nextMenu`.
  FindCommands(TFormDisplay& window, QMenu* nextMenu);

  // The panes show the run of table row `row` now.
  void RunShown(int row);
  // The panes were emptied.
  void PanesCleared();

  QMenu* Menu() const { return menu_; }
  TPaneFinder& Finder() const { return *finder_; }
  // Puts another bar under the panes, below the find bar.
  void AddBar(QWidget* bar);
  // Opens the find bar on the log pane with `pattern` and selects its first match there.
  void FindFirstInLogPane(const TLinePattern& pattern);

 private:
  void PutBarUnderThePanes();
  void CreateMenu(QMenu* nextMenu);
  void OpenBar();

  TFormDisplay& window_;
  TFindBar* bar_;
  QVBoxLayout* bars_ = nullptr;  // the panes and the bars under them
  QMenu* menu_ = nullptr;
  TPaneFinder* finder_;
  LineList logLines_;
  LineList scriptLines_;
};
