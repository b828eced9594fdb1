#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <cstddef>
#include <memory>
#include <vector>

#include "TextEncoding.h"

struct LogStore;

// Loads a log file into a store without holding up the GUI thread: the file is read on a thread
// of its own, and the store takes the text in a piece at a time on the GUI thread, one piece per
// turn of the event loop, so that the rows found so far show while the rest is parsed and no
// event waits longer than a piece takes. The store after the last piece is the one a whole load
// makes (LogFollow.h: a load is following the file from its first byte).
class PieceLoader : public QObject {
  Q_OBJECT

 public:
  // A piece of this size is parsed and shown within a few milliseconds on a slow machine.
  static constexpr size_t kPieceBytes = size_t{4} << 20;
  // The first piece is smaller, so that the first rows show at once.
  static constexpr size_t kFirstPieceBytes = size_t{256} << 10;

  explicit PieceLoader(LogStore& store, QObject* parent = nullptr);
  // Waits for a read that is still going on.
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
  // How many bytes each piece takes in; tests vary it. 0 brings back the sizes above.
  void SetPieceBytes(size_t bytes) { pieceBytes_ = bytes; }

 signals:
  // The store holds the text of the file now, none of it taken in yet.
  void TextRead(qint64 bytes);
  // The store took in a piece of the text, `textTaken` bytes of it so far: the rows from
  // `firstChangedRow` on are new or show more.
  void PieceTaken(int firstChangedRow, qint64 textTaken);
  void Finished();
  // The file could not be read: `message` names it and the reason.
  void Failed(const QString& message);

 private:
  struct Reader;

  // The read numbered `read` has ended.
  void TakeText(unsigned read);
  void TakeNextPiece();
  size_t NextPieceEnd() const;

  LogStore& store_;
  EncodingChoice encoding_ = EncodingChoice::Auto;
  bool running_ = false;
  size_t taken_ = 0;  // bytes of the text the store has taken in
  size_t pieceBytes_ = 0;
  QTimer nextPiece_;
  unsigned reads_ = 0;  // the reads started; the last one is the load's while it runs
  std::vector<std::unique_ptr<Reader>> readers_;  // those still going on or not yet reported
};
