#include "LogFileSource.h"

#include "FileReadError.h"
#include "LogStore.h"

LogFileSource::LogFileSource(const LogStore& store)
    : path_(store.IndexedFile.value()), check_(store.Text.Check()) {}

void LogFileSource::Read(uint64_t offset, char* into, size_t count) const {
  bool read = false;
  WithSharedFile(path_, [&](const ProbedFile& file, const FileReader& reader) {
    read = check_.Holds(file, reader) && reader(offset, into, count) == count;
  });
  if (!read) {
    throw FileChangedError("The file \"" + DisplayName(path_) +
                           "\" has changed since it was loaded: it was replaced, shortened or "
                           "rewritten");
  }
}
