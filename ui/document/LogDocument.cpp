#include "LogDocument.h"

#include <QElapsedTimer>
#include <QTimer>
#include <filesystem>
#include <optional>
#include <utility>

#include "FileFollower.h"
#include "FilePath.h"
#include "FileWork.h"
#include "PieceLoader.h"
#include "RunsSearch.h"

LogDocument::LogDocument(QObject* parent)
    : QObject(parent),
      follower_(new TFileFollower(this)),
      search_(new RunsSearch(this)),
      alertsSearch_(new RunsSearch(this)),
      loader_(new PieceLoader(store_, this)),
      runs_(new RunReader(store_, this)),
      growthWork_(new FileWork(this)) {
  connect(follower_, &TFileFollower::Changed, this, &LogDocument::FollowedFileChanged);
  connect(follower_, &TFileFollower::Answering, this, &LogDocument::CountAnswering);
  connect(growthWork_, &FileWork::Answering, this, &LogDocument::CountAnswering);
  connect(runs_, &RunReader::Answering, this, &LogDocument::CountAnswering);
  connect(runs_, &RunReader::Replaced, this, &LogDocument::TellReplaced);
  connect(runs_, &RunReader::Failed, this, &LogDocument::RunNotRead);
  connect(loader_, &PieceLoader::PieceTaken, this, &LogDocument::TakePiece);
  connect(loader_, &PieceLoader::Indexing, this, &LogDocument::Indexing);
  connect(loader_, &PieceLoader::Finished, this, &LogDocument::FinishLoad);
  connect(loader_, &PieceLoader::Failed, this, &LogDocument::LoadFailed);
  connect(search_, &RunsSearch::FileReplaced, this, &LogDocument::TellReplaced);
  connect(alertsSearch_, &RunsSearch::FileReplaced, this, &LogDocument::TellReplaced);
}

LogDocument::~LogDocument() {
  StopReaders();
}

void LogDocument::StopReaders() {
  search_->Forget();
  alertsSearch_->Forget();
  runs_->Forget();
}

void LogDocument::CountAnswering(bool answering) {
  const int before = notAnswering_;
  notAnswering_ += answering ? -1 : 1;
  if (before == 0 || notAnswering_ == 0) emit FileAnswering(notAnswering_ == 0);
}

void LogDocument::SetEncoding(EncodingChoice choice) {
  encoding_ = choice;
  StopReaders();
  emit StoreChanging();
  store_.TextEncoding = EncodingFor(store_, choice);
  if (Loading()) {
    // The pieces still to come are taken in with the new choice, as a whole load with it would.
    loader_->ChangeEncoding(choice);
    shownEncoding_ = store_.TextEncoding;
  }
  emit EncodingChanged(choice);
}

void LogDocument::Clear() {
  loader_->Cancel();
  StopReaders();
  emit StoreChanging();
  store_.Clear();
  ++stores_;
  DropGrowthRead();
  shownEncoding_.reset();
  replacedTold_ = false;
  emit Cleared();
}

void LogDocument::Load(const QString& fileName) {
  Clear();
  fileName_ = fileName;
  loadTime_.start();
  loader_->Start(fileName_, encoding_);
}

void LogDocument::CancelLoad() {
  loader_->Cancel();
}

bool LogDocument::Loading() const {
  return loader_->Running();
}

void LogDocument::SetPieceBytes(size_t bytes) {
  loader_->SetPieceBytes(bytes);
}

void LogDocument::TakePiece(int firstChangedRow, qint64 bytesTaken, qint64 fileSize) {
  // With Auto, a piece may show that the text is not what the pieces before looked like. Only
  // what was shown counts: the pieces are taken in again from the start once the whole text has
  // been read, and the first rows of a load have not been shown in anything yet.
  const std::optional<::Encoding> shown = std::exchange(shownEncoding_, store_.TextEncoding);
  if (shown && *shown != store_.TextEncoding) {
    StopReaders();
    emit StoreChanging();
    emit EncodingChanged(encoding_);
  }
  emit RowsLoaded(firstChangedRow, bytesTaken, fileSize);
}

