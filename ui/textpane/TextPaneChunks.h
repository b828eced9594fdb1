#pragma once

#include <cstddef>
#include <string_view>

// A line longer than this is laid out a chunk at a time, so that showing a screenful of a line of
// megabytes costs no more than showing a screenful of ordinary lines.
inline constexpr size_t kChunkBytes = 8192;

int ChunkCount(size_t lineBytes);

// The bytes of chunk `chunk` of `line`. A chunk ends after a space near its nominal end where
// there is one, so that the cut mostly falls where the row would wrap anyway; otherwise before a
// byte that starts a character, so that a chunk decodes exactly like its part of the whole line.
std::string_view ChunkBytes(std::string_view line, int chunk);
