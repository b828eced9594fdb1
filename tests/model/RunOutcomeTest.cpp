#include <gtest/gtest.h>

#include <sstream>

#include "StoreDump.h"
#include "StoreText.h"

namespace {

using Strings = std::vector<std::string>;

// A run's header lines without a type line; its log starts after them.
const Strings kHeader = {"==>loading script \"S\".", "-", "Started: 10:00"};

Strings Concat(std::initializer_list<Strings> parts) {
  Strings all;
  for (const Strings& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

struct OutcomeCase {
  const char* name;
  Strings lines;
  std::vector<RunOutcome> outcomes;
  std::vector<size_t> logLines;  // of each run
};

class RunOutcomeTest : public testing::TestWithParam<OutcomeCase> {};

TEST_P(RunOutcomeTest, RecordsHowEachRunEnded) {
  const OutcomeCase& c = GetParam();
  const LogStore store = Parsed(LogText(c.lines));
  EXPECT_EQ(store.Outcomes, c.outcomes);
  std::vector<size_t> logLines;
  for (const LineSpan& log : store.RunLogs) logLines.push_back(log.Count);
  EXPECT_EQ(logLines, c.logLines);
}

const Strings kEntryStart = {"------ NextPart = Script", "script", "------ NextPart = LogMessage"};

INSTANTIATE_TEST_SUITE_P(
    Table, RunOutcomeTest,
    testing::Values(
        OutcomeCase{"FinishedEndLine",
                    Concat({kEntryStart, kHeader, {"m", "==>script execution finished."}}),
                    {RunOutcome::Finished},
                    {1}},
        OutcomeCase{"StoppedEndLine",
                    Concat({kEntryStart, kHeader, {"m", "==>script execution stopped by user."}}),
                    {RunOutcome::Stopped},
                    {1}},
        OutcomeCase{"NewEntry",
                    Concat({kEntryStart, kHeader, {"m", "------ NextEntry"}}),
                    {RunOutcome::Open},
                    {2}},
        OutcomeCase{
            "EndOfFile", Concat({kEntryStart, kHeader, {"m1", "m2"}}), {RunOutcome::Open}, {2}},
        OutcomeCase{"EndLineWithABlankIsALogLine",
                    Concat({kEntryStart, kHeader, {"==>script execution finished. "}}),
                    {RunOutcome::Open},
                    {1}},
        OutcomeCase{"EachRunOfAnEntry",
                    Concat({kEntryStart,
                            kHeader,
                            {"==>script execution stopped by user."},
                            kHeader,
                            {"==>script execution finished."},
                            kHeader,
                            {"m", "------ NextEntry"}}),
                    {RunOutcome::Stopped, RunOutcome::Finished, RunOutcome::Open},
                    {0, 0, 2}},
        OutcomeCase{
            "EndLineAfterTheEntryEndedIsNoRunsEnd",
            Concat({kEntryStart, kHeader, {"------ NextEntry", "==>script execution finished."}}),
            {RunOutcome::Open},
            {1}},
        OutcomeCase{"NoRuns", kEntryStart, {}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RunOutcome, DumpGivesEachRunItsOutcome) {
  const LogStore store = Parsed(LogText(
      Concat({kEntryStart, kHeader, {"==>script execution stopped by user."}, kHeader, {"m"}})));
  std::ostringstream json;
  WriteStoreJson(json, store);
  const std::string text = json.str();
  const size_t stopped = text.find("\"logIndex\": 0, \"outcome\": \"stopped\"}");
  const size_t open = text.find("\"logIndex\": 1, \"outcome\": \"open\"}");
  EXPECT_NE(stopped, std::string::npos) << text;
  EXPECT_NE(open, std::string::npos) << text;
}

}  // namespace
