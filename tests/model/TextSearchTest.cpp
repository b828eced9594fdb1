#include "LineMatcher.h"
#include "TextSearch.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

// Found by the test framework next to TextMatch, to print a match that is not the expected one.
void PrintTo(const TextMatch& match, std::ostream* out) {
  *out << "{" << match.Offset << (match.Wrapped ? ", wrapped}" : "}");
}

namespace {

constexpr size_t kNoLimit = std::numeric_limits<size_t>::max();

// `bytes` cut into lines the way the store cuts them; the list reads `bytes`, which must outlive
// it.
LineList ListOf(const std::string& bytes) {
  return LineList::Of(bytes);
}

struct FindCase {
  const char* name;
  std::string text;
  Encoding encoding;
  std::string needle;  // UTF-8
  bool matchCase;
  std::vector<size_t> offsets;
};

class FindTest : public testing::TestWithParam<FindCase> {};

TEST_P(FindTest, FindsTheMatchesOneAfterTheOther) {
  const FindCase& c = GetParam();
  const LineList lines = ListOf(c.text);
  const TextLineMatcher search(c.needle, c.encoding, c.matchCase);
  EXPECT_EQ(MatchOffsets(search, lines, kNoLimit), c.offsets);
}

constexpr auto kLatin = Encoding::Windows1252;
constexpr auto kUtf8 = Encoding::Utf8;

INSTANTIATE_TEST_SUITE_P(
    Table, FindTest,
    testing::Values(
        FindCase{"MatchCaseSkipsOtherCases", "Abc abc ABC", kLatin, "abc", true, {4}},
        FindCase{"IgnoreCaseFoldsAsciiLetters", "Abc abc ABC", kLatin, "aBc", false, {0, 4, 8}},
        FindCase{"IgnoreCaseLeavesOtherBytes", "a[ a{", kLatin, "A[", false, {0}},
        FindCase{"Windows1252FoldsLatinLetters",
                 "\xc4pfel \xe4pfel \xc0\xe0\xde\xfe",
                 kLatin,
                 "\xc3\xa4PFEL",
                 false,
                 {0, 6}},
        FindCase{"Windows1252FoldsThornAndGrave",
                 "\xc0\xde \xe0\xfe",
                 kLatin,
                 "\xc3\xa0\xc3\xbe",
                 false,
                 {0, 3}},
        FindCase{"Windows1252MatchCaseKeepsLatinCase",
                 "\xc4pfel \xe4pfel",
                 kLatin,
                 "\xc3\xa4pfel",
                 true,
                 {6}},
        FindCase{"TimesAndDivideAreNoLetters", "\xd7\xf7", kLatin, "\xc3\x97", false, {0}},
        FindCase{"Windows1252FoldsCaronsPairwise",
                 "\x8a\x8e\x9f \x9a\x9e\xff",
                 kLatin,
                 "\xc5\xa1\xc5\xbe\xc3\xbf",
                 false,
                 {0, 4}},
        FindCase{"EuroSignIsOneWindows1252Byte",
                 "5 \x80 and 7 \x80",
                 kLatin,
                 "\xe2\x82\xac",
                 true,
                 {2, 10}},
        FindCase{"MicroInWindows1252", "5 \xb5l, 6 \xb5L", kLatin, "\xc2\xb5L", false, {2, 8}},
        FindCase{
            "CharacterWithoutWindows1252ByteMatchesNothing", "a?b", kLatin, "a\xce\xa9", false, {}},
        FindCase{"Utf8NeedleMatchesItsBytes",
                 "37 \xc2\xb0"
                 "C, 4 \xc2\xb0"
                 "c",
                 kUtf8,
                 "\xc2\xb0"
                 "C",
                 true,
                 {3}},
        FindCase{
            "Utf8FoldsOnlyAscii", "\xc3\x84pfel \xc3\xa4PFEL", kUtf8, "\xc3\xa4pfel", false, {7}},
        FindCase{
            "Utf8FoldsAsciiAroundOtherLetters", "\xc3\x84PFEL", kUtf8, "\xc3\x84pfel", false, {0}},
        FindCase{"NoMatchAcrossLineFeed", "ab\ncd", kLatin, "bc", true, {}},
        FindCase{"NoMatchAcrossCarriageReturnLineFeed", "ab\r\ncd", kLatin, "b\r\nc", true, {}},
        FindCase{"NeedleWithLineFeedMatchesNothing", "ab\ncd", kLatin, "b\nc", true, {}},
        FindCase{"NeedleWithCarriageReturnMatchesNothing", "ab\rcd", kUtf8, "b\rc", true, {}},
        FindCase{"EmptyNeedleMatchesNothing", "abc", kLatin, "", false, {}},
        FindCase{"AtTheVeryStartAndEnd", "xy mid\r\nmid xy", kLatin, "xy", true, {0, 12}},
        FindCase{"BeforeTheLastLineEnd", "one\r\ntwo\r\n", kLatin, "two", true, {5}},
        FindCase{"MatchesDoNotOverlap", "aaaaa", kLatin, "aa", true, {0, 2}},
        FindCase{"NeedleLongerThanText", "ab", kLatin, "abc", true, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TextSearch, CanMatchOnlyWhatALineCanHold) {
  EXPECT_TRUE(TextSearch("a b", kLatin, true).CanMatch());
  EXPECT_TRUE(TextSearch("\xe2\x82\xac", kLatin, true).CanMatch());
  EXPECT_FALSE(TextSearch("", kUtf8, true).CanMatch());
  EXPECT_FALSE(TextSearch("a\nb", kUtf8, true).CanMatch());
  EXPECT_FALSE(TextSearch("\r", kUtf8, false).CanMatch());
  EXPECT_FALSE(TextSearch("\xce\xa9", kLatin, false).CanMatch());
  EXPECT_TRUE(TextSearch("\xce\xa9", kUtf8, false).CanMatch());
}

TEST(MatchOffsets, StopsAtTheLimit) {
  const std::string text = "a a\na a";
  const LineList lines = ListOf(text);
  const TextLineMatcher search("A", kLatin, false);
  EXPECT_EQ(MatchOffsets(search, lines, 3), (std::vector<size_t>{0, 2, 4}));
  EXPECT_TRUE(MatchOffsets(search, lines, 0).empty());
}

// "one two\none two\none": the matches of "one" start at 0, 8 and 16.
const std::string kThreeOnes = "one two\none two\none";

struct StepCase {
  const char* name;
  size_t position;
  std::optional<TextMatch> next;
  std::optional<TextMatch> previous;
};

class StepTest : public testing::TestWithParam<StepCase> {};

TEST_P(StepTest, StepsToTheNeighbouringMatch) {
  const StepCase& c = GetParam();
  const LineList lines = ListOf(kThreeOnes);
  const TextLineMatcher search("ONE", kUtf8, false);
  EXPECT_EQ(NextMatch(search, lines, c.position), c.next);
  EXPECT_EQ(PreviousMatch(search, lines, c.position), c.previous);
}

INSTANTIATE_TEST_SUITE_P(
    Table, StepTest,
    testing::Values(StepCase{"AtTheStart", 0, TextMatch{0, 3, false}, TextMatch{16, 3, true}},
                    StepCase{"InsideTheFirst", 1, TextMatch{8, 3, false}, TextMatch{0, 3, false}},
                    StepCase{"AtTheSecond", 8, TextMatch{8, 3, false}, TextMatch{0, 3, false}},
                    StepCase{"JustAfterTheSecond", 9, TextMatch{16, 3, false},
                             TextMatch{8, 3, false}},
                    StepCase{"AtTheLast", 16, TextMatch{16, 3, false}, TextMatch{8, 3, false}},
                    StepCase{"InsideTheLast", 17, TextMatch{0, 3, true}, TextMatch{16, 3, false}},
                    StepCase{"AtTheEnd", 19, TextMatch{0, 3, true}, TextMatch{16, 3, false}},
                    StepCase{"BeyondTheEnd", 40, TextMatch{0, 3, true}, TextMatch{16, 3, false}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StepMatches, AnOnlyMatchIsFoundAgainFromItself) {
  const std::string text = "abc xyz abc";
  const LineList lines = ListOf(text);
  const TextLineMatcher search("xyz", kLatin, true);
  EXPECT_EQ(NextMatch(search, lines, 5), (TextMatch{4, 3, true}));
  EXPECT_EQ(PreviousMatch(search, lines, 4), (TextMatch{4, 3, true}));
}

TEST(StepMatches, NoneWithoutMatches) {
  const LineList lines = ListOf(kThreeOnes);
  for (const TextLineMatcher& search :
       {TextLineMatcher("three", kLatin, false), TextLineMatcher("", kLatin, false)}) {
    EXPECT_EQ(NextMatch(search, lines, 0), std::nullopt);
    EXPECT_EQ(PreviousMatch(search, lines, 19), std::nullopt);
  }
}

TEST(StepMatches, AnEmptyListHoldsNoMatch) {
  const LineList lines;
  const TextLineMatcher search("a", kLatin, false);
  EXPECT_EQ(NextMatch(search, lines, 0), std::nullopt);
  EXPECT_EQ(PreviousMatch(search, lines, 0), std::nullopt);
  EXPECT_TRUE(MatchOffsets(search, lines, kNoLimit).empty());
}

TEST(FindBackward, FindsTheLastMatchThatEndsInTime) {
  const TextSearch search("ab", kLatin, true);
  EXPECT_EQ(search.FindBackward("ab ab ab", 7), 3u);
  EXPECT_EQ(search.FindBackward("ab ab ab", 8), 6u);
  EXPECT_EQ(search.FindBackward("ab ab ab", 1), TextSearch::npos);
}

TEST(FindForward, StartsAtTheGivenByte) {
  const TextSearch search("AB", kLatin, false);
  EXPECT_EQ(search.FindForward("ab ab", 0), 0u);
  EXPECT_EQ(search.FindForward("ab ab", 1), 3u);
  EXPECT_EQ(search.FindForward("ab ab", 4), TextSearch::npos);
  EXPECT_EQ(search.FindForward("ab ab", 9), TextSearch::npos);
}

struct EncodeCase {
  const char* name;
  std::string utf8;
  std::optional<std::string> bytes;
};

class EncodeWindows1252Test : public testing::TestWithParam<EncodeCase> {};

TEST_P(EncodeWindows1252Test, GivesTheCodePageBytes) {
  EXPECT_EQ(EncodeWindows1252(GetParam().utf8), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Table, EncodeWindows1252Test,
    testing::Values(EncodeCase{"AsciiUnchanged", "abc\t~", "abc\t~"},
                    EncodeCase{"LatinOneRange", "\xc2\xa0\xc2\xb5\xc3\xbf", "\xa0\xb5\xff"},
                    EncodeCase{"EuroQuotesAndYDiaeresis", "\xe2\x82\xac\xe2\x80\x9c\xc5\xb8",
                               "\x80\x93\x9f"},
                    EncodeCase{"UndefinedBytesFromC1Controls",
                               "\xc2\x81\xc2\x8d\xc2\x8f\xc2\x90\xc2\x9d", "\x81\x8d\x8f\x90\x9d"},
                    EncodeCase{"OtherC1ControlsHaveNoByte", "\xc2\x80", std::nullopt},
                    EncodeCase{"GreekHasNoByte", "a\xce\xa9", std::nullopt},
                    EncodeCase{"EmojiHasNoByte", "\xf0\x9f\x98\x80", std::nullopt},
                    EncodeCase{"InvalidUtf8HasNoBytes", "a\xff", std::nullopt},
                    EncodeCase{"Empty", "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(EncodeWindows1252, DecodesBackToTheSameText) {
  std::string every;
  for (int byte = 1; byte < 256; ++byte) every += static_cast<char>(byte);
  EXPECT_EQ(EncodeWindows1252(Decode(every, Encoding::Windows1252)), every);
}

}  // namespace
