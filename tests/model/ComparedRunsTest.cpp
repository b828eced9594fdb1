// What the comparison of two runs is made of, beside the diff: the rows a diff shows and the
// steps between its differences, the unified diff applied as a patch, the lines of a run read
// into a copy, and the baseline row of a run.
#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "BaselineRow.h"
#include "DiffRows.h"
#include "LogStore.h"
#include "RunLines.h"
#include "StoreText.h"
#include "UnifiedDiff.h"

namespace {

using Kind = DiffBlock::Kind;
using Values = std::vector<uint64_t>;
const std::atomic<bool> kGoOn = false;

Values RandomValues(std::mt19937& random, size_t most) {
  Values values(random() % (most + 1));
  for (uint64_t& value : values) value = random() % 4;
  return values;
}

// Each row of `diff` spelt out, the plain way.
std::vector<DiffRows::Row> Expanded(const LineDiff& diff) {
  std::vector<DiffRows::Row> rows;
  for (const DiffBlock& block : diff.Blocks) {
    for (size_t k = 0; k < block.Count; ++k) {
      DiffRows::Row row{block.What, std::nullopt, std::nullopt};
      if (block.What != Kind::OnlyRun) row.Baseline = block.Baseline + k;
      if (block.What != Kind::OnlyBaseline) row.Run = block.Run + k;
      rows.push_back(row);
    }
  }
  return rows;
}

std::string Text(uint64_t value) {
  return "line " + std::to_string(value);
}

// Applies a unified diff of `baseline` to it, checking each hunk's header against its lines.
std::vector<std::string> Patched(const std::vector<std::string>& baseline,
                                 const std::string& patch) {
  std::istringstream in(patch);
  std::string line;
  std::vector<std::string> out;
  size_t next = 0;  // the next baseline line not yet taken over
  size_t oldLeft = 0;
  size_t newLeft = 0;
  while (std::getline(in, line)) {
    if (line.starts_with("--- ") || line.starts_with("+++ ")) continue;
    if (line.starts_with("@@ ")) {
      EXPECT_EQ(oldLeft + newLeft, 0U) << "hunk shorter than its header";
      // "@@ -3,12 +3,13 @@"
      size_t oldStart = 0;
      size_t newStart = 0;
      char comma = 0;
      std::istringstream header(line.substr(4));
      header >> oldStart >> comma >> oldLeft;
      header.ignore(2);
      header >> newStart >> comma >> newLeft;
      EXPECT_TRUE(header) << line;
      const size_t from = oldLeft == 0 ? oldStart : oldStart - 1;
      while (next < from) out.push_back(baseline.at(next++));
      EXPECT_EQ(newStart, out.size() + (newLeft == 0 ? 0 : 1));
      continue;
    }
    const std::string text = line.substr(1);
    if (line[0] != '+') {
      EXPECT_EQ(baseline.at(next++), text);
      --oldLeft;
    }
    if (line[0] != '-') {
      out.push_back(text);
      --newLeft;
    }
  }
  EXPECT_EQ(oldLeft + newLeft, 0U) << "last hunk shorter than its header";
  while (next < baseline.size()) out.push_back(baseline[next++]);
  return out;
}

}  // namespace

