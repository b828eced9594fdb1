#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

// Up to which size a log file's text is held in memory; a larger one is indexed. A quarter of
// the machine's physical memory, unless set otherwise for this process (a user's setting, or a
// test that wants small files indexed).
uint64_t InMemoryLimit();
// Nothing goes back to the quarter of physical memory.
void SetInMemoryLimit(std::optional<uint64_t> bytes);

// An indexed store reads its file in pieces of this size (8 MiB) and keeps only the last lines
// of each; tests choose small pieces, so that small files take many.
size_t IndexedPieceBytes();
// Nothing goes back to 8 MiB.
void SetIndexedPieceBytes(std::optional<size_t> bytes);

// A file held in memory is read in pieces of this size (4 MiB), so that a load can stop between
// two reads; tests choose small pieces, so that small files take many.
size_t ReadPieceBytes();
// Nothing goes back to 4 MiB.
void SetReadPieceBytes(std::optional<size_t> bytes);

// A size as a user writes it: a whole number of bytes, or of KiB, MiB, GiB or TiB with the suffix
// K, M, G or T (in either letter case, "B" or "iB" may follow). Nothing for anything else.
std::optional<uint64_t> ParseByteSize(std::string_view text);
