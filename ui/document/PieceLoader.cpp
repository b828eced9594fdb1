#include "PieceLoader.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <string>
#include <thread>

#include "LogFollow.h"
#include "TextBuffer.h"

// One read of a file on a thread of its own. A read that is no longer wanted is left to end by
// itself, which a slow disk or a network share may take a while to do, and its text is dropped.
struct PieceLoader::Reader {
  unsigned number = 0;
  std::thread thread;
  TextBuffer text;
  std::string error;
};

PieceLoader::PieceLoader(LogStore& store, QObject* parent) : QObject(parent), store_(store) {
  nextPiece_.setSingleShot(true);
  // Zero: the next piece waits for the events that came meanwhile, and for nothing else.
  nextPiece_.setInterval(0);
  connect(&nextPiece_, &QTimer::timeout, this, &PieceLoader::TakeNextPiece);
}

PieceLoader::~PieceLoader() {
  for (const std::unique_ptr<Reader>& reader : readers_) reader->thread.join();
}

void PieceLoader::Start(const QString& fileName, EncodingChoice encoding) {
  Cancel();
  running_ = true;
  taken_ = 0;
  encoding_ = encoding;
  auto reader = std::make_unique<Reader>();
  reader->number = ++reads_;
  reader->thread = std::thread(
      [this, reader = reader.get(), path = std::filesystem::path(fileName.toStdU16String())] {
        try {
          reader->text = TextBuffer::ReadFile(path);
        } catch (const std::exception& error) {
          reader->error = error.what();
        }
        QMetaObject::invokeMethod(
            this, [this, read = reader->number] { TakeText(read); }, Qt::QueuedConnection);
      });
  readers_.push_back(std::move(reader));
}

void PieceLoader::Cancel() {
  nextPiece_.stop();
  // A read that goes on is no longer the load's.
  if (running_) ++reads_;
  running_ = false;
}

void PieceLoader::TakeText(unsigned read) {
  const auto at =
      std::ranges::find(readers_, read, [](const auto& reader) { return reader->number; });
  if (at == readers_.end()) return;
  const std::unique_ptr<Reader> reader = std::move(*at);
  readers_.erase(at);
  // It has posted its report, its last step.
  reader->thread.join();
  if (read != reads_ || !running_) return;
  if (!reader->error.empty()) {
    running_ = false;
    emit Failed(QString::fromStdString(reader->error));
    return;
  }
  BeginLoadInPieces(store_, std::move(reader->text), encoding_);
  emit TextRead(static_cast<qint64>(store_.Text.Size()));
  if (running_) TakeNextPiece();
}

size_t PieceLoader::NextPieceEnd() const {
  const size_t bytes = pieceBytes_ > 0 ? pieceBytes_ : taken_ == 0 ? kFirstPieceBytes : kPieceBytes;
  return std::min(store_.Text.Size(), taken_ + bytes);
}

void PieceLoader::TakeNextPiece() {
  taken_ = NextPieceEnd();
  const FollowUpdate update = TakeInPiece(store_, taken_);
  emit PieceTaken(static_cast<int>(update.FirstChangedRow), static_cast<qint64>(taken_));
  // Whoever heard of the piece may have started another load, or stopped this one.
  if (!running_) return;
  if (taken_ < store_.Text.Size()) {
    nextPiece_.start();
    return;
  }
  running_ = false;
  emit Finished();
}
