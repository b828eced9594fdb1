#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "FileReadError.h"
#include "LogFileError.h"

// Which file a buffer was read from, as the system tells files apart: device and inode on Unix,
// volume serial number and file id on Windows (128 bits: ReFS needs more than 64). A file
// renamed over the log, or deleted and created again, is another file.
struct FileIdentity {
  uint64_t Volume = 0;
  uint64_t Index = 0;
  uint64_t IndexHigh = 0;
  bool operator==(const FileIdentity&) const = default;
};

// What a poll of a followed file compares: which file its name leads to now, and how long it is.
struct ProbedFile {
  FileIdentity Identity;
  uint64_t Size = 0;
  bool operator==(const ProbedFile&) const = default;
};

// Another program keeps a lock on the bytes we read (LockFileEx on Windows, a mandatory lock
// elsewhere), or has the file open without sharing it (a backup, an indexer, a virus scanner),
// for longer than a read waits. Nothing about the file has changed; a later read may get it.
class FileLockedError : public LogFileError {
 public:
  using LogFileError::LogFileError;
};

// A regular file opened for reading with every share mode, for one bounded step: a look at its
// size and identity, or the reads of one piece. Windows deletes a file only when its last handle
// is closed, and until then its name cannot be used again, so a writer that rotates its log
// would be refused for as long as we held it open; nothing here is kept open across steps.
//
// Another program's lock on the bytes, or its open that shares nothing, is waited out a few
// times (kLockWaits) before it counts: a backup or a virus scanner lets go within moments, and
// a writer that locks what it appends unlocks when it has written it.
class SharedFile {
 public:
  enum class State {
    Open,     // a regular file, ready to read
    Missing,  // nothing has that name, or its folder is missing
    Refused,  // not a regular file: a directory, device, pipe or socket
    Locked,   // another program does not let us open it for now
    Failed,   // the system refused for another reason
  };
  static constexpr int kLockWaitsMilliseconds[] = {10, 20, 40, 80, 160};

  // Opens the regular file `path`; anything else is refused before a byte is read, and a device
  // on Windows before it is opened at all. Never throws.
  static SharedFile Open(const std::filesystem::path& path);
  SharedFile(SharedFile&& other) noexcept;
  SharedFile& operator=(SharedFile&& other) = delete;
  SharedFile(const SharedFile&) = delete;
  SharedFile& operator=(const SharedFile&) = delete;
  ~SharedFile();

  State GetState() const { return state_; }
  bool IsOpen() const { return state_ == State::Open; }
  // Why it is not open, in words for the user: the refusal, or the system's own words.
  const std::string& Reason() const { return reason_; }
  // Which file it is and how long, as the open file tells; only when open.
  const ProbedFile& Facts() const { return facts_; }

  // Reads up to `count` bytes at `offset` and returns how many it read: fewer only at the end of
  // the file, or on an error that ReadError() then names. Throws FileLockedError when the bytes
  // stay locked by another program.
  size_t Read(uint64_t offset, char* into, size_t count);
  const std::string& ReadError() const { return readError_; }

 private:
  explicit SharedFile(std::filesystem::path path) : path_(std::move(path)) {}
  // One try of the system's open; the system's error code, 0 when it opened or refused it.
  int TryOpen();
  // One read of at most `count` bytes; the system's error code, 0 when it read (`got` may be 0
  // at the end of the file).
  int TryRead(uint64_t offset, char* into, size_t count, size_t& got);
  void Close();
  static bool IsLockError(int error);
  static bool IsMissingError(int error);
  static std::string SystemMessage(int error);

  std::filesystem::path path_;
  intptr_t handle_ = -1;  // a file descriptor, or a Windows HANDLE
  State state_ = State::Failed;
  std::string reason_;
  ProbedFile facts_;
  std::string readError_;
};

// For tests, which cannot make the system fail at will: `hook` hears of each open (`offset`
// nothing) and each read of a shared file, on the thread that does it, before the system is
// asked; a non-zero answer is taken as the system's error code for it. It may also block, as a
// share whose server stops answering does. An empty hook turns it off.
enum class FileStep { Open, Read };
using FileFaultHook = std::function<int(FileStep step, const std::filesystem::path& path)>;
void SetFileFaultHook(FileFaultHook hook);

// What a look at a file found: the file as it is now, or why there was none to look at.
struct FileLook {
  SharedFile::State State = SharedFile::State::Failed;
  ProbedFile File;  // only when State is Open
  bool operator==(const FileLook&) const = default;
};

// Opens `path`, tells what it found and closes it at once. Asking the open file, not the folder
// entry, matters: Windows updates the size in the folder entry lazily while the writer keeps its
// handle open, and a network share's cached attributes are only checked on open. Never throws.
FileLook LookAtFile(const std::filesystem::path& path);
// The regular file `path` as it is now; nothing when there is none to look at.
std::optional<ProbedFile> ProbeFile(const std::filesystem::path& path);
