#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <optional>

#include "LogStore.h"
#include "RunText.h"
#include "TextEncoding.h"

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
  // Takes in what the followed file gained at its end, when that is all that changed.
  Change TakeInGrowth();

  // Find in runs: the one search of the store's runs, which every change of the store stops first.
  RunsSearch& Search() const { return *search_; }

  // The lines of the run that table row `row` shows, to show them: for an indexed store read from
  // the file. When the file is no longer the one the store was made from, nothing is read and
  // FileReplaced tells why.
  RunText ReadRun(int row);
  // Takes in what the run of `row`, whose lines `text` holds, has gained; false when `text` must
  // be read anew (RunText::Extend), or FileReplaced has been told.
  bool ExtendRun(RunText& text, int row);

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
  // A look at the followed file has not come back for a while (false: a share whose server
  // stops answering), or has come back after that (true).
  void FollowedFileAnswering(bool answering);
  // The file of an indexed store has been replaced, shortened or rewritten, so that the lines
  // the store points to are no longer there: only a load shows what the file holds now.
  // `message` names the file and says so. Queued, so that whoever reads the store has finished.
  void FileReplaced(const QString& message);

 private:
  void StopReaders();
  void TellReplaced(const QString& message);
  void FinishLoad();
  void TakePiece(int firstChangedRow, qint64 bytesTaken, qint64 fileSize);

  LogStore store_;
  QString fileName_;
  EncodingChoice encoding_ = EncodingChoice::Auto;
  TFileFollower* follower_;
  RunsSearch* search_;
  PieceLoader* loader_;
  QElapsedTimer loadTime_;
  bool replacedTold_ = false;                // FileReplaced was told of the store that is loaded
  std::optional<::Encoding> shownEncoding_;  // what the rows shown so far were shown in
};
