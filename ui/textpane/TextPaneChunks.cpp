#include "TextPaneChunks.h"

namespace {

// How far before a nominal cut a better place to cut is looked for.
constexpr size_t kCutSearchBytes = 256;
static_assert(kCutSearchBytes < kChunkBytes, "every chunk must keep at least one byte");

bool StartsCharacter(char byte) {
  return (static_cast<unsigned char>(byte) & 0xC0) != 0x80;
}

// Precondition: kCutSearchBytes <= nominal < line.size().
size_t CutNear(std::string_view line, size_t nominal) {
  const size_t lowest = nominal - kCutSearchBytes;
  for (size_t cut = nominal; cut > lowest; --cut) {
    if (line[cut - 1] == ' ') return cut;
  }
  for (size_t cut = nominal; cut > lowest; --cut) {
    if (StartsCharacter(line[cut])) return cut;
  }
  return nominal;
}

size_t ChunkStart(std::string_view line, int chunk) {
  if (chunk == 0) return 0;
  if (chunk >= ChunkCount(line.size())) return line.size();
  return CutNear(line, static_cast<size_t>(chunk) * kChunkBytes);
}

}  // namespace

int ChunkCount(size_t lineBytes) {
  return lineBytes <= kChunkBytes ? 1
                                  : static_cast<int>((lineBytes + kChunkBytes - 1) / kChunkBytes);
}

std::string_view ChunkBytes(std::string_view line, int chunk) {
  const size_t start = ChunkStart(line, chunk);
  return line.substr(start, ChunkStart(line, chunk + 1) - start);
}
