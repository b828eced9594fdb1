#include "TextEncoding.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

namespace {

// Windows-1252 bytes 0x80-0x9F. The five bytes that the code page leaves undefined map to the
// C1 control of the same value, so that every byte survives decoding.
constexpr std::array<char32_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98-9F
};

constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// Length of the valid UTF-8 sequence at the start of `s` (which begins with a byte >= 0x80),
// or, when it is not valid, minus the length of its maximal invalid part (at least 1).
int Utf8SequenceLength(std::string_view s) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(s[i]); };
  const unsigned char lead = byte(0);
  int length = 0;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // no overlong forms
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;  // nothing above U+10FFFF
  } else {
    return -1;
  }
  for (int i = 1; i < length; ++i) {
    if (static_cast<size_t>(i) >= s.size()) return -i;
    const unsigned char next = byte(static_cast<size_t>(i));
    const unsigned char min = i == 1 ? low : 0x80;
    const unsigned char max = i == 1 ? high : 0xBF;
    if (next < min || next > max) return -i;
  }
  return length;
}

// Number of leading bytes of `s` below 0x80, eight at a time where it can.
size_t AsciiPrefix(std::string_view s) {
  size_t i = 0;
  for (; i + 8 <= s.size(); i += 8) {
    uint64_t word = 0;
    std::memcpy(&word, s.data() + i, 8);
    if (word & 0x8080808080808080ULL) break;
  }
  while (i < s.size() && static_cast<unsigned char>(s[i]) < 0x80) ++i;
  return i;
}

void AppendUtf8Checked(std::string& out, std::string_view bytes) {
  while (!bytes.empty()) {
    const size_t ascii = AsciiPrefix(bytes);
    out.append(bytes.data(), ascii);
    bytes.remove_prefix(ascii);
    if (bytes.empty()) break;
    const int length = Utf8SequenceLength(bytes);
    if (length > 0) {
      out.append(bytes.data(), static_cast<size_t>(length));
      bytes.remove_prefix(static_cast<size_t>(length));
    } else {
      AppendUtf8(out, kReplacement);
      bytes.remove_prefix(static_cast<size_t>(-length));
    }
  }
}

void AppendWindows1252(std::string& out, std::string_view bytes) {
  for (const char ch : bytes) {
    const auto byte = static_cast<unsigned char>(ch);
    if (byte < 0x80) {
      out += ch;
    } else {
      AppendUtf8(out, byte < 0xA0 ? kWindows1252High[byte - 0x80] : char32_t{byte});
    }
  }
}

// The character of the valid UTF-8 sequence `sequence`.
char32_t CodePoint(std::string_view sequence) {
  constexpr unsigned char kLeadBits[] = {0x7F, 0x1F, 0x0F, 0x07};
  char32_t c = static_cast<unsigned char>(sequence[0]) & kLeadBits[sequence.size() - 1];
  for (const char continuation : sequence.substr(1)) {
    c = (c << 6) | (static_cast<unsigned char>(continuation) & 0x3F);
  }
  return c;
}

// The character that the bytes at the start of `bytes` (the first >= 0x80) decode to, as
// AppendDecoded decodes it, and how many bytes it takes.
struct DecodedCharacter {
  char32_t Character;
  size_t Bytes;
};
DecodedCharacter DecodedAt(std::string_view bytes, Encoding encoding) {
  const auto byte = static_cast<unsigned char>(bytes[0]);
  if (encoding == Encoding::Windows1252) {
    return {byte < 0xA0 ? kWindows1252High[byte - 0x80] : char32_t{byte}, 1};
  }
  const int length = Utf8SequenceLength(bytes);
  if (length < 0) return {kReplacement, static_cast<size_t>(-length)};
  return {CodePoint(bytes.substr(0, static_cast<size_t>(length))), static_cast<size_t>(length)};
}

std::optional<char> Windows1252Byte(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
  const auto high = std::ranges::find(kWindows1252High, c);
  if (high == kWindows1252High.end()) return std::nullopt;
  return static_cast<char>(0x80 + (high - kWindows1252High.begin()));
}

// Appends the Windows-1252 byte of each character of `utf8` to `out`, and asks `missing` to
// write one that has none (an invalid part of `utf8` counts as U+FFFD); stops with false when
// `missing` answers false.
template <class Missing>
bool EncodeEachWindows1252(std::string& out, std::string_view utf8, Missing missing) {
  out.reserve(out.size() + utf8.size());
  while (!utf8.empty()) {
    const bool ascii = static_cast<unsigned char>(utf8[0]) < 0x80;
    const int length = ascii ? 1 : Utf8SequenceLength(utf8);
    const char32_t c =
        length < 0 ? kReplacement : CodePoint(utf8.substr(0, static_cast<size_t>(length)));
    const std::optional<char> byte = Windows1252Byte(c);
    if (byte) {
      out += *byte;
    } else if (!missing(out, c)) {
      return false;
    }
    utf8.remove_prefix(static_cast<size_t>(length < 0 ? -length : length));
  }
  return true;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

}  // namespace

