#include "TextSearch.h"

#include <algorithm>
#include <atomic>
#include <bit>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
// AVX2 is chosen when the processor has it, so the program still runs on one without it.
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__)) && !defined(MLD_NO_AVX2)
#define MLD_AVX2 1
#include <immintrin.h>
#endif

namespace {

using FoldTable = TextSearch::FoldTable;

constexpr FoldTable Folding(bool asciiLetters, bool windows1252Letters) {
  FoldTable table{};
  for (int byte = 0; byte < 256; ++byte) table[byte] = static_cast<char>(byte);
  const auto fold = [&table](int upper, int lower) { table[upper] = static_cast<char>(lower); };
  if (asciiLetters) {
    for (int upper = 'A'; upper <= 'Z'; ++upper) fold(upper, upper + 0x20);
  }
  if (windows1252Letters) {
    constexpr int kTimes = 0xD7;
    for (int upper = 0xC0; upper <= 0xDE; ++upper) {
      if (upper != kTimes) fold(upper, upper + 0x20);
    }
    fold(0x8A, 0x9A);  // Š š
    fold(0x8C, 0x9C);  // Œ œ
    fold(0x8E, 0x9E);  // Ž ž
    fold(0x9F, 0xFF);  // Ÿ ÿ
  }
  return table;
}

constexpr FoldTable kSameCase = Folding(false, false);
constexpr FoldTable kAsciiCase = Folding(true, false);
constexpr FoldTable kWindows1252Case = Folding(true, true);

const FoldTable& FoldingFor(Encoding encoding, bool matchCase) {
  if (matchCase) return kSameCase;
  return encoding == Encoding::Windows1252 ? kWindows1252Case : kAsciiCase;
}

// The needle's bytes in `encoding`, or nothing when no line can hold them.
std::string EncodedNeedle(std::string_view needle, Encoding encoding) {
  if (needle.find_first_of("\r\n") != std::string_view::npos) return {};
  if (encoding == Encoding::Utf8) return std::string(needle);
  return EncodeWindows1252(needle).value_or(std::string());
}

std::string Folded(std::string text, const FoldTable& fold) {
  for (char& byte : text) byte = fold[static_cast<unsigned char>(byte)];
  return text;
}

// Horspool's shifts for a window that ends (or, for a needle given back to front, starts) with a
// byte: how far that byte's nearest other place in the needle lies from the window's edge.
std::array<size_t, 256> Shifts(std::string_view needle) {
  std::array<size_t, 256> shifts{};
  shifts.fill(needle.size());
  for (size_t i = 0; i + 1 < needle.size(); ++i) {
    shifts[static_cast<unsigned char>(needle[i])] = needle.size() - 1 - i;
  }
  return shifts;
}

// The byte other than `folded` that folds to it, or `folded` itself when there is none.
char OtherCase(char folded, const FoldTable& fold) {
  for (int byte = 0; byte < 256; ++byte) {
    if (fold[byte] == folded && static_cast<char>(byte) != folded) return static_cast<char>(byte);
  }
  return folded;
}

std::array<char, 2> BothCases(char folded, const FoldTable& fold) {
  return {folded, OtherCase(folded, fold)};
}

}  // namespace

// Written out rather than std::boyer_moore_horspool_searcher over a folding view: that was two
// to four times slower than memmem, and clang 14 with libstdc++ 12 (the fuzzing build) cannot
// compile the view.
TextSearch::TextSearch(std::string_view needle, Encoding encoding, bool matchCase)
    : fold_(&FoldingFor(encoding, matchCase)),
      needle_(Folded(EncodedNeedle(needle, encoding), *fold_)),
      forwardShifts_(Shifts(needle_)),
      backwardShifts_(Shifts(std::string(needle_.rbegin(), needle_.rend()))),
      firstBytes_(BothCases(needle_.empty() ? '\0' : needle_.front(), *fold_)),
      secondOffset_(needle_.size() > 1 ? 1 : 0),
      secondBytes_(BothCases(needle_.empty() ? '\0' : needle_[secondOffset_], *fold_)),
      lastBytes_(BothCases(needle_.empty() ? '\0' : needle_.back(), *fold_)) {}

bool TextSearch::MatchesAt(std::string_view bytes, size_t at) const {
  for (size_t k = 0; k < needle_.size(); ++k) {
    if (Fold(bytes[at + k]) != needle_[k]) return false;
  }
  return true;
}

// Searching every run of a large log must go at the speed of memory: Horspool's skips reach that
// only for long needles, and a word of a few letters moves its window a few bytes at a time.
#if defined(__SSE2__)
namespace {

using CaseBytes = std::array<char, 2>;

// Which windows of a block may match, by their first, second and last bytes: in SSE2, which every
// x86-64 processor has, and in AVX2, twice as wide.
class Sse2Lanes {
 public:
  static constexpr size_t kWidth = 16;

  Sse2Lanes(const CaseBytes& first, const CaseBytes& second, const CaseBytes& last)
      : first_(Splat(first)), second_(Splat(second)), last_(Splat(last)) {}

