#include "LogsSearch.h"

#include <exception>
#include <system_error>

namespace {

qint64 TotalSize(const FolderSearchRequest& request,
                 const std::vector<std::filesystem::path>& files) {
  qint64 total = 0;
  for (const std::filesystem::path& file : files) {
    std::error_code error;
    const auto size = std::filesystem::file_size(request.Folder / file, error);
    if (!error) total += static_cast<qint64>(size);
  }
  return total;
}

}  // namespace

LogsSearch::LogsSearch(QObject* parent) : QObject(parent) {}

LogsSearch::~LogsSearch() {
  Cancel();
}

void LogsSearch::Start(FolderSearchRequest request) {
  Cancel();
  cancelled_ = false;
  thread_ = std::thread([this, request = std::move(request), generation = generation_] {
    Search(request, generation);
  });
}

void LogsSearch::Cancel() {
  cancelled_ = true;
  // Whoever waits for the stop wakes (a test holding the search, SetSearchStepHook).
  cancelled_.notify_all();
  // The search of a file stops within a piece of its read, parse, index or row search.
  if (thread_.joinable()) thread_.join();
  ++generation_;
}

void LogsSearch::Search(const FolderSearchRequest& request, unsigned generation) {
  // Nothing thrown may leave the thread: it would end the program.
  try {
    SearchFiles(request, generation);
  } catch (const std::exception& error) {
    Fail(QString::fromUtf8(error.what()), generation);
  } catch (...) {
    Fail(QStringLiteral("The search failed for a reason it cannot name"), generation);
  }
}

void LogsSearch::SearchFiles(const FolderSearchRequest& request, unsigned generation) {
  const std::vector<std::filesystem::path> files = FilesToSearch(request);
  const qint64 bytes = TotalSize(request, files);
  Post([this, count = static_cast<int>(files.size()), bytes] { emit Listed(count, bytes); },
       generation);
  for (const std::filesystem::path& file : files) {
    if (cancelled_) return;
    FileMatches found = SearchLogFile(request, file, &cancelled_);
    if (cancelled_) return;
    Post([this, found = std::move(found)] { emit FileDone(found); }, generation);
  }
  Post(
      [this] {
        thread_.join();
        emit Finished();
      },
      generation);
}

void LogsSearch::Fail(const QString& reason, unsigned generation) {
  Post(
      [this, reason] {
        thread_.join();
        emit Failed(reason);
      },
      generation);
}

template <typename Deliver>
void LogsSearch::Post(Deliver deliver, unsigned generation) {
  QMetaObject::invokeMethod(
      this,
      [this, deliver = std::move(deliver), generation] {
        if (generation != generation_) return;
        deliver();
      },
      Qt::QueuedConnection);
}
