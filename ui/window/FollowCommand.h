#pragma once

#include <QObject>
#include <QString>
#include <memory>
#include <optional>

class LogDocument;
class QAction;
class TFormDisplay;
class TStatusLine;

// Where a pane was scrolled to. A pane scrolled to its end stays at its end when the file
// changes, so that the new lines of a growing run come into view; any other pane keeps its place.
struct PaneScroll {
  int value;
  bool atEnd;
};

// File > Follow file: while it is on, the window shows what the shown file gains as it is
// written, keeping the selected row, and with the last row selected the new last row is
// selected, so a growing log can be watched live; with "Only runs with matches" on, the newest
// row with matches is selected once Find in runs has counted the new rows. What a file gained at
// its end is taken in alone: the table gains rows at its end and the panes lines at theirs. Any
// other change is read whole again, as Reload does. The choice is kept between runs of the program.
class FollowCommand : public QObject {
  Q_OBJECT

 public:
  FollowCommand(TFormDisplay& window, TStatusLine& statusLine);
  ~FollowCommand() override;

  QAction* MenuItem() const { return menuItem_; }
  void SetOn(bool on);
  // Turns following on without changing the choice kept between runs.
  void SetOnForThisWindow();
  // The window's current file is now `fileName`. It is followed at once only while the window
  // has not shown a file yet (a start-up file may not exist yet); otherwise once it has loaded,
  // so that after a failed open the file the window shows is still the one followed.
  void Watch(const QString& fileName);

 private:
  struct Places;
  // Where the panes go once the lines of `row` are in them.
  struct PaneRestore {
    int row;
    PaneScroll log;
    std::optional<PaneScroll> script;
  };

  // Follows `fileName` from now on, while the command is on.
  void Follow(const QString& fileName);
  void FileChanged();
  void TakeInGrowth();
  Places PlacesNow() const;
  // The file of an indexed store was replaced or rewritten (`why` says so): it is read whole
  // again, keeping the places, and the status line says why; a file that is gone is not.
  void ReadAgain(const QString& why);
  // Reads the followed file whole, and shows it if the window's current file is another one;
  // `notice`, unless empty, goes to the status line when it has loaded.
  void LoadWhole(const Places& before, const QString& notice);
  // A load has finished: following goes on, and a reload that following started shows the
  // places it had before.
  void Loaded();
  // The rows from `firstChangedRow` on are new or show more.
  void ShowAppended(int firstChangedRow, const Places& before);
  void ExtendPanes(int row, const Places& before);
  // The panes go back to these places once the lines of `row` are in them, which for an indexed
  // store comes when they have been read.
  void RestoreOnceShown(int row, PaneScroll log, std::optional<PaneScroll> script = std::nullopt);
  void RestoreIfShown();
  void KeepPlaces(const Places& before);
  void SelectLastRow(const Places& before);
  // Selects the newest row: the last row, or with the match filter on the newest row with
  // matches, once Find in runs has counted the rows that changed.
  void FollowNewestRow(const Places& before);
  // The match filter shows other rows: a newer row with matches is selected if the row that
  // FollowNewestRow left selected still is.
  void NewestMatchesShown();

  TFormDisplay& window_;
  LogDocument& document_;
  TStatusLine& statusLine_;
  QAction* menuItem_;
  QString fileName_;
  bool rememberChoice_ = true;
  // The row that FollowNewestRow selected with the match filter on, or -1; whether the log pane
  // stood at its end then.
  int newestMatchRow_ = -1;
  bool newestMatchLogAtEnd_ = false;
  // The newest run was followed when the file lost all its runs (a new file is written).
  bool newestAwaited_ = false;
  std::optional<PaneRestore> restore_;
  std::unique_ptr<Places> reloadPlaces_;  // before the reload following started, while it runs
  QString reloadNotice_;                  // for the status line when that reload has finished
};