  uint32_t Candidates(const char* block, size_t secondOffset, size_t lastOffset) const {
    const __m128i hits =
        _mm_and_si128(_mm_and_si128(Either(block, first_), Either(block + secondOffset, second_)),
                      Either(block + lastOffset, last_));
    return static_cast<uint32_t>(_mm_movemask_epi8(hits));
  }

 private:
  struct Pair {
    __m128i one, other;
  };
  static Pair Splat(const CaseBytes& bytes) {
    return {_mm_set1_epi8(bytes[0]), _mm_set1_epi8(bytes[1])};
  }
  static __m128i Either(const char* at, const Pair& pair) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
    return _mm_or_si128(_mm_cmpeq_epi8(bytes, pair.one), _mm_cmpeq_epi8(bytes, pair.other));
  }

  Pair first_, second_, last_;
};

#ifdef MLD_AVX2
class Avx2Lanes {
 public:
  static constexpr size_t kWidth = 32;

  [[gnu::target("avx2")]] Avx2Lanes(const CaseBytes& first, const CaseBytes& second,
                                    const CaseBytes& last)
      : first_(Splat(first)), second_(Splat(second)), last_(Splat(last)) {}

  [[gnu::target("avx2")]] uint32_t Candidates(const char* block, size_t secondOffset,
                                              size_t lastOffset) const {
    const __m256i hits = _mm256_and_si256(
        _mm256_and_si256(Either(block, first_), Either(block + secondOffset, second_)),
        Either(block + lastOffset, last_));
    return static_cast<uint32_t>(_mm256_movemask_epi8(hits));
  }

 private:
  struct Pair {
    __m256i one, other;
  };
  [[gnu::target("avx2")]] static Pair Splat(const CaseBytes& bytes) {
    return {_mm256_set1_epi8(bytes[0]), _mm256_set1_epi8(bytes[1])};
  }
  [[gnu::target("avx2")]] static __m256i Either(const char* at, const Pair& pair) {
    const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at));
    return _mm256_or_si256(_mm256_cmpeq_epi8(bytes, pair.one),
                           _mm256_cmpeq_epi8(bytes, pair.other));
  }

  Pair first_, second_, last_;
};

bool ProcessorHasAvx2() {
  // This may run among the static constructors, before the one that would have set this up.
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2");
}

std::atomic<bool> useAvx2 = ProcessorHasAvx2();
#endif

}  // namespace

template <class Lanes>
[[gnu::always_inline]] inline size_t TextSearch::ScanWith(std::string_view bytes,
                                                          size_t& from) const {
  const Lanes lanes(firstBytes_, secondBytes_, lastBytes_);
  const size_t lastOffset = needle_.size() - 1;
  size_t at = from;
  for (; at + lastOffset + Lanes::kWidth <= bytes.size(); at += Lanes::kWidth) {
    for (uint32_t candidates = lanes.Candidates(bytes.data() + at, secondOffset_, lastOffset);
         candidates != 0; candidates &= candidates - 1) {
      const size_t start = at + static_cast<size_t>(std::countr_zero(candidates));
      if (MatchesAt(bytes, start)) return start;
    }
  }
  from = at;
  return npos;
}

#ifdef MLD_AVX2
[[gnu::target("avx2")]] size_t TextSearch::ScanWithAvx2(std::string_view bytes,
                                                        size_t& from) const {
  return ScanWith<Avx2Lanes>(bytes, from);
}
#endif

size_t TextSearch::ScanWindows(std::string_view bytes, size_t& from) const {
#ifdef MLD_AVX2
  if (useAvx2.load(std::memory_order_relaxed)) return ScanWithAvx2(bytes, from);
#endif
  return ScanWith<Sse2Lanes>(bytes, from);
}
#else
size_t TextSearch::ScanWindows(std::string_view /*bytes*/, size_t& /*from*/) const {
  return npos;
}
#endif

void TextSearch::UseAvx2(bool use) {
#ifdef MLD_AVX2
  useAvx2 = use && ProcessorHasAvx2();
#else
  (void)use;
#endif
}

size_t TextSearch::FindForward(std::string_view bytes, size_t from) const {
  const size_t size = needle_.size();
  if (!CanMatch() || from > bytes.size() || bytes.size() - from < size) return npos;
  if (const size_t at = ScanWindows(bytes, from); at != npos) return at;
  // The windows left, fewer than a block.
  for (size_t at = from; at + size <= bytes.size();
       at += forwardShifts_[static_cast<unsigned char>(Fold(bytes[at + size - 1]))]) {
    if (MatchesAt(bytes, at)) return at;
  }
  return npos;
}

size_t TextSearch::FindBackward(std::string_view bytes, size_t to) const {
  const size_t size = needle_.size();
  const size_t end = std::min(to, bytes.size());
  if (!CanMatch() || end < size) return npos;
  for (size_t at = end - size;;) {
    size_t matched = 0;
    while (matched < size && Fold(bytes[at + matched]) == needle_[matched]) ++matched;
    if (matched == size) return at;
    const size_t shift = backwardShifts_[static_cast<unsigned char>(Fold(bytes[at]))];
    if (at < shift) return npos;
    at -= shift;
  }
}
