#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <optional>

#include "AddressSpace.h"
#include "FileCheck.h"
#include "FileReadError.h"
#include "TextBuffer.h"

namespace {

NonRegularFile KindOf(mode_t mode) {
  if (S_ISDIR(mode)) return NonRegularFile::Directory;
  if (S_ISFIFO(mode)) return NonRegularFile::Pipe;
  if (S_ISSOCK(mode)) return NonRegularFile::Socket;
  if (S_ISCHR(mode) || S_ISBLK(mode)) return NonRegularFile::Device;
  return NonRegularFile::Other;
}

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() {
    if (fd_ >= 0) close(fd_);
  }
  int Get() const { return fd_; }

 private:
  int fd_;
};

// Reads up to `count` bytes at `offset`; fewer only at the end of the file or on an error.
size_t ReadAt(int fd, uint64_t offset, char* into, size_t count) {
  size_t filled = 0;
  while (filled < count) {
    const ssize_t got =
        pread(fd, into + filled, count - filled, static_cast<off_t>(offset + filled));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    filled += static_cast<size_t>(got);
  }
  return filled;
}

FileIdentity IdentityOf(const struct stat& info) {
  return {static_cast<uint64_t>(info.st_dev), static_cast<uint64_t>(info.st_ino)};
}

// O_NONBLOCK: opening a FIFO must not wait for a writer before we can refuse it.
FileDescriptor OpenForReading(const std::filesystem::path& path) {
  return FileDescriptor(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
}

// What fstat tells of an open regular file; nothing for anything else or a failed open.
std::optional<struct stat> RegularFileInfo(const FileDescriptor& file) {
  struct stat info {};
  if (file.Get() < 0 || fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode)) {
    return std::nullopt;
  }
  return info;
}

}  // namespace

char* AddressSpace::Reserve(size_t bytes) {
  void* memory =
      mmap(nullptr, bytes, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  if (memory == MAP_FAILED) return nullptr;
  // Filling a 1 GiB buffer then costs hundreds of page faults instead of a quarter of a million.
  madvise(memory, bytes, MADV_HUGEPAGE);
  return static_cast<char*>(memory);
}

void AddressSpace::Release(char* start, size_t bytes) {
  munmap(start, bytes);
}

bool AddressSpace::MakeWritable(char* start, size_t bytes) {
  return mprotect(start, bytes, PROT_READ | PROT_WRITE) == 0;
}

void AddressSpace::MakeReadOnly(char* start, size_t bytes) {
  mprotect(start, bytes, PROT_READ);
}

size_t AddressSpace::PageSize() {
  static const auto page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
  return page;
}

size_t TextBuffer::PhysicalMemory() {
  const long pages = sysconf(_SC_PHYS_PAGES);
  const long pageSize = sysconf(_SC_PAGESIZE);
  return pages > 0 && pageSize > 0 ? static_cast<size_t>(pages) * static_cast<size_t>(pageSize)
                                   : static_cast<size_t>(-1);
}

TextBuffer TextBuffer::ReadFile(const std::filesystem::path& path, size_t most,
                                const ReadGoOn& goOn) {
  const FileDescriptor file = OpenForReading(path);
  if (file.Get() < 0) FailOnFile("Cannot open", path, std::strerror(errno));
  struct stat info {};
  if (fstat(file.Get(), &info) != 0) FailOnFile("Cannot open", path, std::strerror(errno));
  if (!S_ISREG(info.st_mode)) FailOnFile("Cannot open", path, RefusalReason(KindOf(info.st_mode)));
  fcntl(file.Get(), F_SETFL, fcntl(file.Get(), F_GETFL) & ~O_NONBLOCK);

  const auto fileSize = std::min(static_cast<size_t>(info.st_size), most);
  TextBuffer buffer = ForFile(path, fileSize);
  // The size is the one seen at open: a log that grows meanwhile is read up to that point, and
  // one that shrinks is read up to its new end.
  const auto read = [&](uint64_t offset, char* into, size_t count) {
    errno = 0;
    const size_t got = ReadAt(file.Get(), offset, into, count);
    if (got < count && errno != 0) FailOnFile("Cannot read", path, std::strerror(errno));
    return got;
  };
  buffer.Shrink(buffer.FillInPieces(fileSize, read, goOn));
  buffer.SealReadOnly();
  buffer.file_ = IdentityOf(info);
  return buffer;
}

bool WithSharedFile(const std::filesystem::path& path,
                    const std::function<void(const ProbedFile&, const FileReader&)>& use) {
  const FileDescriptor file = OpenForReading(path);
  const std::optional<struct stat> info = RegularFileInfo(file);
  if (!info) return false;
  use(ProbedFile{IdentityOf(*info), static_cast<uint64_t>(info->st_size)},
      [&file](uint64_t offset, char* into, size_t count) {
        return ReadAt(file.Get(), offset, into, count);
      });
  return true;
}
