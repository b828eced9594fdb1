#include "LineScanner.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

uint64_t LineEndMask(const char* bytes, size_t count) {
  uint64_t mask = 0;
  for (size_t i = 0; i < count; ++i) {
    if (bytes[i] == '\r' || bytes[i] == '\n') mask |= uint64_t{1} << i;
  }
  return mask;
}

#if defined(__SSE2__)
uint64_t LineEndMask64(const char* bytes) {
  const __m128i cr = _mm_set1_epi8('\r');
  const __m128i lf = _mm_set1_epi8('\n');
  uint64_t mask = 0;
  for (size_t part = 0; part < 4; ++part) {
    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + 16 * part));
    const __m128i hits = _mm_or_si128(_mm_cmpeq_epi8(chunk, cr), _mm_cmpeq_epi8(chunk, lf));
    mask |= static_cast<uint64_t>(static_cast<uint16_t>(_mm_movemask_epi8(hits))) << (16 * part);
  }
  return mask;
}
#else
uint64_t LineEndMask64(const char* bytes) {
  return LineEndMask(bytes, 64);
}
#endif

}  // namespace

void LineScanner::LoadBlock(const char* start) {
  const auto count = static_cast<size_t>(end_ - start) < kBlockSize
                         ? static_cast<size_t>(end_ - start)
                         : kBlockSize;
  blockStart_ = start;
  blockEnd_ = start + count;
  mask_ = count == kBlockSize ? LineEndMask64(start) : LineEndMask(start, count);
}
