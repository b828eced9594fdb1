#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>

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

}  // namespace

TextBuffer::TextBuffer(size_t capacity) : size_(capacity), capacity_(capacity) {
  if (capacity == 0) return;
  void* memory =
      mmap(nullptr, capacity, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (memory == MAP_FAILED) throw std::bad_alloc();
  madvise(memory, capacity, MADV_HUGEPAGE);
  data_ = static_cast<char*>(memory);
}

void TextBuffer::Release() {
  if (data_) munmap(data_, capacity_);
  data_ = nullptr;
  size_ = capacity_ = 0;
}

void TextBuffer::SealReadOnly() {
  if (data_) mprotect(data_, capacity_, PROT_READ);
}

size_t TextBuffer::PhysicalMemory() {
  const long pages = sysconf(_SC_PHYS_PAGES);
  const long pageSize = sysconf(_SC_PAGESIZE);
  return pages > 0 && pageSize > 0 ? static_cast<size_t>(pages) * static_cast<size_t>(pageSize)
                                   : static_cast<size_t>(-1);
}

TextBuffer TextBuffer::ReadFile(const std::filesystem::path& path) {
  // O_NONBLOCK: opening a FIFO must not wait for a writer before we can refuse it.
  const FileDescriptor file(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
  if (file.Get() < 0) FailOnFile("Cannot open", path, std::strerror(errno));
  struct stat info {};
  if (fstat(file.Get(), &info) != 0) FailOnFile("Cannot open", path, std::strerror(errno));
  if (!S_ISREG(info.st_mode)) FailOnFile("Cannot open", path, RefusalReason(KindOf(info.st_mode)));
  fcntl(file.Get(), F_SETFL, fcntl(file.Get(), F_GETFL) & ~O_NONBLOCK);

  const auto fileSize = static_cast<size_t>(info.st_size);
  TextBuffer buffer = ForFile(path, fileSize);
  // The size is the one seen at open: a log that grows meanwhile is read up to that point, and
  // one that shrinks is read up to its new end.
  size_t filled = 0;
  while (filled < fileSize) {
    const ssize_t got = read(file.Get(), buffer.data_ + filled, fileSize - filled);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) FailOnFile("Cannot read", path, std::strerror(errno));
    if (got == 0) break;
    filled += static_cast<size_t>(got);
  }
  buffer.Shrink(filled);
  buffer.SealReadOnly();
  return buffer;
}