void LogDocument::FinishLoad() {
  emit LoadFinished(loadTime_.elapsed());
  // What was written while the load ran lies beyond the store's end, and the follower, which
  // starts on the file as it is now, would never report it: it is taken in as a change would
  // be, once the window has begun to follow the loaded file.
  QMetaObject::invokeMethod(
      this,
      [this] {
        if (!Loading() && !follower_->Path().isEmpty()) emit FollowedFileChanged();
      },
      Qt::QueuedConnection);
}

void LogDocument::Follow(const QString& fileName) {
  // A read of the growth that is still out was asked for by the following that ends here: what
  // it brings would change the window after following was turned off.
  if (fileName != follower_->Path()) DropGrowthRead();
  // Changes count from what the store holds, not from the follower's first look, which may come
  // after the next write.
  std::optional<ProbedFile> known;
  const std::optional<FileIdentity> file = store_.Text.File();
  if (file && fileName == fileName_ && !Loading()) known = ProbedFile{*file, store_.Text.End()};
  follower_->Follow(fileName, known);
}

void LogDocument::ReadGrowth() {
  // Following starts on what a load has made once it has finished.
  if (Loading() || follower_->Path().isEmpty()) return;
  if (growthWork_->Busy() || growth_) {
    readGrowthAgain_ = true;
    return;
  }
  StartGrowthRead();
}

void LogDocument::DropGrowthRead() {
  growth_.reset();
  readGrowthAgain_ = false;
  growthWork_->Drop();
}

void LogDocument::StartGrowthRead() {
  // A store that cannot take in what the file gained only needs to know whether it is there.
  const size_t most = CanFollow(store_, encoding_) ? FollowPieceBytes(store_) : 0;
  const bool started =
      growthWork_->Run([check = store_.Text.Check(), path = PathOf(follower_->Path()),
                        most] { return ::ReadGrowth(check, path, most); },
                       [this, store = stores_](GrowthPiece piece) {
                         if (store != stores_ || Loading()) return;
                         growth_ = std::move(piece);
                         emit GrowthRead();
                       });
  // Without a thread to be had now, the follower's next report tries again.
  if (!started) readGrowthAgain_ = false;
}

LogDocument::Change LogDocument::TakeInGrowth() {
  std::optional<GrowthPiece> piece = std::exchange(growth_, std::nullopt);
  if (!piece || Loading()) return {Growth::Unchanged};
  if (piece->Missing) return {Growth::Gone};
  QElapsedTimer timer;
  timer.start();
  const FollowUpdate update = ::TakeInGrowth(store_, *piece, encoding_);
  const bool more = update.What == FollowUpdate::Kind::Appended && piece->More;
  if (std::exchange(readGrowthAgain_, false) || more) ReadGrowth();
  // A lock that another program holds for now gives way soon; no look would see the file
  // change again.
  if (update.Locked)
    QTimer::singleShot(TFileFollower::kPollMilliseconds, this, [this] { ReadGrowth(); });
  switch (update.What) {
    case FollowUpdate::Kind::Unchanged:
      return {Growth::Unchanged};
    case FollowUpdate::Kind::Appended: {
      const auto firstChangedRow = static_cast<int>(update.FirstChangedRow);
      emit RowsChanged(timer.elapsed(), firstChangedRow);
      return {Growth::Appended, firstChangedRow};
    }
    case FollowUpdate::Kind::NeedsFullLoad:
      break;
  }
  return {piece->Shorter ? Growth::Shrank : Growth::Changed};
}

bool LogDocument::ReadingGrowth() const {
  return growthWork_->Busy();
}

void LogDocument::ReadRun(int row, RunReader::Show show) {
  runs_->Read(row, std::move(show));
}

void LogDocument::ExtendRun(RunText& text, int row, RunReader::Extended extended) {
  runs_->Extend(text, row, std::move(extended));
}

void LogDocument::TellReplaced(const QString& message) {
  // Once per load: the load it asks for makes the store anew.
  if (std::exchange(replacedTold_, true)) return;
  QMetaObject::invokeMethod(
      this, [this, message] { emit FileReplaced(message); }, Qt::QueuedConnection);
}
