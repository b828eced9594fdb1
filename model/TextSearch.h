#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "TextEncoding.h"

// Text the user looks for, put into the bytes of the store's encoding, so that finding it reads
// the store's bytes and decodes nothing. When letter case is ignored, it is ignored for the ASCII
// letters and, in a Windows-1252 store, also for the other letters that code page has in both
// cases (À-Þ and à-þ but for × and ÷; Š Œ Ž Ÿ and š œ ž ÿ). Letters beyond ASCII in a UTF-8
// store are compared as they are: each takes several bytes, and folding them would mean decoding.
class TextSearch {
 public:
  static constexpr size_t npos = std::string_view::npos;

  // `needle` is UTF-8.
  TextSearch(std::string_view needle, Encoding encoding, bool matchCase);

  // False for a needle that matches nothing: an empty one, one that holds a line end (a match
  // never spans two lines) and one with a character the encoding has no byte for.
  bool CanMatch() const { return !needle_.empty(); }
  // The number of bytes a match takes.
  size_t Size() const { return needle_.size(); }

  // Whether searches use AVX2 on a processor that has it, as they do unless told otherwise;
  // tests turn it off to try the narrower scan that other processors use.
  static void UseAvx2(bool use);

  // Where the first match that starts at or after `from` starts, or npos.
  size_t FindForward(std::string_view bytes, size_t from) const;
  // Where the last match that ends at or before `to` starts, or npos.
  size_t FindBackward(std::string_view bytes, size_t to) const;

  using FoldTable = std::array<char, 256>;

 private:
  // How far a window may move when a byte (folded) stands at its last place, searching forwards,
  // or at its first place, searching backwards (Horspool's rule).
  using ShiftTable = std::array<size_t, 256>;

  char Fold(char byte) const { return (*fold_)[static_cast<unsigned char>(byte)]; }
  bool MatchesAt(std::string_view bytes, size_t at) const;
  // Tests the windows from `from` on, a vector's width at a time by three of their bytes, while
  // whole blocks fit. Returns the first match, or npos with `from` moved to the first window left
  // untested.
  size_t ScanWindows(std::string_view bytes, size_t& from) const;
  template <class Lanes>
  size_t ScanWith(std::string_view bytes, size_t& from) const;
  // ScanWith in AVX2, on x86-64 processors that have it.
  size_t ScanWithAvx2(std::string_view bytes, size_t& from) const;

  const FoldTable* fold_;
  std::string needle_;  // folded
  ShiftTable forwardShifts_;
  ShiftTable backwardShifts_;
  // The bytes that fold to the needle's first, second and last byte (the same byte twice when
  // only one does). A window is tested by three bytes, since a word often starts and ends with
  // common letters ("timeout"): first and last alone let one window in a few hundred through
  // to the byte-by-byte test, which then costs more than the scan.
  std::array<char, 2> firstBytes_;
  size_t secondOffset_;  // 1, or 0 for a needle of one byte
  std::array<char, 2> secondBytes_;
  std::array<char, 2> lastBytes_;
};
