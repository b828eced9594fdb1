#include "FileNamePattern.h"

namespace {

bool IsContinuationByte(char byte) {
  return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

// The bytes of the character that starts at `at`.
size_t CharacterSize(std::string_view text, size_t at) {
  size_t end = at + 1;
  while (end < text.size() && IsContinuationByte(text[end])) ++end;
  return end - at;
}

bool SameByte(char a, char b) {
#ifdef _WIN32
  const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
  return lower(a) == lower(b);
#else
  return a == b;
#endif
}

}  // namespace

bool FitsFileNamePattern(std::string_view name, std::string_view pattern) {
  // The classic walk with one point to go back to: the last "*" and where in the name it was
  // last tried. A later "*" replaces it, which keeps the walk linear in practice.
  size_t n = 0, p = 0;
  size_t starPattern = std::string_view::npos, starName = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      starPattern = p++;
      starName = n;
    } else if (p < pattern.size() && pattern[p] == '?') {
      n += CharacterSize(name, n);
      ++p;
    } else if (p < pattern.size() && SameByte(pattern[p], name[n])) {
      ++n;
      ++p;
    } else if (starPattern != std::string_view::npos) {
      p = starPattern + 1;
      starName += CharacterSize(name, starName);
      n = starName;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}
