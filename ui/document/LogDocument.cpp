#include "LogDocument.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <filesystem>

#include "FileFollower.h"
#include "LogFollow.h"
#include "RunsSearch.h"

namespace {

std::filesystem::path PathOf(const QString& fileName) {
  return std::filesystem::path(fileName.toStdU16String());
}

}  // namespace

LogDocument::LogDocument(QObject* parent)
    : QObject(parent), follower_(new TFileFollower(this)), search_(new RunsSearch(this)) {
  connect(follower_, &TFileFollower::Changed, this, &LogDocument::FollowedFileChanged);
}

LogDocument::~LogDocument() {
  StopReaders();
}

void LogDocument::StopReaders() {
  search_->Cancel();
}

void LogDocument::SetEncoding(EncodingChoice choice) {
  encoding_ = choice;
  StopReaders();
  emit StoreChanging();
  store_.TextEncoding = ResolveEncoding(choice, store_.Text.View());
  emit EncodingChanged(choice);
}

void LogDocument::Clear() {
  StopReaders();
  emit StoreChanging();
  store_.Clear();
  emit Cleared();
}

void LogDocument::Load(const QString& fileName) {
  Clear();
  fileName_ = fileName;
  QElapsedTimer timer;
  timer.start();
  LoadLogFile(store_, PathOf(fileName_), encoding_);
  emit LoadFinished(timer.elapsed());
}

void LogDocument::Follow(const QString& fileName) {
  follower_->Follow(fileName);
}

LogDocument::Change LogDocument::TakeInGrowth() {
  const QFileInfo file(follower_->Path());
  if (!file.exists()) return {Growth::Gone};
  QElapsedTimer timer;
  timer.start();
  const FollowUpdate update = FollowLogFile(store_, PathOf(follower_->Path()), encoding_);
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
  return {file.size() < static_cast<qint64>(store_.Text.Size()) ? Growth::Shrank : Growth::Changed};
}
