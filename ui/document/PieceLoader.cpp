#include "PieceLoader.h"

#include <QElapsedTimer>
#include <algorithm>
#include <exception>
#include <filesystem>
#include <limits>
#include <mutex>
#include <new>
#include <optional>
#include <string>
#include <thread>

#include "FilePath.h"
#include "FileReadError.h"
#include "LogFileError.h"
#include "LogFollow.h"
#include "StoreLimit.h"

namespace {

// The first `bytes` bytes of the regular file `path`, or nothing. Anything else is left to the
// whole read, which refuses it with the reason.
std::optional<TextBuffer> FirstBytes(const std::filesystem::path& path, size_t bytes) {
  try {
    return TextBuffer::ReadFile(path, bytes);
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

std::function<void(int)>& MemoryTakenHook() {
  static std::function<void(int)> hook;
  return hook;
}

}  // namespace

// One read of a file on a thread of its own. A read that is no longer wanted stops after the
// piece it is reading, and its text is dropped.
struct PieceLoader::Reader {
  unsigned number = 0;
  std::thread thread;
  TextBuffer firstPiece;  // set before the first piece is reported, and not touched after
  uint64_t fileSize = 0;
  // Guarded by the loader's memory lock from the moment the thread hands them over.
  TextBuffer text;
  // A file above the limit is indexed on the thread, into a store of its own.
  std::atomic<bool> indexing = false;
  LogStore indexed;
  std::atomic<uint64_t> indexedBytes = 0;
  // Set under the memory lock, so that a reader waiting for memory hears of it.
  std::atomic<bool> cancelled = false;
  std::string error;
  bool holdsMemory = false;  // under the memory lock: the text or index is this reader's
  bool handedOver = false;   // under the memory lock: the thread has done with them
};

void PieceLoader::SetMemoryTakenHook(std::function<void(int readersHoldingMemory)> hook) {
  MemoryTakenHook() = std::move(hook);
}

PieceLoader::PieceLoader(LogStore& store, QObject* parent) : QObject(parent), store_(store) {
  nextPiece_.setSingleShot(true);
  // Zero: the next piece waits for the events that came meanwhile, and for nothing else.
  nextPiece_.setInterval(0);
  connect(&nextPiece_, &QTimer::timeout, this, &PieceLoader::TakeNextPiece);
  indexProgress_.setInterval(kIndexProgressMilliseconds);
  connect(&indexProgress_, &QTimer::timeout, this, &PieceLoader::ReportIndexing);
}

PieceLoader::~PieceLoader() {
  // Each stops after the piece it is reading, or while it waits for memory.
  CancelReaders();
  for (const std::unique_ptr<Reader>& reader : readers_) reader->thread.join();
}

void PieceLoader::Start(const QString& fileName, EncodingChoice encoding) {
  Cancel();
  running_ = true;
  wholeText_ = false;
  taken_ = 0;
  fileSize_ = 0;
  encoding_ = encoding;
  firstPiece_ = TextBuffer();
  auto reader = std::make_unique<Reader>();
  reader->number = ++reads_;
  const size_t firstBytes = pieceBytes_ > 0 ? pieceBytes_ : kFirstPieceBytes;
  reader->thread =
      std::thread([this, reader = reader.get(), firstBytes, encoding, path = PathOf(fileName)] {
        const unsigned read = reader->number;
        const std::optional<ProbedFile> probed = ProbeFile(path);
        reader->fileSize = probed ? probed->Size : 0;
        reader->indexing = probed && probed->Size > InMemoryLimit();
        if (auto bytes = FirstBytes(path, firstBytes)) {
          reader->firstPiece = std::move(*bytes);
          QMetaObject::invokeMethod(
              this, [this, read] { TakeFirstPiece(read); }, Qt::QueuedConnection);
        }
        if (const int holding = TakeMemory(*reader)) {
          try {
            if (MemoryTakenHook()) MemoryTakenHook()(holding);
            ReadWhole(*reader, path, encoding);
          } catch (const std::bad_alloc&) {
            reader->error = NoMemoryMessage(path);
          } catch (const std::exception& error) {
            reader->error = error.what();
          }
          HandOver(*reader);
        }
        QMetaObject::invokeMethod(
            this, [this, read] { TakeText(read); }, Qt::QueuedConnection);
      });
  indexProgress_.start();
  readers_.push_back(std::move(reader));
}

void PieceLoader::ReadWhole(Reader& reader, const std::filesystem::path& path,
                            EncodingChoice encoding) {
  if (!reader.indexing) {
    try {
      reader.text =
          TextBuffer::ReadFile(path, SIZE_MAX, [&reader](uint64_t) { return !reader.cancelled; });
      return;
    } catch (const FileTooLargeError&) {
      // The memory for the text cannot be had; an index needs little.
      reader.indexing = true;
    }
  }
  IndexLogFile(reader.indexed, path, encoding, [&reader](uint64_t bytesTaken) {
    reader.indexedBytes = bytesTaken;
    return !reader.cancelled;
  });
}

int PieceLoader::TakeMemory(Reader& reader) {
  std::unique_lock lock(memory_);
  memoryFree_.wait(lock, [&] { return readersHoldingMemory_ == 0 || reader.cancelled; });
  if (reader.cancelled) return 0;
  reader.holdsMemory = true;
  return ++readersHoldingMemory_;
}

void PieceLoader::HandOver(Reader& reader) {
  const std::lock_guard lock(memory_);
  reader.handedOver = true;
  if (reader.cancelled) ReleaseMemory(reader);
}

void PieceLoader::ReleaseMemory(Reader& reader) {
  if (!reader.holdsMemory) return;
  reader.text = TextBuffer();
  reader.indexed = LogStore();
  reader.holdsMemory = false;
  --readersHoldingMemory_;
  memoryFree_.notify_all();
}

void PieceLoader::CancelReaders() {
  const std::lock_guard lock(memory_);
  for (const std::unique_ptr<Reader>& reader : readers_) {
    reader->cancelled = true;
    if (reader->handedOver) ReleaseMemory(*reader);
  }
  memoryFree_.notify_all();
}

void PieceLoader::Cancel() {
  nextPiece_.stop();
  indexProgress_.stop();
  // A read that goes on is no longer the load's.
  if (running_) {
    ++reads_;
    CancelReaders();
  }
  running_ = false;
}

void PieceLoader::ChangeEncoding(EncodingChoice encoding) {
  encoding_ = encoding;
  store_.Checkpoint.Choice = encoding;
}

PieceLoader::Reader* PieceLoader::Current(unsigned read) const {
  if (read != reads_ || !running_) return nullptr;
  const auto at =
      std::ranges::find(readers_, read, [](const auto& reader) { return reader->number; });
  return at == readers_.end() ? nullptr : at->get();
}

void PieceLoader::TakeFirstPiece(unsigned read) {
  Reader* reader = Current(read);
  if (!reader) return;
  fileSize_ = static_cast<qint64>(reader->fileSize);
  BeginLoadInPieces(store_, std::move(reader->firstPiece), encoding_);
  if (running_) TakeUpTo(store_.Text.Size());
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
  // The text or index becomes the store's, and the next load's reader may take memory once
  // the store has let go of it.
  TextBuffer text = std::move(reader->text);
  LogStore indexed = std::move(reader->indexed);
  {
    const std::lock_guard lock(memory_);
    ReleaseMemory(*reader);
  }
  indexProgress_.stop();
  if (!reader->error.empty()) {
    // What the first piece showed stays, as what a load that fails part-way had read.
    running_ = false;
    emit Failed(QString::fromStdString(reader->error));
    return;
  }
  // The lines shown so far may point into the first piece's buffer: it stays.
  if (taken_ > 0) firstPiece_ = std::move(store_.Text);
  wholeText_ = true;
  if (reader->indexing) {
    TakeIndexed(std::move(indexed));
    return;
  }
  fileSize_ = static_cast<qint64>(text.Size());
  const size_t sofar = std::min(taken_, text.Size());
  BeginLoadInPieces(store_, std::move(text), encoding_);
  taken_ = 0;
  if (running_) TakeUpTo(sofar > 0 ? sofar : std::min(store_.Text.Size(), NextPieceBytes()));
}

void PieceLoader::TakeIndexed(LogStore indexed) {
  store_ = std::move(indexed);
  store_.Checkpoint.Choice = encoding_;
  store_.TextEncoding = EncodingFor(store_, encoding_);
  taken_ = store_.Text.End();
  // Every row may show more than the first piece had of it.
  Report(0);
}

void PieceLoader::ReportIndexing() {
  const Reader* reader = Current(reads_);
  if (!reader || !reader->indexing) return;
  emit Indexing(static_cast<qint64>(reader->indexedBytes.load()), fileSize_);
}

size_t PieceLoader::NextPieceBytes() const {
  if (pieceBytes_ > 0) return pieceBytes_;
  return taken_ == 0 ? kFirstPieceBytes : kPieceBytes;
}

void PieceLoader::TakeNextPiece() {
  QElapsedTimer turn;
  turn.start();
  size_t firstChangedRow = std::numeric_limits<size_t>::max();
  do {
    taken_ = std::min(store_.Text.Size(), taken_ + NextPieceBytes());
    firstChangedRow = std::min(firstChangedRow, TakeInPiece(store_, taken_).FirstChangedRow);
  } while (pieceBytes_ == 0 && taken_ < store_.Text.Size() && turn.elapsed() < kTurnMilliseconds);
  Report(firstChangedRow);
}

void PieceLoader::TakeUpTo(size_t end) {
  taken_ = end;
  Report(TakeInPiece(store_, taken_).FirstChangedRow);
}

void PieceLoader::Report(size_t firstChangedRow) {
  emit PieceTaken(static_cast<int>(firstChangedRow), static_cast<qint64>(taken_), fileSize_);
  // Whoever heard of the piece may have started another load, or stopped this one.
  if (!running_ || !wholeText_) return;
  if (taken_ < store_.Text.End()) {
    nextPiece_.start();
    return;
  }
  running_ = false;
  emit Finished();
}
