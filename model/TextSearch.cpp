#include "TextSearch.h"

#include <algorithm>
#include <ranges>

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

struct FoldByte {
  const FoldTable* table;
  char operator()(char byte) const { return (*table)[static_cast<unsigned char>(byte)]; }
};

std::shared_ptr<const std::string> Folded(std::string text, const FoldTable& fold) {
  std::ranges::transform(text, text.begin(), FoldByte{&fold});
  return std::make_shared<const std::string>(std::move(text));
}

std::shared_ptr<const std::string> Reversed(const std::string& text) {
  return std::make_shared<const std::string>(text.rbegin(), text.rend());
}

}  // namespace

TextSearch::TextSearch(std::string_view needle, Encoding encoding, bool matchCase)
    : fold_(&FoldingFor(encoding, matchCase)),
      needle_(Folded(EncodedNeedle(needle, encoding), *fold_)),
      reversed_(Reversed(*needle_)),
      forward_(needle_->begin(), needle_->end()),
      backward_(reversed_->begin(), reversed_->end()) {}

size_t TextSearch::FindForward(std::string_view bytes, size_t from) const {
  if (!CanMatch() || from > bytes.size()) return npos;
  // The searcher compares folded bytes of the haystack with the folded needle, so that it keeps
  // its table of 256 shifts rather than hashing each byte through a folding comparison.
  const auto folded = bytes | std::views::transform(FoldByte{fold_});
  const auto found = forward_(folded.begin() + static_cast<std::ptrdiff_t>(from), folded.end());
  return found.first == folded.end() ? npos : static_cast<size_t>(found.first - folded.begin());
}

size_t TextSearch::FindBackward(std::string_view bytes, size_t to) const {
  if (!CanMatch()) return npos;
  const size_t end = std::min(to, bytes.size());
  const auto folded =
      bytes.substr(0, end) | std::views::transform(FoldByte{fold_}) | std::views::reverse;
  const auto found = backward_(folded.begin(), folded.end());
  if (found.first == folded.end()) return npos;
  return end - static_cast<size_t>(found.second - folded.begin());
}

std::optional<TextMatch> NextMatch(const TextSearch& search, const LineList& lines, size_t from) {
  if (!search.CanMatch()) return std::nullopt;
  const std::string_view bytes = lines.Bytes();
  if (const size_t at = search.FindForward(bytes, from); at != TextSearch::npos) {
    return TextMatch{at, false};
  }
  // Only a match that starts before `from` is left to find.
  const size_t reach = std::min(bytes.size(), from + search.Size() - 1);
  if (const size_t first = search.FindForward(bytes.substr(0, reach), 0);
      first != TextSearch::npos) {
    return TextMatch{first, true};
  }
  return std::nullopt;
}

std::optional<TextMatch> PreviousMatch(const TextSearch& search, const LineList& lines,
                                       size_t before) {
  if (!search.CanMatch()) return std::nullopt;
  const std::string_view bytes = lines.Bytes();
  before = std::min(before, bytes.size());
  // A match that starts before `before` ends at the latest one byte short of a match there.
  if (const size_t at = search.FindBackward(bytes, before + search.Size() - 1);
      at != TextSearch::npos) {
    return TextMatch{at, false};
  }
  // Only a match that starts at or after `before` is left to find.
  if (const size_t last = search.FindBackward(bytes.substr(before), TextSearch::npos);
      last != TextSearch::npos) {
    return TextMatch{before + last, true};
  }
  return std::nullopt;
}

std::vector<size_t> MatchOffsets(const TextSearch& search, const LineList& lines, size_t limit) {
  const std::string_view bytes = lines.Bytes();
  std::vector<size_t> offsets;
  for (size_t at = search.FindForward(bytes, 0); at != TextSearch::npos && offsets.size() < limit;
       at = search.FindForward(bytes, at + search.Size())) {
    offsets.push_back(at);
  }
  return offsets;
}