TEST(DiffRowsTest, ShowsEachRowAndStepsAsAPlainScanDoes) {
  std::mt19937 random(11);
  for (int round = 0; round < 1000; ++round) {
    const Values a = RandomValues(random, 20);
    const Values b = RandomValues(random, 20);
    const DiffRows rows(*DiffLines(a, b, kGoOn));
    const std::vector<DiffRows::Row> expanded = Expanded(rows.Diff());
    ASSERT_EQ(rows.Count(), expanded.size());
    std::vector<size_t> starts;  // rows that differ after one that does not
    for (size_t row = 0; row < expanded.size(); ++row) {
      EXPECT_EQ(rows.At(row).What, expanded[row].What);
      EXPECT_EQ(rows.At(row).Baseline, expanded[row].Baseline);
      EXPECT_EQ(rows.At(row).Run, expanded[row].Run);
      const bool differs = expanded[row].What != Kind::Same;
      if (differs && (row == 0 || expanded[row - 1].What == Kind::Same)) starts.push_back(row);
    }
    std::vector<size_t> stretches;
    for (const DiffRows::Stretch& stretch : rows.Differences()) stretches.push_back(stretch.First);
    EXPECT_EQ(stretches, starts);
    std::optional<size_t> at;
    for (const size_t start : starts) {
      at = rows.NextDifference(at);
      EXPECT_EQ(at, start);
    }
    for (size_t k = starts.size(); k-- > 1;)
      EXPECT_EQ(rows.PreviousDifference(starts[k]), starts[k - 1]);
    if (!starts.empty()) {
      EXPECT_FALSE(rows.NextDifference(starts.back()));
      EXPECT_FALSE(rows.PreviousDifference(starts.front()));
    }
  }
}

TEST(UnifiedDiffTest, AppliedAsAPatchGivesTheRun) {
  std::mt19937 random(12);
  for (int round = 0; round < 1000; ++round) {
    const Values a = RandomValues(random, 25);
    const Values b = RandomValues(random, 25);
    std::vector<std::string> baseline, run;
    for (const uint64_t value : a) baseline.push_back(Text(value));
    for (const uint64_t value : b) run.push_back(Text(value));
    const LineDiff diff = *DiffLines(a, b, kGoOn);
    const UnifiedSides sides{"run 1",
                             "run 2",
                             a.size(),
                             b.size(),
                             [&](size_t line) { return baseline[line]; },
                             [&](size_t line) { return run[line]; }};
    std::ostringstream out;
    WriteUnifiedDiff(out, diff, sides, random() % 4);
    EXPECT_EQ(out.str().empty(), a == b);
    EXPECT_EQ(Patched(baseline, out.str()), run) << out.str();
  }
}

TEST(RunLinesTest, CutsLinesAsTheStoreDoes) {
  const std::string text = "one\r\ntwo\rthree\n\r\nlast without end";
  const RunLines lines(text);
  const std::vector<std::string> expected = Lines(LineList::Of(text));
  ASSERT_EQ(lines.Count(), expected.size());
  for (size_t k = 0; k < expected.size(); ++k) EXPECT_EQ(lines.Line(k), expected[k]);
  EXPECT_EQ(RunLines(std::string()).Count(), 0U);
}

TEST(BaselineRowTest, IsTheNearestEarlierFinishedRunOfTheSameScriptFile) {
  struct Run {
    std::string file;
    std::string end;
  };
  const std::vector<Run> runs = {{"a.vsc", "==>script execution finished."},
                                 {"a.vsc", "==>script execution stopped by user."},
                                 {"b.vsc", "==>script execution finished."},
                                 {"a.vsc", ""},
                                 {"a.vsc", "==>script execution finished."}};
  std::string text;
  for (size_t k = 0; k < runs.size(); ++k) {
    text +=
        LogText({"------ NextPart = Script", "script", "------ NextPart = LogMessage",
                 "==>loading script \"S\".", "-", "Started: 2026-12-01 10:0" + std::to_string(k),
                 "==>script type: Method", "File name of script: C:\\" + runs[k].file, "a line"});
    if (!runs[k].end.empty()) text += LogText({runs[k].end});
    text += LogText({"------ NextEntry"});
  }
  LogStore store;
  LoadLogText(store, text);
  ASSERT_EQ(store.RowToRun.size(), runs.size());
  EXPECT_EQ(PreviousFinishedRow(store, 4), 0U);  // row 3 is open, row 1 stopped
  EXPECT_EQ(PreviousFinishedRow(store, 3), 0U);
  EXPECT_FALSE(PreviousFinishedRow(store, 2));  // the only run of b.vsc
  EXPECT_FALSE(PreviousFinishedRow(store, 0));
}
