#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include "TextBuffer.h"

// Reads up to `count` bytes of an open file at `offset` into `into` and returns how many it
// read: fewer only at the end of the file or on an error.
using FileReader = std::function<size_t(uint64_t offset, char* into, size_t count)>;

// Opens the regular file `path` with every share mode, hands what the open file tells of itself
// and a reader of it to `use`, and closes it at once, so that the writer may still delete,
// rename or recreate it. False, without calling `use`, when it cannot be opened or is not a
// regular file.
bool WithSharedFile(const std::filesystem::path& path,
                    const std::function<void(const ProbedFile&, const FileReader&)>& use);

// What a log file must still be for bytes read from it now to belong with text read from it
// before: the same file, at least as long as the text went, and with the text's first bytes and
// its last ones where they were. A writer that only appends keeps all of that; one that rewrote
// the file in the middle and kept its size and both ends goes unseen.
struct FileCheck {
  FileIdentity Identity;
  uint64_t End = 0;        // where in the file the text ended
  std::string Head;        // the file's first bytes
  uint64_t TailStart = 0;  // where in the file `Tail` stood
  std::string Tail;        // the text's last bytes

  bool Holds(const ProbedFile& file, const FileReader& read) const;
};
