#include "FileCheck.h"

namespace {

bool StillReads(const FileReader& read, uint64_t offset, const std::string& expected) {
  std::string bytes(expected.size(), '\0');
  return read(offset, bytes.data(), bytes.size()) == bytes.size() && bytes == expected;
}

}  // namespace

bool FileCheck::Holds(const ProbedFile& file, const FileReader& read) const {
  return file.Identity == Identity && file.Size >= End && StillReads(read, 0, Head) &&
         StillReads(read, TailStart, Tail);
}
