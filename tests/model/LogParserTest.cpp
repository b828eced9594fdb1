#include <gtest/gtest.h>

#include "StoreText.h"

namespace {

using Strings = std::vector<std::string>;

// The marker lines as the control software writes them, spelt here and not taken from the parser,
// so that a misspelt marker in the parser fails these tests.
const std::string kEntry = "------ NextPart = Script";
const std::string kLogPart = "------ NextPart = LogMessage";
const std::string kNext = "------ NextEntry";
const std::string kFinished = "==>script execution finished.";
const std::string kStopped = "==>script execution stopped by user.";

std::string Padded(const std::string& prefix, size_t length, char fill = 'x') {
  std::string line = prefix;
  for (size_t i = 0; line.size() < length; ++i) line += static_cast<char>(fill + i % 3);
  return line.substr(0, length);
}

TEST(LogParser, WorkedExampleOfTheFormat) {
  const std::string loading0 = Padded("==>loading script", 30);
  const std::string date0 = Padded("", 28, 'a');
  const std::string type0 = Padded("==>script type", 20);
  const std::string name0 = Padded("", 35, 'n');
  const Strings lines = {"title",
                         kEntry,
                         "A",
                         "B",
                         kLogPart,
                         "message",
                         loading0,
                         "any",
                         date0,
                         type0,
                         name0,
                         "M1",
                         kFinished,
                         "M2",
                         "==>loading script second",
                         "any",
                         "date/time 2026-01-02 10:00",
                         "M3",
                         "x ==>script type y",
                         "short line 1",
                         "C:\\scripts\\two.scr",
                         "M4",
                         kNext,
                         kEntry,
                         "C"};
  ASSERT_EQ(lines.size(), 25u);
  const LogStore store = Parsed(LogText(lines));

  EXPECT_EQ(Lines(store, store.ScriptParts), (std::vector<Strings>{{"A", "B"}, {"C"}}));
  EXPECT_EQ(Lines(store, store.RunLogs),
            (std::vector<Strings>{{date0, type0, name0, "M1"},
                                  {"M3", "x ==>script type y", "short line 1",
                                   "C:\\scripts\\two.scr", "M4", kNext}}));
  EXPECT_EQ(Fields(store.Runs),
            (std::vector<RunFields>{
                {date0.substr(9), loading0.substr(19, 9), type0.substr(16), name0.substr(21), 0, 0},
                {lines[16].substr(9), "eco", lines[18].substr(16), "C:\\scripts\\two.scr", 0, 1}}));
  EXPECT_EQ(store.RowToRun, (std::vector<int32_t>{0, 1}));
}

// One run whose header lines are given; the field under test is read from the result.
struct HeaderCase {
  const char* name;
  Strings header;  // lines from the loading line H on
  RunFields expected;
  Strings log;
};
void PrintTo(const HeaderCase& c, std::ostream* out) {
  *out << c.name;
}

class RunHeaderTest : public testing::TestWithParam<HeaderCase> {};

TEST_P(RunHeaderTest, CutsFieldsByPosition) {
  const HeaderCase& c = GetParam();
  Strings lines = {kEntry, "script", kLogPart};
  lines.insert(lines.end(), c.header.begin(), c.header.end());
  const LogStore store = Parsed(LogText(lines));
  ASSERT_EQ(store.Runs.size(), 1u);
  EXPECT_EQ(Fields(store.Runs)[0], c.expected);
  ASSERT_EQ(store.RunLogs.size(), 1u);
  EXPECT_EQ(Lines(store, store.RunLogs[0]), c.log);
}

const std::string kType = "==>script type: X";  // 17 characters: ScriptType is "X"

INSTANTIATE_TEST_SUITE_P(
    Cuts, RunHeaderTest,
    testing::Values(
        HeaderCase{"LoadingLineOf17HasEmptyScript",
                   {"==>loading script", "-", "123456789T", kType, Padded("", 22), kFinished},
                   {"T", "", "X", "x", 0, 0},
                   {"123456789T", kType, Padded("", 22)}},
        HeaderCase{"LoadingLineOf21HasEmptyScript",
                   {"==>loading script abc", "-", "", "m", kFinished},
                   {"", "", "", "", 0, 0},
                   {"m"}},
        HeaderCase{"LoadingLineOf22GivesItsTwentiethCharacter",
                   {"==>loading script abcd", "-", "", "m", kFinished},
                   {"", "b", "", "", 0, 0},
                   {"m"}},
        HeaderCase{"PluralLoadingLineStartsARun",
                   {"==>loading scripts now..", "-", "date/time12", "m", kFinished},
                   {"12", "now", "", "", 0, 0},
                   {"m"}},
        HeaderCase{"DateLineOf9IsEmpty",
                   {"==>loading script", "-", "123456789", "m", kFinished},
                   {"", "", "", "", 0, 0},
                   {"m"}},
        HeaderCase{"TypeLineOf16IsEmptyType",
                   {"==>loading script", "-", "d", "==>script type: ", "file", "name", kFinished},
                   {"", "", "", "name", 0, 0},
                   {"d", "==>script type: ", "file", "name"}},
        HeaderCase{"TypeMarkerWithoutItsLastLetterIsNoTypeLine",
                   {"==>loading script", "-", "d", "==>script typ: X", "f", "name", kFinished},
                   {"", "", "", "", 0, 0},
                   {"==>script typ: X", "f", "name"}},
        HeaderCase{"TypeMarkerAfterOtherTextStillCutsFrom17",
                   {"==>loading script", "-", "d", "abc==>script type", "f", "name", kStopped},
                   {"", "", "e", "name", 0, 0},
                   {"d", "abc==>script type", "f", "name"}},
        HeaderCase{"FilenameLineOf21TakesTheNextLineWhole",
                   {"==>loading script", "-", "d", kType, Padded("", 21), " next line ", kFinished},
                   {"", "", "X", " next line ", 0, 0},
                   {"d", kType, Padded("", 21), " next line "}},
        HeaderCase{"FilenameLineOf22GivesIts22ndCharacter",
                   {"==>loading script", "-", "d", kType, Padded("", 21) + "Z", "n", kFinished},
                   {"", "", "X", "Z", 0, 0},
                   {"d", kType, Padded("", 21) + "Z", "n"}},
        HeaderCase{
            "TypeOnFifthHeaderLineStartsTheLogAtTheFourth",
            {"==>loading script", "-", "d", "first message", kType, "f", "name", "m", kFinished},
            {"", "", "X", "name", 0, 0},
            {"first message", kType, "f", "name", "m"}},
        HeaderCase{"NoTypeLineMeansNoTypeAndLogFromTheFourthLine",
                   {"==>loading script", "-", "date line 1", "m1", "m2", "m3", kFinished},
                   {" 1", "", "", "", 0, 0},
                   {"m1", "m2", "m3"}},
        HeaderCase{"TypeOnSixthLineIsNotATypeLine",
                   {"==>loading script", "-", "d", "m1", "m2", kType, "f", kFinished},
                   {"", "", "", "", 0, 0},
                   {"m1", "m2", kType, "f"}},
        HeaderCase{"RunWithoutEndTakesEverythingUpToNextEntry",
                   {"==>loading script", "-", "d", "m", "==>loading script", kEntry, kLogPart,
                    kNext, "after"},
                   {"", "", "", "", 0, 0},
                   {"m", "==>loading script", kEntry, kLogPart, kNext}}),
    [](const auto& info) { return std::string(info.param.name); });

// Lines that look like markers but are not, in the state where the marker would count.
struct NearMissCase {
  const char* name;
  Strings lines;
  size_t scripts;
  size_t runs;
};
void PrintTo(const NearMissCase& c, std::ostream* out) {
  *out << c.name;
}

class MarkerNearMissTest : public testing::TestWithParam<NearMissCase> {};

TEST_P(MarkerNearMissTest, IsAnOrdinaryLine) {
  const NearMissCase& c = GetParam();
  const LogStore store = Parsed(LogText(c.lines));
  EXPECT_EQ(store.ScriptParts.size(), c.scripts);
  EXPECT_EQ(store.Runs.size(), c.runs);
  EXPECT_EQ(store.RunLogs.size(), store.Runs.size());
}

INSTANTIATE_TEST_SUITE_P(
    Markers, MarkerNearMissTest,
    testing::Values(
        NearMissCase{
            "EntryWithLeadingBlank", {" " + kEntry, kLogPart, "==>loading script", "-"}, 0, 0},
        NearMissCase{
            "EntryWithTrailingBlank", {kEntry + " ", kLogPart, "==>loading script", "-"}, 0, 0},
        NearMissCase{"EntryInOtherCase",
                     {"------ nextpart = script", kLogPart, "==>loading script", "-"},
                     0,
                     0},
        NearMissCase{"LogPartWithTrailingBlank",
                     {kEntry, kLogPart + " ", "==>loading script", "-", "d"},
                     1,
                     0},
        NearMissCase{
            "LoadingWithLeadingBlank", {kEntry, kLogPart, " ==>loading script", "-", "d"}, 1, 0},
        NearMissCase{"LoadingInOtherCase", {kEntry, kLogPart, "==>Loading script", "-", "d"}, 1, 0},
        NearMissCase{
            "LoadingWithoutItsLastLetter", {kEntry, kLogPart, "==>loading scrip", "-", "d"}, 1, 0},
        NearMissCase{"NextEntryWithBlankDoesNotEndTheEntry",
                     {kEntry, kLogPart, kNext + " ", "==>loading script", "-", "d"},
                     1,
                     1},
        NearMissCase{"EntryMarkerInsideScriptText",
                     {kEntry, kEntry, kNext, "==>loading script", "-", "d"},
                     1,
                     0},
        NearMissCase{"LogPartMarkerBetweenRunsIsSkipped",
                     {kEntry, kLogPart, kEntry, "==>loading script", "-", "d"},
                     1,
                     1}),
    [](const auto& info) { return std::string(info.param.name); });

// End of the file in each state. Also covers a file that ends inside a run header: the earlier
// runs and the fields that are there stay, and RunLogs and Runs keep the same length.
struct EndCase {
  const char* name;
  Strings lines;
  std::vector<Strings> scripts;
  std::vector<Strings> logs;
  std::vector<RunFields> runs;
};
void PrintTo(const EndCase& c, std::ostream* out) {
  *out << c.name;
}

class EndOfFileTest : public testing::TestWithParam<EndCase> {};

TEST_P(EndOfFileTest, KeepsWhatWasRead) {
  const EndCase& c = GetParam();
  const LogStore store = Parsed(LogText(c.lines));
  EXPECT_EQ(Lines(store, store.ScriptParts), c.scripts);
  EXPECT_EQ(Lines(store, store.RunLogs), c.logs);
  EXPECT_EQ(Fields(store.Runs), c.runs);
}

INSTANTIATE_TEST_SUITE_P(
    States, EndOfFileTest,
    testing::Values(
        EndCase{"EmptyFile", {}, {}, {}, {}},
        EndCase{"NoEntry", {"just", "text", kLogPart, "==>loading script", "-", "d"}, {}, {}, {}},
        EndCase{"JustAfterEntryLine", {"x", kEntry}, {{}}, {}, {}},
        EndCase{"InScriptText",
                {kEntry, "a", kNext, "==>loading script x"},
                {{"a", kNext, "==>loading script x"}},
                {},
                {}},
        EndCase{"BetweenRuns", {kEntry, "a", kLogPart, "noise"}, {{"a"}}, {}, {}},
        EndCase{"LoadingLineIsLastLine", {kEntry, kLogPart, "==>loading script"}, {{}}, {}, {}},
        EndCase{"LoadingLineIsLastButOne",
                {kEntry, kLogPart, "==>loading script abcde", "-"},
                {{}},
                {{}},
                {{"", "bc", "", "", 0, 0}}},
        EndCase{"EndsAfterDateLine",
                {kEntry, kLogPart, "==>loading script", "-", "date/time 1"},
                {{}},
                {{}},
                {{" 1", "", "", "", 0, 0}}},
        EndCase{"EndsAtTypeLineOnFourth",
                {kEntry, kLogPart, "==>loading script", "-", "d", kType},
                {{}},
                {{"d", kType}},
                {{"", "", "X", "", 0, 0}}},
        EndCase{"EndsAfterShortFilenameLine",
                {kEntry, kLogPart, "==>loading script", "-", "d", kType, "short"},
                {{}},
                {{"d", kType, "short"}},
                {{"", "", "X", "", 0, 0}}},
        EndCase{"EndsInRunLog",
                {kEntry, kLogPart, "==>loading script", "-", "d", "m1", "m2"},
                {{}},
                {{"m1", "m2"}},
                {{"", "", "", "", 0, 0}}},
        EndCase{"EndsOnRunEnd",
                {kEntry, kLogPart, "==>loading script", "-", "d", kFinished},
                {{}},
                {{}},
                {{"", "", "", "", 0, 0}}},
        EndCase{"EntryWithoutRuns",
                {kEntry, "s1", kLogPart, "m", kNext, kEntry, "s2", kLogPart, "==>loading script",
                 "-", "d", "m", kStopped},
                {{"s1"}, {"s2"}},
                {{"m"}},
                {{"", "", "", "", 1, 0}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LogParser, RunsAfterAScriptMarkerBetweenRunsBelongToTheOpenEntry) {
  const LogStore store = Parsed(LogText({kEntry,
                                         "s",
                                         kLogPart,
                                         "==>loading script",
                                         "-",
                                         "d1",
                                         kFinished,
                                         kEntry,
                                         "==>loading script",
                                         "-",
                                         "d2",
                                         kFinished,
                                         kNext,
                                         kEntry,
                                         "t",
                                         kLogPart,
                                         "==>loading script",
                                         "-",
                                         "d3",
                                         "m"}));
  ASSERT_EQ(store.Runs.size(), 3u);
  EXPECT_EQ(store.Runs[0].ScriptIndex, 0);
  EXPECT_EQ(store.Runs[1].ScriptIndex, 0);
  EXPECT_EQ(store.Runs[2].ScriptIndex, 1);
  EXPECT_EQ(store.Runs[1].LogIndex, 1);
}

TEST(LogParser, LineEndsOfEveryKindGiveTheSameStore) {
  const Strings lines = {"t",      kEntry,
                         "script", "",
                         kLogPart, "==>loading script abcdef",
                         "-",      "2026-12-01 08:00:00",
                         kType,    Padded("", 30),
                         "m",      "",
                         kFinished};
  const LogStore crlf = Parsed(LogText(lines, "\r\n"));
  for (const char* lineEnd : {"\n", "\r"}) {
    const LogStore other = Parsed(LogText(lines, lineEnd));
    EXPECT_EQ(Lines(other, other.ScriptParts), Lines(crlf, crlf.ScriptParts))
        << "line end " << int(lineEnd[0]);
    EXPECT_EQ(Lines(other, other.RunLogs), Lines(crlf, crlf.RunLogs));
    EXPECT_EQ(Fields(other.Runs), Fields(crlf.Runs));
  }
  std::string noFinalLineEnd = LogText(lines, "\n");
  noFinalLineEnd.pop_back();
  EXPECT_EQ(Lines(Parsed(noFinalLineEnd), Parsed(noFinalLineEnd).RunLogs),
            Lines(crlf, crlf.RunLogs));
}

TEST(LogParser, MixedLineEndsSplitAsCrLfLoneCrAndLoneLf) {
  const LogStore store = Parsed(kEntry + "\na\r\r\nb\n\rc\r\n\n" + kLogPart);
  EXPECT_EQ(Lines(store, store.ScriptParts), (std::vector<Strings>{{"a", "", "b", "", "c", ""}}));
}

TEST(LogParser, BinaryBytesAndNulAreOrdinaryCharacters) {
  std::string nul("m\0x", 3);
  const LogStore store =
      Parsed(LogText({kEntry, "\xff\xfe", kLogPart, "==>loading script", "-", "d", nul}));
  EXPECT_EQ(Lines(store, store.ScriptParts), (std::vector<Strings>{{"\xff\xfe"}}));
  EXPECT_EQ(Lines(store, store.RunLogs), (std::vector<Strings>{{nul}}));
}

TEST(LogParser, LoadingTwiceGivesEqualStoresWithIndicesFromZero) {
  const std::string text = LogText({kEntry, "s", kLogPart, "==>loading script", "-", "d", "m"});
  LogStore store;
  LoadLogText(store, LogText({kEntry, kLogPart, "==>loading script", "-", "a", kFinished,
                              "==>loading script", "-", "b"}));
  LoadLogText(store, text);
  const LogStore fresh = Parsed(text);
  EXPECT_EQ(Fields(store.Runs), Fields(fresh.Runs));
  EXPECT_EQ(Lines(store, store.RunLogs), Lines(fresh, fresh.RunLogs));
  EXPECT_EQ(Lines(store, store.ScriptParts), Lines(fresh, fresh.ScriptParts));
}

TEST(LogStore, RowsOutsideTheTableThrowInsteadOfReadingBeyond) {
  const LogStore store =
      Parsed(LogText({kEntry, "a", kLogPart, "==>loading script", "-", "d", "m"}));
  EXPECT_EQ(Lines(store, store.LogOf(store.RunOfRow(0))), std::vector<std::string>{"m"});
  EXPECT_EQ(Lines(store, store.ScriptOf(store.RunOfRow(0))), std::vector<std::string>{"a"});
  EXPECT_THROW((void)store.RunOfRow(1), std::out_of_range);
}

}  // namespace
