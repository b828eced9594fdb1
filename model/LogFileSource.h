#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>

#include "FileCheck.h"
#include "LogFileError.h"

struct LogStore;

// The file of an indexed store no longer is what the store was made from: another file has its
// name now, or it is shorter, or it was rewritten. Only loading it again shows what it holds.
class FileChangedError : public LogFileError {
 public:
  using LogFileError::LogFileError;
};

// Reads the file of an indexed store again, where the store has only the places of the lines.
// Each read opens the file with every share mode and closes it again, so the writer is never
// held up, and first makes sure it is still the file the store was made from (FileCheck.h), so
// that nothing ever mixes old and new text. A copy may read on another thread.
class LogFileSource {
 public:
  // The file `store` was indexed from, as the store has it now.
  explicit LogFileSource(const LogStore& store);

  // Reads `count` bytes at `offset`, which all lie within what the store has taken in. Throws
  // FileChangedError when the file is not the store's any more or the bytes cannot be read, and
  // FileLockedError when another program keeps them locked.
  void Read(uint64_t offset, char* into, size_t count) const;
  // Where the bytes that the store has taken in end.
  uint64_t End() const { return check_.End; }

 private:
  std::filesystem::path path_;
  FileCheck check_;
};
