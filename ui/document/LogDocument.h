#pragma once

#include <QObject>
#include <QString>

#include "LogStore.h"
#include "TextEncoding.h"

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

  // Empties the store.
  void Clear();
  // Empties the store and reads the file `fileName` into it. A file that cannot be read throws,
  // and the store keeps what was read.
  void Load(const QString& fileName);

  // Watches `fileName` for changes (FollowedFileChanged), or nothing for an empty name.
  void Follow(const QString& fileName);
  // Takes in what the followed file gained at its end, when that is all that changed.
  Change TakeInGrowth();

  // Find in runs: the one search of the store's runs, which every change of the store stops first.
  RunsSearch& Search() const { return *search_; }

 signals:
  // The store is about to change: whatever reads it off the GUI thread has stopped.
  void StoreChanging();
  void Cleared();
  // A load has finished; it took `milliseconds`.
  void LoadFinished(qint64 milliseconds);
  // The store took in what the followed file gained in `milliseconds`: the rows from
  // `firstChangedRow` on are new or show more.
  void RowsChanged(qint64 milliseconds, int firstChangedRow);
  // The store's texts read in another encoding now.
  void EncodingChanged(EncodingChoice choice);
  // The followed file has changed on disk.
  void FollowedFileChanged();

 private:
  void StopReaders();

  LogStore store_;
  QString fileName_;
  EncodingChoice encoding_ = EncodingChoice::Auto;
  TFileFollower* follower_;
  RunsSearch* search_;
};
