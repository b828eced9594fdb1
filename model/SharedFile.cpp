#include "SharedFile.h"

#include <chrono>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

// The parts that do not depend on the system; the system's calls live in SharedFilePosix.cpp
// and SharedFileWindows.cpp.

namespace {

std::mutex hookLock;
std::shared_ptr<const FileFaultHook> faultHook;  // under hookLock

int InjectedFault(FileStep step, const std::filesystem::path& path) {
  std::shared_ptr<const FileFaultHook> hook;
  {
    const std::lock_guard lock(hookLock);
    hook = faultHook;
  }
  return hook ? (*hook)(step, path) : 0;
}

// Tries `attempt`, which answers the system's error code, again after each wait while another
// program holds the file locked; answers the last code.
template <typename Attempt>
int RetriedWhileLocked(Attempt attempt, bool (*isLock)(int)) {
  int error = attempt();
  for (const int wait : SharedFile::kLockWaitsMilliseconds) {
    if (!isLock(error)) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(wait));
    error = attempt();
  }
  return error;
}

}  // namespace

void SetFileFaultHook(FileFaultHook hook) {
  const std::lock_guard lock(hookLock);
  faultHook = hook ? std::make_shared<const FileFaultHook>(std::move(hook)) : nullptr;
}

SharedFile SharedFile::Open(const std::filesystem::path& path) {
  SharedFile file(path);
  const int error = RetriedWhileLocked(
      [&file] {
        const int injected = InjectedFault(FileStep::Open, file.path_);
        return injected != 0 ? injected : file.TryOpen();
      },
      &IsLockError);
  if (error == 0) return file;
  file.Close();
  if (IsLockError(error)) {
    file.state_ = State::Locked;
    file.reason_ = kLockedReason;
  } else {
    file.state_ = IsMissingError(error) ? State::Missing : State::Failed;
    file.reason_ = SystemMessage(error);
  }
  return file;
}

SharedFile::SharedFile(SharedFile&& other) noexcept
    : path_(std::move(other.path_)),
      handle_(std::exchange(other.handle_, -1)),
      state_(other.state_),
      reason_(std::move(other.reason_)),
      facts_(other.facts_),
      readError_(std::move(other.readError_)) {}

SharedFile::~SharedFile() {
  Close();
}

size_t SharedFile::Read(uint64_t offset, char* into, size_t count) {
  readError_.clear();
  size_t filled = 0;
  while (filled < count) {
    size_t got = 0;
    const int error = RetriedWhileLocked(
        [&] {
          const int injected = InjectedFault(FileStep::Read, path_);
          return injected != 0 ? injected
                               : TryRead(offset + filled, into + filled, count - filled, got);
        },
        &IsLockError);
    if (IsLockError(error)) throw FileLockedError(FileMessage("Cannot read", path_, kLockedReason));
    if (error != 0) readError_ = SystemMessage(error);
    if (error != 0 || got == 0) break;
    filled += got;
  }
  return filled;
}

FileLook LookAtFile(const std::filesystem::path& path) {
  const SharedFile file = SharedFile::Open(path);
  FileLook look;
  look.State = file.GetState();
  if (file.IsOpen()) look.File = file.Facts();
  return look;
}

std::optional<ProbedFile> ProbeFile(const std::filesystem::path& path) {
  const FileLook look = LookAtFile(path);
  if (look.State != SharedFile::State::Open) return std::nullopt;
  return look.File;
}
