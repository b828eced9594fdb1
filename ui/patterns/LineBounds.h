#pragma once

#include <cstddef>

// Where lines start and end in a text of bytes or of UTF-16 units. A line ends at CR LF, a lone
// CR or a lone LF, as everywhere in a log; the line end belongs to no line.

template <class Char>
inline bool IsLineEnd(Char c) {
  return c == Char('\n') || c == Char('\r');
}

template <class Text>
size_t LineEndSize(const Text& text, size_t at) {
  return text[at] == '\r' && at + 1 < static_cast<size_t>(text.size()) && text[at + 1] == '\n' ? 2
                                                                                               : 1;
}

// Where the line that holds `at` starts, looking back no further than `floor`.
template <class Text>
size_t LineStart(const Text& text, size_t at, size_t floor) {
  while (at > floor && !IsLineEnd(text[at - 1])) --at;
  return at;
}

// Where the line that holds `at` ends (before its line end). Lines are short, and a loop over
// them is faster than find_first_of, which looks for each byte in the set of line ends.
template <class Text, class Index>
Index LineEnd(const Text& text, Index at) {
  while (at < static_cast<Index>(text.size()) && !IsLineEnd(text[at])) ++at;
  return at;
}

// Where the line after the one that ends at `end` starts; the text's size after its last line.
template <class Text>
size_t NextLine(const Text& text, size_t end) {
  return end == static_cast<size_t>(text.size()) ? end + 1 : end + LineEndSize(text, end);
}

// Whether there is a line at `at`: text after the last line end is a line only when there is any.
template <class Text>
bool LineAt(const Text& text, size_t at) {
  const auto size = static_cast<size_t>(text.size());
  return at < size || (at == size && size > 0 && !IsLineEnd(text[size - 1]));
}
