#include <gtest/gtest.h>

#include <QRegularExpression>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "LineMatcher.h"
#include "LinePattern.h"
#include "RegexMatcher.h"

namespace {

constexpr Encoding kLatin = Encoding::Windows1252;
constexpr Encoding kUtf8 = Encoding::Utf8;
constexpr size_t kEveryMatch = 100000;

// Lines of the pieces of `alphabet`, with every kind of line end among them.
std::string RandomText(std::mt19937& random, size_t pieces,
                       const std::vector<std::string>& alphabet) {
  static const std::vector<std::string> kLineEnds = {"\n", "\r\n", "\r"};
  std::uniform_int_distribution<size_t> pick(0, alphabet.size() + kLineEnds.size() - 1);
  std::string text;
  for (size_t k = 0; k < pieces; ++k) {
    const size_t at = pick(random);
    text += at < alphabet.size() ? alphabet[at] : kLineEnds[at - alphabet.size()];
  }
  return text;
}

TRegexMatcher Matcher(const QString& expression, Encoding encoding, bool matchCase) {
  return TRegexMatcher(
      std::make_shared<const TCompiledPattern>(TLinePattern{expression, true, matchCase, false}),
      encoding);
}

// What the text `bytes` of `encoding` is as the user types it: UTF-8.
QString Typed(const std::string& bytes, Encoding encoding) {
  return QString::fromStdString(Decode(bytes, encoding));
}

struct PlainCase {
  const char* name;
  Encoding encoding;
  bool matchCase;
  // Letters that both engines fold alike, or none folded at all; marks of the expression syntax,
  // which an expression escapes; bytes that are no UTF-8.
  std::vector<std::string> alphabet;
};

class PlainTextExpression : public testing::TestWithParam<PlainCase> {};

// An expression that is plain text finds what the byte search finds, from anywhere, both ways.
TEST_P(PlainTextExpression, FindsAndCountsWhatTheByteSearchFinds) {
  const PlainCase& c = GetParam();
  std::mt19937 random(31);
  std::uniform_int_distribution<size_t> textSize(0, 90);
  std::uniform_int_distribution<size_t> needleSize(1, 3);
  for (int round = 0; round < 400; ++round) {
    const std::string text = RandomText(random, textSize(random), c.alphabet);
    std::string needle = RandomText(random, needleSize(random), c.alphabet);
    std::erase_if(needle, [](char b) { return b == '\r' || b == '\n'; });
    if (needle.empty() || (c.encoding == kUtf8 && !IsValidUtf8(needle))) continue;
    const QString typed = Typed(needle, c.encoding);
    const TRegexMatcher regex = Matcher(QRegularExpression::escape(typed), c.encoding, c.matchCase);
    const TextLineMatcher plain(typed.toStdString(), c.encoding, c.matchCase);
    const LineList lines = LineList::Of(text);
    SCOPED_TRACE(testing::Message() << "round " << round << " needle " << typed.toStdString());
    ASSERT_EQ(regex.CountMatchingLines(text), plain.CountMatchingLines(text));
    ASSERT_EQ(MatchOffsets(regex, lines, kEveryMatch), MatchOffsets(plain, lines, kEveryMatch));
    for (size_t from = 0; from <= text.size(); from += 5) {
      ASSERT_EQ(regex.FindForward(text, from), plain.FindForward(text, from)) << from;
      ASSERT_EQ(regex.FindBackward(text, from), plain.FindBackward(text, from)) << from;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    RegexMatcher, PlainTextExpression,
    testing::Values(
        PlainCase{"Windows1252IgnoringCase",
                  kLatin,
                  false,
                  {"a", "A", "b", "s", "S", "\xe9", "\xc9", "\xff", "\x9f", ".", "(", " ", "+"}},
        PlainCase{
            "Windows1252MatchingCase", kLatin, true, {"a", "A", "b", "\xe9", "\xc9", "[", "*"}},
        PlainCase{
            "Utf8IgnoringCase", kUtf8, false, {"a", "A", "b", "\xe2\x82\xac", "\xff", "?", "$"}},
        PlainCase{
            "Utf8MatchingCase",
            kUtf8,
            true,
            {"a", "b", "\xc3\xa9", "\xc3\x89", "\xf0\x9f\x99\x82", "\xe2\x82\xac", "\xff", "^"}}),
    [](const testing::TestParamInfo<PlainCase>& info) { return info.param.name; });

// Small expressions of a grammar that Perl's syntax and ECMAScript's read alike.
class RandomExpression {
 public:
  explicit RandomExpression(std::mt19937& random) : random_(random) {}

  std::string Make() {
    std::string expression = Chance(4) ? "^" : "";
    expression += Alternatives(0);
    if (Chance(4)) expression += "$";
    return expression;
  }

 private:
  bool Chance(int oneIn) { return std::uniform_int_distribution<int>(1, oneIn)(random_) == 1; }
  std::string Pick(const std::vector<std::string>& options) {
    return options[std::uniform_int_distribution<size_t>(0, options.size() - 1)(random_)];
  }
  // Appended piece by piece: GCC 12 at -O3 warns of an overlap in "(" + inner + ")" that is none.
  static std::string Grouped(const char* open, const std::string& inner) {
    std::string group(open);
    group.append(inner).append(")");
    return group;
  }
  std::string Alternatives(int depth) {
    std::string alternatives = Sequence(depth);
    if (Chance(4)) alternatives.append("|").append(Sequence(depth));
    return alternatives;
  }
  std::string Sequence(int depth) {
    std::string sequence;
    for (int k = std::uniform_int_distribution<int>(1, 3)(random_); k > 0; --k) {
      const std::string atom = Atom(depth);
      sequence += atom;
      // ECMAScript repeats no look-ahead.
      if (!atom.starts_with("(?") && Chance(3)) sequence += Pick({"*", "+", "?", "{1,2}", "*?"});
    }
    return sequence;
  }
  std::string Atom(int depth) {
    // Classes that take line ends, and look-aheads, which may look past a line's end when many
    // lines are searched at once.
    if (depth < 2 && Chance(6)) return Grouped("(", Alternatives(depth + 1));
    // (Not "(?=": PCRE2 10.42 takes the first character of a look-ahead for the first of the
    // match, and "(?=cb)[^x]*c" then finds nothing in "xcb".)
    if (depth < 2 && Chance(12)) return Grouped("(?!", Sequence(depth + 1));
    return Pick({"a", "b", "c", "a", "b", ".", "[ab]", "[^a]", "[^x]*c", "\\s"});
  }

  std::mt19937& random_;
};

// Each line as it would be alone, through the standard library's engine.
size_t LinesMatchingAlone(const std::string& text, const std::regex& expression) {
  size_t lines = 0;
  for (const std::string_view line : LineList::Of(text)) {
    if (std::regex_search(line.begin(), line.end(), expression)) ++lines;
  }
  return lines;
}

// The same count through a counter that takes the text in blocks cut anywhere.
size_t LinesCountedInBlocks(const LineMatcher& matcher, const std::string& text,
                            std::mt19937& random) {
  const std::unique_ptr<LineCounter> counter = matcher.NewCounter();
  std::uniform_int_distribution<size_t> cut(0, 9);
  for (size_t at = 0; at < text.size();) {
    const size_t size = std::min(cut(random), text.size() - at);
    counter->Add(std::string_view(text).substr(at, size));
    at += size;
  }
  return counter->Lines();
}

TEST(RegexMatcher, CountsTheLinesThatTheStandardEngineMatchesAlone) {
  std::mt19937 random(57);
  RandomExpression expressions(random);
  std::uniform_int_distribution<size_t> textSize(0, 60);
  const std::vector<std::string> alphabet = {"a", "b", "c", "x", " ", "ab", "cab"};
  for (int round = 0; round < 1500; ++round) {
    const std::string expression =
        round < 4 ? std::vector<std::string>{"^$", "^", "x*", "$"}[round] : expressions.Make();
    const bool matchCase = round % 3 != 0;
    const auto flags =
        matchCase ? std::regex::ECMAScript : std::regex::ECMAScript | std::regex::icase;
    const std::regex reference(expression, flags);
    const TRegexMatcher matcher =
        Matcher(QString::fromStdString(expression), round % 2 == 0 ? kLatin : kUtf8, matchCase);
    SCOPED_TRACE(testing::Message() << "round " << round << " expression " << expression);
    for (int text = 0; text < 6; ++text) {
      const std::string lines = RandomText(random, textSize(random), alphabet);
      SCOPED_TRACE(testing::Message() << "text \"" << lines << "\"");
      const size_t expected = LinesMatchingAlone(lines, reference);
      ASSERT_EQ(matcher.CountMatchingLines(lines), expected);
      ASSERT_EQ(LinesCountedInBlocks(matcher, lines, random), expected);
    }
  }
}

// Long enough for several windows, so that lines and matches meet a window's end.
TEST(RegexMatcher, CountsAcrossWindowsAsInOne) {
  std::mt19937 random(8);
  const std::string text = RandomText(random, 900000, {"pump a", "valve", "pum", "p b", " "});
  const std::regex reference("(pump|valve) ?[ab]");
  const TRegexMatcher matcher = Matcher(QStringLiteral("(pump|valve) ?[ab]"), kLatin, true);
  ASSERT_FALSE(matcher.PicksLinesByText());
  EXPECT_EQ(matcher.CountMatchingLines(text), LinesMatchingAlone(text, reference));
  EXPECT_EQ(LinesCountedInBlocks(matcher, text, random), LinesMatchingAlone(text, reference));
}

TEST(RegexMatcher, AnExpressionTheEngineRefusesMatchesNothingAndSaysWhy) {
  const TCompiledPattern compiled(TLinePattern{QStringLiteral("pump [ab"), true, false, false});
  EXPECT_FALSE(compiled.CanMatch());
  EXPECT_TRUE(compiled.Error().contains(QStringLiteral("at character")));
  const LineMatchers matchers = MatchersFor(compiled.Pattern());
  EXPECT_FALSE(matchers.For(kLatin)->CanMatch());
  EXPECT_EQ(matchers.For(kLatin)->CountMatchingLines("pump [ab\n"), 0U);
}

}  // namespace
