#pragma once

#include <QObject>
#include <QString>

class QAction;
class TFileFollower;
class TFormDisplay;
class TStatusLine;
struct FollowUpdate;

// File > Follow file: while it is on, the window shows what the shown file gains as it is
// written, keeping the selected row, and with the last row selected the new last row is
// selected, so a growing log can be watched live. What a file gained at its end is taken in
// alone: the table gains rows at its end and the panes lines at theirs. Any other change is read
// whole again, as Reload does. The choice is kept between runs of the program.
class FollowCommand : public QObject {
  Q_OBJECT

 public:
  FollowCommand(TFormDisplay& window, TStatusLine& statusLine);

  QAction* MenuItem() const { return menuItem_; }
  void SetOn(bool on);
  // Turns following on without changing the choice kept between runs.
  void SetOnForThisWindow();
  // Follows `fileName` from now on, while the command is on.
  void Watch(const QString& fileName);

 private:
  struct Places;

  void FileChanged();
  void ShowAppended(const FollowUpdate& update, const Places& before, qint64 milliseconds);
  void RefillTable(const Places& before);
  void ExtendPanes(int row, const Places& before);
  void ReloadKeepingPlaces(const Places& before);
  void SelectLastRow(const Places& before);

  TFormDisplay& window_;
  TStatusLine& statusLine_;
  QAction* menuItem_;
  TFileFollower* follower_;
  QString fileName_;
  bool rememberChoice_ = true;
};
