#include <gtest/gtest.h>

#include "TextEncoding.h"

namespace {

struct DecodeCase {
  const char* name;
  std::string bytes;
  Encoding encoding;
  std::string utf8;
};
void PrintTo(const DecodeCase& c, std::ostream* out) {
  *out << c.name;
}

class DecodeTest : public testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeTest, GivesTheExpectedCharacters) {
  EXPECT_EQ(Decode(GetParam().bytes, GetParam().encoding), GetParam().utf8);
}

INSTANTIATE_TEST_SUITE_P(
    Table, DecodeTest,
    testing::Values(
        DecodeCase{"AsciiUnchanged", "abc\t~", Encoding::Windows1252, "abc\t~"},
        DecodeCase{"MicroAndDegree",
                   "5 \xb5l at 37 \xb0"
                   "C",
                   Encoding::Windows1252,
                   "5 \xc2\xb5l at 37 \xc2\xb0"
                   "C"},
        DecodeCase{"EuroAndQuotes", "\x80\x93\x9f", Encoding::Windows1252,
                   "\xe2\x82\xac\xe2\x80\x9c\xc5\xb8"},
        DecodeCase{"UndefinedBytesBecomeC1Controls", "\x81\x8d\x8f\x90\x9d", Encoding::Windows1252,
                   "\xc2\x81\xc2\x8d\xc2\x8f\xc2\x90\xc2\x9d"},
        DecodeCase{"LatinOneRange", "\xa0\xff", Encoding::Windows1252, "\xc2\xa0\xc3\xbf"},
        DecodeCase{"NulKept", std::string("a\0b", 3), Encoding::Windows1252,
                   std::string("a\0b", 3)},
        DecodeCase{"ValidUtf8Kept", "\xc2\xb5l \xe2\x82\xac \xf0\x9f\x98\x80", Encoding::Utf8,
                   "\xc2\xb5l \xe2\x82\xac \xf0\x9f\x98\x80"},
        DecodeCase{"CutSequenceIsReplacement", "ab\xe2\x82", Encoding::Utf8, "ab\xef\xbf\xbd"},
        DecodeCase{"LoneContinuationIsReplacement", "\x80x", Encoding::Utf8, "\xef\xbf\xbdx"},
        DecodeCase{"OverlongIsReplacedPerByte", "\xc0\xaf", Encoding::Utf8,
                   "\xef\xbf\xbd\xef\xbf\xbd"},
        DecodeCase{"SurrogateIsReplaced", "\xed\xa0\x80", Encoding::Utf8,
                   "\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd"},
        DecodeCase{"AboveUnicodeIsReplaced", "\xf4\x90\x80\x80", Encoding::Utf8,
                   "\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TextEncoding, AutoChoosesUtf8OnlyForValidUtf8WithHighBytes) {
  const struct {
    std::string text;
    Encoding expected;
  } cases[] = {
      {"", Encoding::Windows1252},
      {"plain ascii text that is long enough to use whole words", Encoding::Windows1252},
      {"37 \xc2\xb0"
       "C",
       Encoding::Utf8},
      {"37 \xb0"
       "C",
       Encoding::Windows1252},
      {"valid \xc2\xb5 then invalid \xb5", Encoding::Windows1252},
      // The writer's last block ended inside a character.
      {"ends cut \xe2\x82", Encoding::Utf8},
      {"ends at a lead byte \xf0", Encoding::Utf8},
      {"cut in the middle \xe2\x82 then more", Encoding::Windows1252},
      {"ends with an overlong start \xe0\x80", Encoding::Windows1252},
      {"ends with a lead byte that never starts a sequence \xc1", Encoding::Windows1252},
      {"ends beyond Unicode \xf4\x90", Encoding::Windows1252},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ResolveEncoding(EncodingChoice::Auto, c.text), c.expected) << c.text;
  }
  EXPECT_EQ(ResolveEncoding(EncodingChoice::Utf8, "\xb0"), Encoding::Utf8);
  EXPECT_EQ(ResolveEncoding(EncodingChoice::Windows1252, "\xc2\xb0"), Encoding::Windows1252);
}

TEST(TextEncoding, EveryWindows1252ByteDecodesToOneCharacter) {
  for (int byte = 1; byte < 256; ++byte) {
    const std::string decoded =
        Decode(std::string(1, static_cast<char>(byte)), Encoding::Windows1252);
    EXPECT_TRUE(IsValidUtf8(decoded)) << byte;
    EXPECT_NE(decoded, "\xef\xbf\xbd") << byte;
  }
}

TEST(TextEncoding, NamesParseInAnyCase) {
  EXPECT_EQ(ParseEncodingChoice("AUTO"), EncodingChoice::Auto);
  EXPECT_EQ(ParseEncodingChoice("Windows-1252"), EncodingChoice::Windows1252);
  EXPECT_EQ(ParseEncodingChoice("utf8"), EncodingChoice::Utf8);
  EXPECT_EQ(ParseEncodingChoice("latin1"), std::nullopt);
  EXPECT_EQ(ParseEncodingChoice(""), std::nullopt);
}

}  // namespace
