#pragma once

#include <QObject>
#include <QString>

#include "RunExport.h"

class QAction;
class RunSaver;
class SaveRunDialog;
class TFormDisplay;
class TStatusLine;

// File > Save run as... (Ctrl+Shift+S): writes the selected row's run to a text file to send to
// somebody (RunExport), in the log's own encoding or in UTF-8, off the GUI thread. The status
// line tells when it is saved; an error box names the file and says why it was not, as for
// the log itself, which is never written. The dialog starts in the folder saved to last.
class SaveRunCommand : public QObject {
  Q_OBJECT

 public:
  SaveRunCommand(TFormDisplay& window, TStatusLine& statusLine);

  QAction* MenuItem() const { return menuItem_; }
  SaveRunDialog* Dialog() const { return dialog_; }
  RunSaver* Saver() const { return saver_; }
  // The store is about to change: a save that reads it stops first.
  void StoreChanging();
  // Asks where to save the selected row's run.
  void AskWhereToSave();
  // Writes the run of table row `row` (from 0) to `fileName`.
  void Save(int row, const QString& fileName, SaveEncoding encoding);

 private:
  void ShowEnabled();
  QString SuggestedFile(int row) const;

  TFormDisplay& window_;
  TStatusLine& statusLine_;
  QAction* menuItem_;
  SaveRunDialog* dialog_;
  RunSaver* saver_;
  int askedRow_ = -1;  // the row whose run the dialog asks for, until the log is read again
};
