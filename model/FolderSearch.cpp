#include "FolderSearch.h"

#include <algorithm>
#include <functional>
#include <new>
#include <system_error>
#include <type_traits>

#include "FileNamePattern.h"
#include "FileReadError.h"
#include "LogFileError.h"
#include "LogFileSource.h"
#include "LogStore.h"
#include "RunSearch.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "WindowsFileNames.h"
#endif

namespace {

std::string Utf8Name(const std::filesystem::path& path) {
  const std::u8string name = path.u8string();
  return {name.begin(), name.end()};
}

// A link to a folder may lead back up the tree, round and round, or to a folder that is searched
// anyway. mingw's libstdc++ takes a junction or a folder's symbolic link for the folder itself,
// so on Windows the entry's reparse tag tells: links, junctions and mount points stand for
// another name, a cloud file's placeholder is the folder itself. Wine shows a Unix symbolic link
// as a reparse point without a tag.
bool IsFolderLink(const std::filesystem::directory_entry& entry) {
#ifdef _WIN32
  WIN32_FIND_DATAW found;
  const HANDLE search = FindFirstFileW(Win32Name(entry.path()).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  FindClose(search);
  return (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
         (found.dwReserved0 == 0 || IsReparseTagNameSurrogate(found.dwReserved0));
#else
  std::error_code error;
  return entry.is_symlink(error);
#endif
}

// A link to a file is searched as the file it leads to; a link to a folder is not descended into.
template <typename Iterator>
std::vector<std::filesystem::path> FittingFiles(Iterator entry,
                                                const FolderSearchRequest& request) {
  std::vector<std::filesystem::path> files;
  std::error_code error;
  for (; entry != Iterator(); ++entry) {
    if (entry->is_directory(error)) {
      if constexpr (std::is_same_v<Iterator, std::filesystem::recursive_directory_iterator>) {
        if (IsFolderLink(*entry)) entry.disable_recursion_pending();
      }
      continue;
    }
    if (!FitsFileNamePattern(Utf8Name(entry->path().filename()), request.Pattern)) continue;
    files.push_back(entry->path().lexically_relative(request.Folder));
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::string Decoded(std::string_view bytes, Encoding encoding) {
  std::string text;
  AppendDecoded(text, bytes, encoding);
  return text;
}

std::vector<RunMatch> MatchingRows(const LogStore& store, const FolderSearchRequest& request,
                                   const std::function<bool()>& goOn) {
  const LineMatchers matchers = request.Matchers.Empty()
                                    ? LineMatchers::ForText(request.Text, request.MatchCase)
                                    : request.Matchers;
  const std::shared_ptr<const LineMatcher> matcher = matchers.For(store.TextEncoding);
  if (!matcher->CanMatch()) return {};
  const std::vector<size_t> counts = RowMatchCounts(store, *matcher, goOn);
  std::vector<RunMatch> rows;
  for (size_t row = 0; row < counts.size(); ++row) {
    if (counts[row] == 0) continue;
    const RunsInfo& run = store.RunOfRow(row);
    rows.push_back({row, Decoded(run.DateTime, store.TextEncoding),
                    Decoded(run.Script, store.TextEncoding), store.OutcomeOfRow(row), counts[row]});
  }
  return rows;
}

}  // namespace

std::vector<std::filesystem::path> FilesToSearch(const FolderSearchRequest& request) {
  std::error_code error;
  if (!std::filesystem::is_directory(request.Folder, error)) {
    FailOnFile("Cannot search", request.Folder,
               error ? error.message() : std::string("it is not a folder"));
  }
  try {
    const auto options = std::filesystem::directory_options::skip_permission_denied;
    if (request.Recursive) {
      return FittingFiles(std::filesystem::recursive_directory_iterator(request.Folder, options),
                          request);
    }
    return FittingFiles(std::filesystem::directory_iterator(request.Folder, options), request);
  } catch (const std::filesystem::filesystem_error& failure) {
    FailOnFile("Cannot search", request.Folder, failure.code().message());
  }
}

namespace {

std::function<void(const std::filesystem::path&)>& LoadedHook() {
  static std::function<void(const std::filesystem::path&)> hook;
  return hook;
}

std::function<void(SearchStep, const std::atomic<bool>&)>& StepHook() {
  static std::function<void(SearchStep, const std::atomic<bool>&)> hook;
  return hook;
}

bool GoesOn(SearchStep step, const std::atomic<bool>& stop) {
  if (StepHook()) StepHook()(step, stop);
  return !stop;
}

// What asks `stop` at `step`; nothing without a stop.
template <typename... Progress>
std::function<bool(Progress...)> GoOnAt(SearchStep step, const std::atomic<bool>* stop) {
  if (!stop) return {};
  return [step, stop](Progress...) { return GoesOn(step, *stop); };
}

// An indexed file that changes between its index and the search of its rows is loaded again
// this many times before it is passed over as changing too fast to search.
constexpr int kSearchAttempts = 3;

std::string ChangingReason(const std::filesystem::path& path) {
  return "Cannot search \"" + DisplayName(path) +
         "\": it kept changing while it was searched (replaced, shortened or rewritten)";
}

// Loads and searches the file once; a file that changes under its index throws
// FileChangedError.
void LoadAndSearch(FileMatches& result, const FolderSearchRequest& request,
                   const std::atomic<bool>* stop) {
  const std::filesystem::path path = request.Folder / result.File;
  LogStore store;
  LoadLogFile(store, path, request.Encoding, GoOnAt<uint64_t>(SearchStep::Load, stop));
  // A stopped load's store is of no use.
  if (stop && *stop) return;
  if (LoadedHook()) LoadedHook()(path);
  // An indexed store keeps only the text's last lines; its size as read is where they end.
  result.Bytes = store.Text.End();
  result.Runs = MatchingRows(store, request, GoOnAt<>(SearchStep::Rows, stop));
}

}  // namespace

void SetSearchLoadedHook(std::function<void(const std::filesystem::path&)> hook) {
  LoadedHook() = std::move(hook);
}

void SetSearchStepHook(std::function<void(SearchStep, const std::atomic<bool>&)> hook) {
  StepHook() = std::move(hook);
}

FileMatches SearchLogFile(const FolderSearchRequest& request, const std::filesystem::path& file,
                          const std::atomic<bool>* stop) {
  FileMatches result;
  result.File = file;
  const std::filesystem::path path = request.Folder / file;
  for (int attempt = 0; attempt < kSearchAttempts && !(stop && *stop); ++attempt) {
    try {
      LoadAndSearch(result, request, stop);
      result.Skipped.clear();
      return result;
    } catch (const FileChangedError&) {
      result.Skipped = ChangingReason(path);
    } catch (const LogFileError& error) {
      result.Skipped = error.what();
      break;
    } catch (const std::bad_alloc&) {
      result.Skipped = NoMemoryMessage(path);
      break;
    }
  }
  result.Bytes = 0;
  result.Runs.clear();
  return result;
}
