#include "FileCheck.h"

namespace {

bool StillReads(SharedFile& file, uint64_t offset, const std::string& expected) {
  std::string bytes(expected.size(), '\0');
  return file.Read(offset, bytes.data(), bytes.size()) == bytes.size() && bytes == expected;
}

}  // namespace

bool FileCheck::Holds(SharedFile& file) const {
  return file.IsOpen() && file.Facts().Identity == Identity && file.Facts().Size >= End &&
         StillReads(file, 0, Head) && StillReads(file, TailStart, Tail);
}
