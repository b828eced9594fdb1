#include "RunSearch.h"
#include "SpanMatchCount.h"
#include "SpanReader.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "StoreText.h"

namespace {

constexpr auto kLatin = Encoding::Windows1252;
constexpr auto kUtf8 = Encoding::Utf8;

struct CountCase {
  const char* name;
  std::string bytes;
  Encoding encoding;
  std::string needle;  // UTF-8
  bool matchCase;
  size_t lines;
};

class CountMatchingLinesTest : public testing::TestWithParam<CountCase> {};

TEST_P(CountMatchingLinesTest, CountsTheLinesThatHoldAMatch) {
  const CountCase& c = GetParam();
  EXPECT_EQ(CountMatchingLines(TextSearch(c.needle, c.encoding, c.matchCase), c.bytes), c.lines);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CountMatchingLinesTest,
    testing::Values(
        CountCase{"LineWithTwoMatchesCountsOnce", "valve valve\r\nvalve\r\n", kLatin, "valve", true,
                  2},
        CountCase{"IgnoreCaseFoldsAscii", "Valve\r\nVALVE\r\npump\r\n", kLatin, "valve", false, 2},
        CountCase{"MatchCaseKeepsAscii", "Valve\r\nVALVE\r\n", kLatin, "valve", true, 0},
        CountCase{"NoMatchAcrossLineFeed", "pump\nvalve\n", kLatin, "pumpvalve", false, 0},
        CountCase{"NoMatchAcrossCarriageReturnLineFeed", "pu\r\nmp\r\n", kLatin, "pump", false, 0},
        CountCase{"NoMatchAcrossLoneCarriageReturn", "pu\rmp\r", kLatin, "pump", false, 0},
        CountCase{"NeedleWithLineEndMatchesNothing", "pu\nmp\n", kLatin, "pu\nmp", false, 0},
        CountCase{"LoneCarriageReturnsEndLines", "valve\rvalve\rvalve", kLatin, "valve", true, 3},
        CountCase{"LastLineWithoutLineEnd", "pump\r\nlast valve", kLatin, "valve", true, 1},
        CountCase{"EmptyLinesBetween", "valve\r\n\r\n\r\nvalve\r\n", kLatin, "valve", true, 2},
        CountCase{"Windows1252FoldsAccentedLetters", "\xc4rger\r\n\xe4rger\r\n", kLatin,
                  "\xc3\xa4rger", false, 2},
        CountCase{"Windows1252MatchCaseKeepsAccentedLetters", "\xc4rger\r\n\xe4rger\r\n", kLatin,
                  "\xc3\xa4rger", true, 1},
        CountCase{"Utf8KeepsTheCaseOfAccentedLetters", "\xc3\x84rger\r\n\xc3\xa4rger\r\n", kUtf8,
                  "\xc3\xa4rger", false, 1},
        CountCase{"Utf8FoldsAsciiNextToAccentedLetters", "\xc3\xa4RGER\r\n", kUtf8, "\xc3\xa4rger",
                  false, 1},
        CountCase{"EmptyNeedleMatchesNothing", "valve\r\n", kLatin, "", false, 0},
        CountCase{"NoLines", "", kLatin, "valve", false, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// Random lines over few letters, both cases and line ends, so that the 16-byte blocks of the
// forward search meet many candidates, matches across block edges and short tails.
std::string RandomText(std::mt19937& random, size_t size) {
  static constexpr std::string_view kBytes = "abAB\xe4\xc4 \n\r";
  std::uniform_int_distribution<size_t> pick(0, kBytes.size() - 1);
  std::string text;
  for (size_t k = 0; k < size; ++k) text += kBytes[pick(random)];
  return text;
}

// The letters that are one letter in two cases, written out apart from the search: ASCII, and
// in Windows-1252 the accented ones used here.
char Lower(char byte, Encoding encoding) {
  if (byte >= 'A' && byte <= 'Z') return static_cast<char>(byte + ('a' - 'A'));
  if (encoding == kLatin && byte == '\xc4') return '\xe4';
  return byte;
}

size_t NaiveFind(std::string_view bytes, std::string_view needle, Encoding encoding, bool matchCase,
                 size_t from) {
  const auto same = [&](char a, char b) {
    return matchCase ? a == b : Lower(a, encoding) == Lower(b, encoding);
  };
  for (size_t at = from; at + needle.size() <= bytes.size(); ++at) {
    size_t k = 0;
    while (k < needle.size() && same(bytes[at + k], needle[k])) ++k;
    if (k == needle.size()) return at;
  }
  return TextSearch::npos;
}

size_t NaiveMatchingLines(const std::string& bytes, const std::string& needle, Encoding encoding,
                          bool matchCase) {
  size_t lines = 0;
  size_t start = 0;
  while (start < bytes.size()) {
    const size_t end = std::min(bytes.find_first_of("\r\n", start), bytes.size());
    const std::string line = bytes.substr(start, end - start);
    if (NaiveFind(line, needle, encoding, matchCase, 0) != TextSearch::npos) ++lines;
    start = end + 1;
  }
  return lines;
}

// The needle as the user types it: UTF-8, in which "ä" takes two bytes.
std::string Typed(const std::string& bytes, Encoding encoding) {
  return encoding == kLatin ? Decode(bytes, kLatin) : bytes;
}

// With and without AVX2, where the processor has it: the two scans test windows a different
// number at a time.
class AgreesWithAByteByByteSearch : public testing::TestWithParam<bool> {
 protected:
  void SetUp() override { TextSearch::UseAvx2(GetParam()); }
  void TearDown() override { TextSearch::UseAvx2(true); }
};

TEST_P(AgreesWithAByteByByteSearch, FindsAndCountsTheSame) {
  std::mt19937 random(14);
  std::uniform_int_distribution<size_t> textSize(0, 120);
  std::uniform_int_distribution<size_t> needleSize(1, 4);
  for (int round = 0; round < 3000; ++round) {
    const std::string text = RandomText(random, textSize(random));
    std::string needle = RandomText(random, needleSize(random));
    std::erase_if(needle, [](char c) { return c == '\r' || c == '\n'; });
    if (needle.empty()) continue;
    const Encoding encoding = round % 2 == 0 ? kLatin : kUtf8;
    const bool matchCase = round % 3 == 0;
    if (encoding == kUtf8 && !IsValidUtf8(needle)) continue;
    const TextSearch search(Typed(needle, encoding), encoding, matchCase);
    SCOPED_TRACE(testing::Message() << "round " << round);
    for (size_t from = 0; from <= text.size(); from += 7) {
      ASSERT_EQ(search.FindForward(text, from), NaiveFind(text, needle, encoding, matchCase, from));
    }
    ASSERT_EQ(CountMatchingLines(search, text),
              NaiveMatchingLines(text, needle, encoding, matchCase));
  }
}

INSTANTIATE_TEST_SUITE_P(RunSearch, AgreesWithAByteByByteSearch, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& info) {
                           return info.param ? "Avx2" : "Sse2";
                         });

// A text fed in blocks cut anywhere (inside lines, between a CR and its LF, through a match)
// counts as the whole does; so does a count that goes on from where the lines ended in a first
// part, as a grown run's count does.
TEST(RunSearch, BlocksCutAnywhereCountAsTheWhole) {
  std::mt19937 random(23);
  std::uniform_int_distribution<size_t> cut(1, 9);
  for (int round = 0; round < 2000; ++round) {
    std::string text = RandomText(random, random() % 200);
    // Long lines that take many blocks, in some rounds.
    if (round % 3 == 0) std::erase_if(text, [&](char c) { return c == '\n' && random() % 4 != 0; });
    std::string needle = RandomText(random, 1 + random() % 4);
    std::erase_if(needle, [](char c) { return c == '\r' || c == '\n'; });
    if (needle.empty()) continue;
    const TextSearch search(Typed(needle, kLatin), kLatin, round % 2 == 0);
    SCOPED_TRACE(testing::Message() << "round " << round);
    MatchingLineCounter blocks(search);
    const size_t firstPart = random() % (text.size() + 1);
    for (size_t at = 0; at < firstPart;) {
      const size_t size = std::min(cut(random), firstPart - at);
      blocks.Add(std::string_view(text).substr(at, size));
      at += size;
    }
    const std::string_view ended = std::string_view(text).substr(0, blocks.BytesEnded());
    ASSERT_TRUE(ended.empty() || ended.back() == '\r' || ended.back() == '\n');
    ASSERT_EQ(text.substr(ended.size(), firstPart - ended.size()).find_first_of("\r\n"),
              std::string::npos);
    ASSERT_EQ(blocks.LinesEnded(), CountMatchingLines(search, ended));
    ASSERT_EQ(blocks.Lines(),
              CountMatchingLines(search, std::string_view(text).substr(0, firstPart)));
    MatchingLineCounter rest(search);
    for (size_t at = ended.size(); at < text.size();) {
      const size_t size = std::min(cut(random), text.size() - at);
      rest.Add(std::string_view(text).substr(at, size));
      at += size;
    }
    ASSERT_EQ(blocks.LinesEnded() + rest.Lines(), CountMatchingLines(search, text));
    ASSERT_EQ(CountMatchingLines(search, text),
              NaiveMatchingLines(text, needle, kLatin, round % 2 == 0));
  }
}

// Three runs whose first two share a date and time: two rows, the first showing the second run.
const std::string kFoldedLog = LogText({
    "------ NextPart = Script",
    "------ NextPart = LogMessage",
    "==>loading script \"One\".",
    "-",
    "Started: 10:00",
    "valve open",
    "==>script execution finished.",
    "==>loading script \"Two\".",
    "-",
    "Started: 10:00",
    "pump on",
    "==>script execution finished.",
    "==>loading script \"Three\".",
    "-",
    "Started: 11:00",
    "valve open",
    "valve closed",
    "pump on",
    "==>script execution finished.",
});

TEST(RunSearch, AFoldedRowCountsTheRunItShows) {
  const LogStore store = Parsed(kFoldedLog);
  ASSERT_EQ(store.RowToRun.size(), 2u);
  EXPECT_EQ(RowMatchCounts(store, TextLineMatcher("VALVE", kLatin, false)),
            (std::vector<size_t>{0, 2}));
  EXPECT_EQ(RowMatchCounts(store, TextLineMatcher("pump", kLatin, true)),
            (std::vector<size_t>{1, 1}));
}

TEST(RunSearch, RowLogSpansAreTheShownRunsLogs) {
  const LogStore store = Parsed(kFoldedLog);
  SpanReader reader(store);
  std::vector<std::string> logs;
  for (const LineSpan& span : RowLogSpans(store)) logs.emplace_back(reader.Bytes(span));
  EXPECT_EQ(logs,
            (std::vector<std::string>{"pump on\r\n", "valve open\r\nvalve closed\r\npump on\r\n"}));
}

// The parts cover the rows once, in order, and none takes much more than its share of the bytes.
TEST(RunSearch, SearchPartsShareTheBytes) {
  const LogStore store = Parsed(kFoldedLog);
  std::mt19937 random(7);
  for (int round = 0; round < 200; ++round) {
    std::vector<LineSpan> logs(random() % 12);
    uint64_t total = 0;
    uint64_t largest = 0;
    for (LineSpan& log : logs) {
      log = {total, total + random() % 1000, 1};
      total = log.End;
      largest = std::max(largest, log.Size());
    }
    const size_t count = 1 + random() % 5;
    const std::vector<SearchPart> parts = SearchParts(store, logs, count);
    ASSERT_EQ(parts.size(), count);
    size_t next = 0;
    for (const SearchPart& part : parts) {
      ASSERT_EQ(part.Begin, next) << "round " << round;
      next = part.End;
      uint64_t bytes = 0;
      for (size_t row = part.Begin; row < part.End; ++row) bytes += logs[row].Size();
      ASSERT_LE(bytes, total / count + 1 + largest) << "round " << round;
    }
    ASSERT_EQ(next, logs.size()) << "round " << round;
  }
}

}  // namespace
