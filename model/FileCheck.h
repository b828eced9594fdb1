#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "SharedFile.h"

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

  // Throws FileLockedError when another program keeps the bytes it reads locked.
  bool Holds(SharedFile& file) const;
};
