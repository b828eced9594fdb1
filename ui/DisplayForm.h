#pragma once

#include <QString>

#include "Form.h"
#include "LogStore.h"

class QAction;
class QActionGroup;
class QMenu;
class QMenuBar;
class TFileFollower;
class TFindBar;
class TMRUList;
class TStatusLine;
class TOpenDialog;
class TPaneFinder;
class TRunsView;
class TSplitterPane;
class TSplitterPanel;
class TTextPane;

// The program's name: the caption while no file is shown, and the start of it when one is.
extern const QString AppTitle;

// The main window: the runs of one log file in a table, and for the selected run its log lines
// and its script text in two panes. It owns the log store.
class TFormDisplay : public TForm {
  Q_OBJECT

 public:
  explicit TFormDisplay(QWidget* owner = nullptr);
  TFormDisplay(QWidget* owner, int dummy);
  ~TFormDisplay() override;

  void Dispatch(TMessage& message) override;
  void SetStartupFile(QString fileName);

  TSplitterPanel* SplitterPanel1;
  QMenuBar* MainMenu1;
  QMenu* File1;
  QAction* OpenMenuItem;
  QAction* N1;
  QAction* ExitMenuItem;
  TOpenDialog* OpenDialogLog;
  TSplitterPane* SplitterPane1;
  TSplitterPane* SplitterPane2;
  TSplitterPane* SplitterPane3;
  TRunsView* RunsView;
  TTextPane* LogMemo;
  TTextPane* ScriptMemo;
  TMRUList* MRUList1;
  QAction* N2;
  QAction* ReloadMenuItem;

  void RunsViewSelectItem(QObject* sender, int item, bool selected);
  void OpenMenuItemClick(QObject* sender);
  void ReloadMenuItemClick(QObject* sender);
  void ExitMenuItemClick(QObject* sender);
  void MRUList1Click(QObject* sender, const QString& fileName, int unused);
  void FormShow(QObject* sender);

  // Everyday additions. Unused, they leave the window's behaviour as it is without them.
  QMenu* EncodingMenu;
  QActionGroup* EncodingActions;
  QAction* FollowMenuItem;
  TStatusLine* StatusLine;
  TFileFollower* Follower;

  void SetEncodingChoice(EncodingChoice choice);
  void SetFollowing(bool following);
  // Opens the first of the files as "Open" does.
  void OpenDroppedFiles(const QStringList& fileNames);

  // Find in the panes: Ctrl+F opens the bar under the panes for the pane that has the focus (the
  // log pane when neither has); F3 and Shift+F3 go to the next and the previous match.
  QMenu* SearchMenu;
  QAction* FindMenuItem;
  QAction* FindNextMenuItem;
  QAction* FindPreviousMenuItem;
  TFindBar* FindBar;
  TPaneFinder* Finder;

  // What the last load produced, for the window's own parts and for tests.
  const LogStore& LogData() const { return Store; }
  QString CurrentFile() const { return CurrentFileName; }

 protected:
  void WMSelectRun(TMessage& message);
  void showEvent(QShowEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
#ifdef Q_OS_WIN
  bool nativeEvent(const QByteArray& eventType, void* message, qintptr* result) override;
#endif

 private:
  void CreateComponents();
  void CreateMenu();
  void CreatePanes();
  void BringToFront();

  void CreateComfortCommands();
  void WatchCurrentFile();
  void FollowedFileChanged();
  void ShowLoadFigures();

  void CreateFindCommands();
  void OpenFindBar();

  void ClearLogData();
  void LoadLogFile(const QString& fileName);
  void FillRunsView();
  void OpenLogFile(const QString& fileName);
  void ReloadLogFile();

  // Times the steps of a load one by one.
  friend class GuiBenchmark;

  LogStore Store;  // ScriptParts, RunLogs, Runs, RowToRun
  QString StartupFileName;
  QString CurrentFileName;

  EncodingChoice EncodingSetting = EncodingChoice::Auto;
  qint64 LastLoadMilliseconds = 0;
};
