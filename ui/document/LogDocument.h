#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <optional>

#include "LogFollow.h"
#include "LogStore.h"
#include "RunReader.h"
#include "RunText.h"
#include "TextEncoding.h"

class FileWork;
class PieceLoader;
class RunsSearch;
class TFileFollower;

// The open log: its store, the file it came from, the encoding chosen for it, and whatever
// changes the store (a load, taking in what a followed file gained, another encoding) or reads it
// off the GUI thread (Find in runs). It tells whoever shows it what changed by signals and never
// touches a widget, so it can be driven without any.
class LogDocument : public QObject {
  Q_OBJECT

 public:
  // What taking in a followed file's change did.
  enum class Growth {
    Unchanged,  // the file is as the store has it
    Appended,   // the store took in what the file gained at its end
    Gone,       // the file is not there; the store keeps it as it was
    Shrank,     // the file is shorter now: only a load from its start is right
    Changed,    // anything else: only a load from its start is right
  };
  struct Change {
    Growth What = Growth::Unchanged;
    int FirstChangedRow = 0;  // with Appended: the rows from this one on are new or show more
  };

  explicit LogDocument(QObject* parent = nullptr);
  ~LogDocument() override;
  LogDocument(const LogDocument&) = delete;
  LogDocument& operator=(const LogDocument&) = delete;

  const LogStore& Store() const { return store_; }
  // The file a load reads, and Reload reads again.
  QString FileName() const { return fileName_; }
  EncodingChoice Encoding() const { return encoding_; }
  // Shows the store in the encoding `choice` at once, without reading the file again; the
  // choice holds for the loads that follow.
  void SetEncoding(EncodingChoice choice);

  // Stops a load that runs and empties the store.
  void Clear();
  // Empties the store and starts loading the file `fileName` into it, in pieces: RowsLoaded after
  // each, then LoadFinished, or LoadFailed when the file cannot be read.
  void Load(const QString& fileName);
  // Stops a load that runs; the store keeps the pieces it has taken in.
  void CancelLoad();
  bool Loading() const;
  // How many bytes each piece of a load takes in; tests vary it. 0 is the loader's choice.
  void SetPieceBytes(size_t bytes);

  // Watches `fileName` for changes (FollowedFileChanged), or nothing for an empty name.
  void Follow(const QString& fileName);
  // Starts reading what the followed file has gained, on a thread of its own: GrowthRead tells
  // when TakeInGrowth can take it in. A file that has gained more than one piece is read on
  // piece by piece, each told by GrowthRead.
  void ReadGrowth();
  // Takes in what ReadGrowth read, when that is all that changed; reads no file.
  Change TakeInGrowth();
  // A read that ReadGrowth started is still out.
  bool ReadingGrowth() const;
  // A read that ReadRun or ExtendRun asked for is still out or waits.
  bool ReadingRun() const { return runs_->Busy(); }

  // Find in runs: the one search of the store's runs, which every change of the store stops first.
  RunsSearch& Search() const { return *search_; }
  // The count of the alert lines of the store's runs, which every change of the store stops too.
  RunsSearch& AlertsSearch() const { return *alertsSearch_; }

  // Hands the lines of the run that table row `row` shows to `show`: at once for a store in
  // memory, and for an indexed store once read from the file on a thread of their own (see
  // RunReader), unless the store changes or another run is asked for first. When the file is no
  // longer the one the store was made from, FileReplaced tells why; RunNotRead tells of any
  // other failure.
  void ReadRun(int row, RunReader::Show show);
  // Takes into `text`, which ReadRun gave for `row`, what the run has gained, and tells
  // `extended` whether it could; `text` must stay until then. See RunReader::Extend.
  void ExtendRun(RunText& text, int row, RunReader::Extended extended);

 signals:
  // The store is about to change: whatever reads it off the GUI thread has stopped.
  void StoreChanging();
  void Cleared();
  // A load took in a piece of the file, `bytesTaken` of `bytesTotal` so far: the rows from
  // `firstChangedRow` on are new or show more.
  void RowsLoaded(int firstChangedRow, qint64 bytesTaken, qint64 bytesTotal);
  // The load of a file above the in-memory limit has indexed `bytesTaken` of `bytesTotal`; its
  // rows come when it is done.
  void Indexing(qint64 bytesTaken, qint64 bytesTotal);
  // A load has finished; it took `milliseconds`.
  void LoadFinished(qint64 milliseconds);
  // The file could not be read; the store keeps what was taken in. `message` names the file and
  // the reason.
  void LoadFailed(const QString& message);
  // The store took in what the followed file gained in `milliseconds`: the rows from
  // `firstChangedRow` on are new or show more.
  void RowsChanged(qint64 milliseconds, int firstChangedRow);
  // The store's texts read in another encoding now.
  void EncodingChanged(EncodingChoice choice);
  // The followed file has changed on disk.
  void FollowedFileChanged();
  // What the followed file has gained has been read: TakeInGrowth takes it in.
  void GrowthRead();
  // A look at the file or a read of it has not come back for a while (false: a share whose
  // server stops answering), or all have come back after that (true).
  void FileAnswering(bool answering);
  // The lines of a run could not be read; `message` names the file and the reason.
  void RunNotRead(const QString& message);
  // The file of an indexed store has been replaced, shortened or rewritten, so that the lines
  // the store points to are no longer there: only a load shows what the file holds now.
  // `message` names the file and says so. Queued, so that whoever reads the store has finished.
  void FileReplaced(const QString& message);

 private:
  void StopReaders();
  void TellReplaced(const QString& message);
  void FinishLoad();
  void TakePiece(int firstChangedRow, qint64 bytesTaken, qint64 fileSize);
  void StartGrowthRead();
  void DropGrowthRead();
  void CountAnswering(bool answering);

  LogStore store_;
  QString fileName_;
  EncodingChoice encoding_ = EncodingChoice::Auto;
  TFileFollower* follower_;
  RunsSearch* search_;
  RunsSearch* alertsSearch_;
  PieceLoader* loader_;
  RunReader* runs_;
  FileWork* growthWork_;
  std::optional<GrowthPiece> growth_;  // read and not yet taken in
  bool readGrowthAgain_ = false;       // the file changed while a piece was read
  unsigned stores_ = 0;                // counts the stores made, so a piece read for another waits
  int notAnswering_ = 0;               // of the looks and reads
  QElapsedTimer loadTime_;
  bool replacedTold_ = false;                // FileReplaced was told of the store that is loaded
  std::optional<::Encoding> shownEncoding_;  // what the rows shown so far were shown in
};
