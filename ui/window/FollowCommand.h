#pragma once

#include <QObject>
#include <QString>

class QAction;
class TFileFollower;
class TFormDisplay;
class TStatusLine;

// File > Follow file: while it is on, the shown file is read again whenever it changes on disk,
// keeping the selected row, and with the last row selected the new last row is selected, so a
// growing log can be watched live. The choice is kept between runs of the program.
class FollowCommand : public QObject {
  Q_OBJECT

 public:
  FollowCommand(TFormDisplay& window, TStatusLine& statusLine);

  QAction* MenuItem() const { return menuItem_; }
  void SetOn(bool on);
  // Follows `fileName` from now on, while the command is on.
  void Watch(const QString& fileName);

 private:
  void FileChanged();
  void ReloadKeepingPlaces();

  TFormDisplay& window_;
  TStatusLine& statusLine_;
  QAction* menuItem_;
  TFileFollower* follower_;
  QString fileName_;
};
