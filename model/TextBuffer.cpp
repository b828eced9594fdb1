#include "TextBuffer.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "LogFileError.h"

namespace {

std::string Quoted(const std::string& path) {
  return "\"" + path + "\"";
}

[[noreturn]] void Fail(const char* verb, const std::string& path, const std::string& reason) {
  throw LogFileError(std::string(verb) + " " + Quoted(path) + ": " + reason);
}

const char* KindOfNonRegularFile(mode_t mode) {
  if (S_ISDIR(mode)) return "it is a directory, not a file";
  if (S_ISFIFO(mode)) return "it is a pipe, not a regular file";
  if (S_ISSOCK(mode)) return "it is a socket, not a regular file";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "it is a device, not a regular file";
  return "it is not a regular file";
}

size_t PhysicalMemory() {
  const long pages = sysconf(_SC_PHYS_PAGES);
  const long pageSize = sysconf(_SC_PAGESIZE);
  return pages > 0 && pageSize > 0 ? static_cast<size_t>(pages) * static_cast<size_t>(pageSize)
                                   : static_cast<size_t>(-1);
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

TextBuffer::TextBuffer(TextBuffer&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      capacity_(std::exchange(other.capacity_, 0)) {}

TextBuffer& TextBuffer::operator=(TextBuffer&& other) noexcept {
  if (this != &other) {
    Release();
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
    capacity_ = std::exchange(other.capacity_, 0);
  }
  return *this;
}

TextBuffer::~TextBuffer() {
  Release();
}

void TextBuffer::Release() {
  if (data_) munmap(data_, capacity_);
  data_ = nullptr;
  size_ = capacity_ = 0;
}

void TextBuffer::SealReadOnly() {
  if (data_) mprotect(data_, capacity_, PROT_READ);
}

TextBuffer TextBuffer::FromBytes(std::string_view bytes) {
  TextBuffer buffer(bytes.size());
  if (!bytes.empty()) std::memcpy(buffer.data_, bytes.data(), bytes.size());
  buffer.SealReadOnly();
  return buffer;
}

TextBuffer TextBuffer::ReadFile(const std::string& path) {
  // O_NONBLOCK: opening a FIFO must not wait for a writer before we can refuse it.
  const FileDescriptor file(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
  if (file.Get() < 0) Fail("Cannot open", path, std::strerror(errno));
  struct stat info {};
  if (fstat(file.Get(), &info) != 0) Fail("Cannot open", path, std::strerror(errno));
  if (!S_ISREG(info.st_mode)) Fail("Cannot open", path, KindOfNonRegularFile(info.st_mode));
  fcntl(file.Get(), F_SETFL, fcntl(file.Get(), F_GETFL) & ~O_NONBLOCK);

  const auto fileSize = static_cast<size_t>(info.st_size);
  if (fileSize > PhysicalMemory()) {
    Fail("Cannot read", path,
         "the file is too large for memory (" + std::to_string(fileSize) + " bytes)");
  }
  TextBuffer buffer;
  try {
    buffer = TextBuffer(fileSize);
  } catch (const std::bad_alloc&) {
    Fail("Cannot read", path,
         "not enough memory for the file (" + std::to_string(fileSize) + " bytes)");
  }

  // The size is the one seen at open: a log that grows meanwhile is read up to that point, and
  // one that shrinks is read up to its new end.
  size_t filled = 0;
  while (filled < fileSize) {
    const ssize_t got = read(file.Get(), buffer.data_ + filled, fileSize - filled);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) Fail("Cannot read", path, std::strerror(errno));
    if (got == 0) break;
    filled += static_cast<size_t>(got);
  }
  buffer.Shrink(filled);
  buffer.SealReadOnly();
  return buffer;
}
