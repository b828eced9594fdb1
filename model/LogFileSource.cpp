#include "LogFileSource.h"

#include "FileReadError.h"
#include "LogStore.h"

LogFileSource::LogFileSource(const LogStore& store)
    : path_(store.IndexedFile.value()), check_(store.Text.Check()) {}

void LogFileSource::Read(uint64_t offset, char* into, size_t count) const {
  SharedFile file = SharedFile::Open(path_);
  if (file.GetState() == SharedFile::State::Locked) {
    throw FileLockedError(FileMessage("Cannot read", path_, file.Reason()));
  }
  if (!check_.Holds(file) || file.Read(offset, into, count) != count) {
    throw FileChangedError("The file \"" + DisplayName(path_) +
                           "\" has changed since it was loaded: it was replaced, shortened or "
                           "rewritten");
  }
}
