#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

// An index costs the window nothing a user notices at any size (it opens a large log faster and in
// a small share of the memory, and a run read from the file shows within milliseconds), but a
// text held in memory shows what was loaded even when the file is rewritten or goes away, which
// for the small logs of a day costs little memory: 32 MiB.
constexpr uint64_t kDefaultInMemory = uint64_t{32} << 20;
// Up to which size a log file's text is held in memory; a larger one is indexed. kDefaultInMemory
// unless set otherwise for this process (a user's setting, or a test that wants small files
// indexed).
uint64_t InMemoryLimit();
// Nothing goes back to kDefaultInMemory.
void SetInMemoryLimit(std::optional<uint64_t> bytes);

// An indexed store reads its file in pieces of this size (8 MiB) and keeps only the last lines
// of each; tests choose small pieces, so that small files take many.
size_t IndexedPieceBytes();
// Nothing goes back to 8 MiB.
void SetIndexedPieceBytes(std::optional<size_t> bytes);

// Find in runs reads and searches the runs' logs in blocks of this size (2 MiB), which a core's
// cache holds while it searches them; tests choose small blocks, so that a small run takes many.
size_t SearchBlockBytes();
// Nothing goes back to 2 MiB.
void SetSearchBlockBytes(std::optional<size_t> bytes);

// A file held in memory is read in pieces of this size (4 MiB), so that a load can stop between
// two reads; tests choose small pieces, so that small files take many.
size_t ReadPieceBytes();
// Nothing goes back to 4 MiB.
void SetReadPieceBytes(std::optional<size_t> bytes);

// A size as a user writes it: a whole number of bytes, or of KiB, MiB, GiB or TiB with the suffix
// K, M, G or T (in either letter case, "B" or "iB" may follow). Nothing for anything else.
std::optional<uint64_t> ParseByteSize(std::string_view text);
