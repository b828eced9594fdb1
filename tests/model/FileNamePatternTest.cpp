#include <gtest/gtest.h>

#include "FileNamePattern.h"

namespace {

struct PatternCase {
  const char* name;
  const char* fileName;
  const char* pattern;
  bool fits;
};

class FileNamePatternTest : public testing::TestWithParam<PatternCase> {};

TEST_P(FileNamePatternTest, FitsAsAShellReadsThePattern) {
  EXPECT_EQ(FitsFileNamePattern(GetParam().fileName, GetParam().pattern), GetParam().fits);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FileNamePatternTest,
    testing::Values(
        PatternCase{"StarAndExtension", "2026-12-01.log", "*.log", true},
        PatternCase{"OtherExtension", "2026-12-01.txt", "*.log", false},
        PatternCase{"ExtensionOnlyInTheMiddle", "a.log.bak", "*.log", false},
        PatternCase{"StarMatchesNothing", ".log", "*.log", true},
        PatternCase{"StarTriesEveryPlace", "a.log.log", "*.log", true},
        PatternCase{"TwoStars", "reader 1 - day 2.log", "reader*day*.log", true},
        PatternCase{"TwoStarsInTheWrongOrder", "day 2 reader.log", "reader*day*", false},
        PatternCase{"QuestionMarkIsOneCharacter", "b.log", "?.log", true},
        PatternCase{"QuestionMarkIsNotTwo", "bb.log", "?.log", false},
        PatternCase{"QuestionMarkIsNotNone", ".log", "?.log", false},
        PatternCase{"QuestionMarkTakesALetterOutsideAscii", "\xc3\xbc.log", "?.log", true},
        PatternCase{"StarAlone", "anything at all", "*", true},
        PatternCase{"ExactName", "run.log", "run.log", true},
        PatternCase{"LongerThanThePattern", "run.log2", "run.log", false},
        PatternCase{"EmptyNameFitsStar", "", "*", true},
        PatternCase{"EmptyNameNeedsACharacter", "", "?", false},
#ifdef _WIN32
        PatternCase{"WindowsIgnoresCase", "RUN.LOG", "*.log", true}
#else
        PatternCase{"CaseCounts", "RUN.LOG", "*.log", false}
#endif
        ),
    [](const testing::TestParamInfo<PatternCase>& info) { return info.param.name; });

}  // namespace
