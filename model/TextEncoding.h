#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// How the bytes of a log are turned into characters. The model keeps bytes; decoding happens
// only where text leaves it (table cells, panes, command-line output).
enum class Encoding { Windows1252, Utf8 };

// What the user asks for; Auto picks UTF-8 only for a file that is valid UTF-8 and holds at
// least one byte >= 0x80, since a pure ASCII file reads the same either way. A valid start of a
// sequence at the very end is not invalid yet: more bytes may complete it.
enum class EncodingChoice { Auto, Windows1252, Utf8 };

Encoding ResolveEncoding(EncodingChoice choice, std::string_view wholeFile);
bool IsValidUtf8(std::string_view bytes);

// What a look at a text for the Auto choice has found, kept so that a text that grows is looked
// at only where it grew.
struct Utf8Scan {
  size_t Valid = 0;       // the text's first bytes that are ASCII or whole valid UTF-8 sequences
  bool CutShort = false;  // the bytes after them are a sequence that more bytes may complete
  bool Broken = false;    // an invalid sequence was met, which no later byte can mend
  bool HighByte = false;  // a byte >= 0x80 was met
};
// `scan` of the text's beginning, taken on to the end of `text` (the whole text).
Utf8Scan ContinueUtf8Scan(Utf8Scan scan, std::string_view text);
// The Auto choice's encoding of a text whose scan this is.
Encoding AutoEncoding(const Utf8Scan& scan);

std::string_view EncodingName(Encoding encoding);
// Accepts "auto", "windows-1252" (also "cp1252") and "utf-8" (also "utf8"), in any letter case.
std::optional<EncodingChoice> ParseEncodingChoice(std::string_view name);

// Appends `bytes` decoded as `encoding` to `out` as UTF-8. Bytes that are not valid UTF-8 in a
// UTF-8 file (such as a sequence cut by a column rule) become U+FFFD, one per maximal bad part.
void AppendDecoded(std::string& out, std::string_view bytes, Encoding encoding);
std::string Decode(std::string_view bytes, Encoding encoding);
// The same in UTF-16, for the window's expression engine, which searches UTF-16 text.
void AppendUtf16(std::u16string& out, std::string_view bytes, Encoding encoding);
// How many of the first bytes of `bytes` decode (AppendUtf16) to the first `units` UTF-16 units;
// all of them when they decode to fewer.
size_t BytesOfUnits(std::string_view bytes, Encoding encoding, size_t units);

// The Windows-1252 bytes of UTF-8 text: what a text typed by the user is in a Windows-1252 store.
// None when a character has no byte in Windows-1252 (or `utf8` is not valid UTF-8).
std::optional<std::string> EncodeWindows1252(std::string_view utf8);
// The same for text that is to be read by a person, never lost or garbled: each character that
// has no byte in Windows-1252 is written as its code point the way Unicode writes it ("<U+2603>"),
// and an invalid part of `utf8` as "<U+FFFD>".
std::string EncodeWindows1252Marked(std::string_view utf8);