bool IsValidUtf8(std::string_view bytes) {
  while (true) {
    bytes.remove_prefix(AsciiPrefix(bytes));
    if (bytes.empty()) return true;
    const int length = Utf8SequenceLength(bytes);
    if (length < 0) return false;
    bytes.remove_prefix(static_cast<size_t>(length));
  }
}

Utf8Scan ContinueUtf8Scan(Utf8Scan scan, std::string_view text) {
  if (scan.Broken) return scan;
  size_t at = scan.Valid;
  scan.CutShort = false;
  while (true) {
    at += AsciiPrefix(text.substr(at));
    if (at == text.size()) break;
    scan.HighByte = true;
    const int length = Utf8SequenceLength(text.substr(at));
    if (length > 0) {
      at += static_cast<size_t>(length);
      continue;
    }
    // A sequence whose valid start reaches the end of the text may still be completed.
    const auto lead = static_cast<unsigned char>(text[at]);
    scan.CutShort =
        at + static_cast<size_t>(-length) == text.size() && lead >= 0xC2 && lead <= 0xF4;
    scan.Broken = !scan.CutShort;
    break;
  }
  scan.Valid = at;
  return scan;
}

Encoding AutoEncoding(const Utf8Scan& scan) {
  // A sequence cut short at the very end is where a writer's block ended, not yet an error:
  // taking it for one would read a growing UTF-8 log as Windows-1252 until the next write.
  return scan.HighByte && !scan.Broken ? Encoding::Utf8 : Encoding::Windows1252;
}

Encoding ResolveEncoding(EncodingChoice choice, std::string_view wholeFile) {
  switch (choice) {
    case EncodingChoice::Windows1252:
      return Encoding::Windows1252;
    case EncodingChoice::Utf8:
      return Encoding::Utf8;
    case EncodingChoice::Auto:
      break;
  }
  return AutoEncoding(ContinueUtf8Scan({}, wholeFile));
}

std::string_view EncodingName(Encoding encoding) {
  return encoding == Encoding::Utf8 ? "utf-8" : "windows-1252";
}

std::optional<EncodingChoice> ParseEncodingChoice(std::string_view name) {
  if (EqualsIgnoringCase(name, "auto")) return EncodingChoice::Auto;
  if (EqualsIgnoringCase(name, "windows-1252") || EqualsIgnoringCase(name, "cp1252")) {
    return EncodingChoice::Windows1252;
  }
  if (EqualsIgnoringCase(name, "utf-8") || EqualsIgnoringCase(name, "utf8")) {
    return EncodingChoice::Utf8;
  }
  return std::nullopt;
}

void AppendDecoded(std::string& out, std::string_view bytes, Encoding encoding) {
  if (encoding == Encoding::Utf8) {
    AppendUtf8Checked(out, bytes);
  } else {
    AppendWindows1252(out, bytes);
  }
}

std::string Decode(std::string_view bytes, Encoding encoding) {
  std::string out;
  out.reserve(bytes.size());
  AppendDecoded(out, bytes, encoding);
  return out;
}

void AppendUtf16(std::u16string& out, std::string_view bytes, Encoding encoding) {
  const size_t start = out.size();
  out.resize(start + bytes.size());
  char16_t* to = out.data() + start;
  while (!bytes.empty()) {
    const size_t ascii = AsciiPrefix(bytes);
    to = std::copy(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(ascii), to);
    bytes.remove_prefix(ascii);
    if (bytes.empty()) break;
    const auto c = DecodedAt(bytes, encoding);
    if (c.Character >= 0x10000) {
      *to++ = static_cast<char16_t>(0xD800 + ((c.Character - 0x10000) >> 10));
      *to++ = static_cast<char16_t>(0xDC00 + ((c.Character - 0x10000) & 0x3FF));
    } else {
      *to++ = static_cast<char16_t>(c.Character);
    }
    bytes.remove_prefix(c.Bytes);
  }
  out.resize(static_cast<size_t>(to - out.data()));
}

size_t BytesOfUnits(std::string_view bytes, Encoding encoding, size_t units) {
  if (encoding == Encoding::Windows1252) return std::min(units, bytes.size());
  size_t at = 0;
  while (at < bytes.size() && units > 0) {
    const size_t ascii = std::min(AsciiPrefix(bytes.substr(at)), units);
    at += ascii;
    units -= ascii;
    if (units == 0 || at == bytes.size()) break;
    const auto c = DecodedAt(bytes.substr(at), encoding);
    const size_t taken = c.Character >= 0x10000 ? 2 : 1;
    if (taken > units) break;
    units -= taken;
    at += c.Bytes;
  }
  return at;
}

std::optional<std::string> EncodeWindows1252(std::string_view utf8) {
  std::string out;
  const bool whole = EncodeEachWindows1252(out, utf8, [](std::string&, char32_t) { return false; });
  if (!whole) return std::nullopt;
  return out;
}

std::string EncodeWindows1252Marked(std::string_view utf8) {
  std::string out;
  EncodeEachWindows1252(out, utf8, [](std::string& into, char32_t c) {
    static constexpr std::string_view kHex = "0123456789ABCDEF";
    into += "<U+";
    const int digits = c > 0xFFFF ? (c > 0xFFFFF ? 6 : 5) : 4;
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) into += kHex[(c >> shift) & 0xF];
    into += '>';
    return true;
  });
  return out;
}
