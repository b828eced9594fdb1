#include <gtest/gtest.h>

#include "RequiredText.h"

namespace {

struct RequiredCase {
  const char* name;
  const char* text;
  bool regex;
  bool matchCase;
  const char* required;
};

class RequiredTextTest : public testing::TestWithParam<RequiredCase> {};

TEST_P(RequiredTextTest, IsTheLongestRunEveryMatchHolds) {
  const RequiredCase& c = GetParam();
  const TLinePattern pattern{QString::fromUtf8(c.text), c.regex, c.matchCase, false};
  EXPECT_EQ(RequiredText(pattern), QString::fromUtf8(c.required));
}

INSTANTIATE_TEST_SUITE_P(
    RequiredText, RequiredTextTest,
    testing::Values(
        RequiredCase{"PlainTextIsItself", "Pump A", false, true, "Pump A"},
        RequiredCase{"RunBeforeAClass", "pump [ab]", true, false, "pump "},
        RequiredCase{"ARepeatThatMayTakeNoneDropsItsCharacter", "pumps?x", true, true, "pump"},
        RequiredCase{"ARepeatOfOneOrMoreKeepsItsCharacter", "ab+c", true, true, "ab"},
        RequiredCase{"EscapedMarksAreThemselves", "a\\.b\\(", true, true, "a.b("},
        RequiredCase{"AnEscapedLetterEndsTheLook", "ab\\dcdef", true, true, "ab"},
        RequiredCase{"AlternativesHaveNone", "pump|valve", true, true, ""},
        RequiredCase{"InlineOptionsHaveNone", "(?i)pump", true, true, ""},
        RequiredCase{"TheDotBreaksARun", "ab.cde", true, true, "cde"},
        RequiredCase{"IgnoringCaseSAndKFoldBeyondAscii", "masks", false, false, "ma"},
        RequiredCase{"IgnoringCaseOtherLettersBeyondAsciiBreak", "caf\xc3\xa9 bar", false, false,
                     " bar"},
        RequiredCase{"MatchingCaseAnyCharacterCounts", "caf\xc3\xa9", true, true, "caf\xc3\xa9"}),
    [](const testing::TestParamInfo<RequiredCase>& info) { return info.param.name; });

}  // namespace
