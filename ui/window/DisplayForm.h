#pragma once

#include <QElapsedTimer>
#include <QString>

#include "Form.h"
#include "LogStore.h"
#include "RunText.h"

class EncodingMenu;
class FollowCommand;
class HighlightRulesHolder;
class LogDocument;
class QAction;
class QMenu;
class QMenuBar;
class TMRUList;
class TOpenDialog;
class TRunsView;
class TStatusLine;
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
  // Turns "Follow file" on for this window only, leaving the choice kept between runs as it is
  // (the command line's --follow).
  void FollowForThisWindow();

  TSplitterPanel* SplitterPanel1 = nullptr;
  QMenuBar* MainMenu1 = nullptr;
  QMenu* File1 = nullptr;
  QAction* OpenMenuItem = nullptr;
  QAction* N1 = nullptr;
  QAction* ExitMenuItem = nullptr;
  TOpenDialog* OpenDialogLog = nullptr;
  TSplitterPane* SplitterPane1 = nullptr;
  TSplitterPane* SplitterPane2 = nullptr;
  TSplitterPane* SplitterPane3 = nullptr;
  TRunsView* RunsView = nullptr;
  TTextPane* LogMemo = nullptr;
  TTextPane* ScriptMemo = nullptr;
  TMRUList* MRUList1 = nullptr;
  QAction* N2 = nullptr;
  QAction* ReloadMenuItem = nullptr;

  void RunsViewSelectItem(QObject* sender, int item, bool selected);
  void OpenMenuItemClick(QObject* sender);
  void ReloadMenuItemClick(QObject* sender);
  void ExitMenuItemClick(QObject* sender);
  void MRUList1Click(QObject* sender, const QString& fileName, int unused);
  void FormShow(QObject* sender);

  // Makes `fileName` the current file and loads it: row 1 is selected as soon as the first rows
  // show, and the caption names the file once it has loaded.
  void OpenLogFile(const QString& fileName);
  // Loads the current file again from its start, and selects the same row position once it has
  // loaded.
  void ReloadLogFile();
  // Adds `fileName` to the recent files once the load that runs has finished well.
  void AddToRecentWhenLoaded(const QString& fileName);
  // The load that runs tells of a failure in the status line instead of a message box.
  void ShowFailureInStatusLine();
  // The run of table row `row` gained lines: the panes show them too, or show the row's run
  // anew when another run has folded into the row.
  void ShowRunGrown(int row);

  // The highlight rules in force, which both panes colour by; it tells when they change.
  HighlightRulesHolder& HighlightRules() const { return *highlightRules_; }
  // The open log, which the window's additions use beside the window.
  LogDocument& Document() const { return *document_; }
  // What the last load produced, for the window's own parts and for tests.
  const LogStore& LogData() const;
  // The lines of the run the panes show, and its row; -1 while they are read.
  const RunText& ShownRun() const { return shownRun_; }
  int ShownRow() const { return shownRow_; }
  QString CurrentFile() const { return CurrentFileName; }

 signals:
  // The file that Reload reads is now `fileName`.
  void CurrentFileChanged(const QString& fileName);
  // The store and the panes were emptied for a load.
  void LogCleared();
  // A load filled the store and the table; it took `milliseconds`.
  void LogLoaded(qint64 milliseconds);
  // The followed file grew, and the store and the table took in what it gained in
  // `milliseconds`: the rows from `firstChangedRow` on are new or show more.
  void LogAppended(qint64 milliseconds, int firstChangedRow);
  // The panes show the run of table row `row` now.
  void RunShown(int row);
  // A load's table took in the rows from `firstChangedRow` on, which are new or show more.
  void LoadedRowsShown(int firstChangedRow);

 protected:
  void WMSelectRun(TMessage& message);
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
#ifdef Q_OS_WIN
  bool nativeEvent(const QByteArray& eventType, void* message, qintptr* result) override;
#endif

 private:
  void CreateComponents();
  void CreateMenu();
  void CreatePanes();
  void BringToFront();

  void CreateAdditions();

  void ConnectDocument();
  void ShowEncoding();
  void ShowLoadedRows(int firstChangedRow, qint64 bytesTaken, qint64 bytesTotal);
  // The table takes in the rows a load has found since it last did.
  void FillRunsViewWithLoadedRows();
  void FinishLoad();
  void ShowRun(int row, RunText text);

  void ClearLogData();
  void LoadLogFile(const QString& fileName);
  // The table takes in the rows from `firstChangedRow` on, which are new or show more.
  void FillRunsView(int firstChangedRow);

  // The store (ScriptParts, RunLogs, Runs, RowToRun) and what loads and changes it.
  LogDocument* document_ = nullptr;
  QString StartupFileName;
  QString CurrentFileName;

  // What is left to do for the load that runs, as its rows come and once it has finished well.
  struct LoadEnd {
    bool selectFirstRow = false;  // Open: row 1 as soon as there is one
    int reselectRow = -1;         // Reload: this row position, unless another was selected
    QString caption;              // Open: the file the caption names
    QString recentFile;           // added to the recent files
    int requestedRow = 0;         // the last run-selection request for a row not there yet
    bool failureInStatusLine = false;
  };
  LoadEnd loadEnd_;
  // The first row that a load changed since the table last took its rows in, or -1; and since
  // when the table has not.
  int loadedRowsPending_ = -1;
  QElapsedTimer loadedRowsShown_;
  // What the panes show; for an indexed store, read from the file.
  RunText shownRun_;
  int shownRow_ = -1;

  // Additions of ours, each of which the window only creates and connects.
  TStatusLine* statusLine_ = nullptr;
  FollowCommand* followCommand_ = nullptr;
  EncodingMenu* encodingMenu_ = nullptr;
  HighlightRulesHolder* highlightRules_ = nullptr;
};
