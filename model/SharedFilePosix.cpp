#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "SharedFile.h"

namespace {

NonRegularFile KindOf(mode_t mode) {
  if (S_ISDIR(mode)) return NonRegularFile::Directory;
  if (S_ISFIFO(mode)) return NonRegularFile::Pipe;
  if (S_ISSOCK(mode)) return NonRegularFile::Socket;
  if (S_ISCHR(mode) || S_ISBLK(mode)) return NonRegularFile::Device;
  return NonRegularFile::Other;
}

}  // namespace

int SharedFile::TryOpen() {
  Close();
  // O_NONBLOCK: opening a FIFO must not wait for a writer before we can refuse it.
  const int fd = open(path_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return errno;
  handle_ = fd;
  struct stat info {};
  if (fstat(fd, &info) != 0) return errno;
  if (!S_ISREG(info.st_mode)) {
    Close();
    state_ = State::Refused;
    reason_ = RefusalReason(KindOf(info.st_mode));
    return 0;
  }
  state_ = State::Open;
  facts_ = {{static_cast<uint64_t>(info.st_dev), static_cast<uint64_t>(info.st_ino)},
            static_cast<uint64_t>(info.st_size)};
  return 0;
}

int SharedFile::TryRead(uint64_t offset, char* into, size_t count, size_t& got) {
  got = 0;
  ssize_t read = 0;
  do {
    read = pread(static_cast<int>(handle_), into, count, static_cast<off_t>(offset));
  } while (read < 0 && errno == EINTR);
  if (read < 0) return errno;
  got = static_cast<size_t>(read);
  return 0;
}

void SharedFile::Close() {
  if (handle_ >= 0) close(static_cast<int>(handle_));
  handle_ = -1;
}

bool SharedFile::IsLockError(int error) {
  // What a read of a range under a mandatory lock gets; the file is opened without blocking.
  return error == EAGAIN || error == EWOULDBLOCK;
}

bool SharedFile::IsMissingError(int error) {
  return error == ENOENT || error == ENOTDIR;
}

std::string SharedFile::SystemMessage(int error) {
  return std::strerror(error);
}
