#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <condition_variable>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "LogStore.h"
#include "TextBuffer.h"
#include "TextEncoding.h"

// Loads a log file into a store without holding up the GUI thread: the file is read on a thread
// of its own, and the store takes the text in a piece at a time on the GUI thread, one piece per
// turn of the event loop, so that the rows found so far show while the rest is parsed and no
// event waits longer than a piece takes. The store after the last piece is the one a whole load
// makes (LogFollow.h: a load is following the file from its first byte).
//
// The text buffer is filled by one read of the whole file, which also tells the file apart for
// following it later, and a large file takes a while to read. So the thread first reads the
// file's first piece alone, and the store takes that in from a small buffer of its own: its rows
// show at once. When the whole text has come, the store takes it in from its start up to where
// it had got; the small buffer stays until the next load, since the panes may still show lines
// of it (the same bytes).
//
// The whole read goes a few MiB per read call (ReadPieceBytes()) into that one buffer, and a
// cancelled read stops after the piece it is reading. One reader at a time holds memory: a new
// reader shows its first piece at once but waits, on its own thread, for the readers before it to
// have stopped and let go of their text before it takes memory for its own. So reloads in quick
// succession never hold more than one file's text, and the GUI thread, even when the loader is
// destroyed, never waits for more than the piece a reader is reading.
//
// A file larger than InMemoryLimit() is indexed instead, on the thread and into a store of its
// own, which takes the place of the store's content when it is done; meanwhile the first piece's
// rows show and how far the index has got is reported a few times a second.
class PieceLoader : public QObject {
  Q_OBJECT

 public:
  // A piece of this size is parsed within a few milliseconds on a slow machine.
  static constexpr size_t kPieceBytes = size_t{2} << 20;
  // A turn of the event loop takes in pieces for about this long. Each turn gives the processor
  // away, which on a busy machine costs a while before it comes back, so a turn does more than
  // one piece; and the window hears of a turn's pieces once.
  static constexpr qint64 kTurnMilliseconds = 20;
  // The first piece is smaller, so that the first rows show at once.
  static constexpr size_t kFirstPieceBytes = size_t{256} << 10;
  static constexpr int kIndexProgressMilliseconds = 250;

  explicit PieceLoader(LogStore& store, QObject* parent = nullptr);
  // Stops the readers still going on, each after its piece, and waits for them.
  ~PieceLoader() override;
  PieceLoader(const PieceLoader&) = delete;
  PieceLoader& operator=(const PieceLoader&) = delete;

  // Cancels a load that runs, and starts loading `fileName` into the store, which is emptied when
  // the file has been read.
  void Start(const QString& fileName, EncodingChoice encoding);
  // Stops a load that runs: the store keeps the pieces it has taken in, and nothing more of this
  // load is reported.
  void Cancel();
  bool Running() const { return running_; }
  // The load that runs takes in what is still to come with the encoding choice `encoding`.
  void ChangeEncoding(EncodingChoice encoding);
  // How many bytes each piece takes in; tests vary it. 0 brings back the sizes above.
  void SetPieceBytes(size_t bytes) { pieceBytes_ = bytes; }
  // For tests: called on a reader's thread when it has taken memory for its text, with how many
  // readers hold memory now, and what it throws fails the load as the read would; an empty one
  // turns it off.
  static void SetMemoryTakenHook(std::function<void(int readersHoldingMemory)> hook);

 signals:
  // The store took in a piece of the text, `textTaken` bytes of the file's `fileSize` so far: the
  // rows from `firstChangedRow` on are new or show more.
  void PieceTaken(int firstChangedRow, qint64 textTaken, qint64 fileSize);
  // The index of a file above the limit has got `bytesTaken` of its `fileSize` bytes so far.
  void Indexing(qint64 bytesTaken, qint64 fileSize);
  void Finished();
  // The file could not be read: `message` names it and the reason.
  void Failed(const QString& message);

 private:
  struct Reader;

  Reader* Current(unsigned read) const;
  // On the reader's thread: waits until no other reader holds memory, and takes it; the readers
  // that hold memory now, or 0 when the reader is cancelled first.
  int TakeMemory(Reader& reader);
  // On the reader's thread: its text or index is done; a cancelled reader lets go of it.
  void HandOver(Reader& reader);
  // Under the memory lock: drops what the reader holds and lets the next reader take memory.
  void ReleaseMemory(Reader& reader);
  // Cancels every reader, and drops what those that are done hold.
  void CancelReaders();
  // On the reader's thread: reads the file whole, or indexes it.
  static void ReadWhole(Reader& reader, const std::filesystem::path& path, EncodingChoice encoding);
  // The store becomes the index the reader made.
  void TakeIndexed(LogStore indexed);
  // Tells how far the index of the load's file has got.
  void ReportIndexing();
  // The read numbered `read` has its first piece.
  void TakeFirstPiece(unsigned read);
  // The read numbered `read` has ended.
  void TakeText(unsigned read);
  // Takes in the text up to `end`.
  void TakeUpTo(size_t end);
  // Takes in the next pieces, for a turn of the event loop; one at a time when tests choose the
  // size of a piece, so that a load of a small file takes many turns too.
  void TakeNextPiece();
  // Tells of the pieces taken in this turn, and goes on in the next turn or finishes.
  void Report(size_t firstChangedRow);
  size_t NextPieceBytes() const;

  LogStore& store_;
  EncodingChoice encoding_ = EncodingChoice::Auto;
  bool running_ = false;
  bool wholeText_ = false;  // the store has the whole text, not only the first piece
  size_t taken_ = 0;        // bytes of the text the store has taken in
  qint64 fileSize_ = 0;
  TextBuffer firstPiece_;  // what the store took the first rows from, until the next load
  size_t pieceBytes_ = 0;
  QTimer nextPiece_;
  QTimer indexProgress_;
  unsigned reads_ = 0;  // the reads started; the last one is the load's while it runs
  std::vector<std::unique_ptr<Reader>> readers_;  // those still going on or not yet reported
  std::mutex memory_;
  std::condition_variable memoryFree_;
  int readersHoldingMemory_ = 0;  // under memory_
};
