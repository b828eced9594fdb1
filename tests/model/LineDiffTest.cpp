// The line diff against a plain dynamic-programming LCS on random small inputs: its edit script
// is as short as the shortest, and applied to the baseline it gives the run. Also its fallback
// when the runs are too large or too costly for an exact diff, and a stop.
#include <gtest/gtest.h>

#include <random>

#include "LineDiff.h"
#include "LineTimes.h"

namespace {

using Lines = std::vector<uint64_t>;
using Kind = DiffBlock::Kind;

size_t LcsLength(const Lines& a, const Lines& b) {
  std::vector<std::vector<size_t>> table(a.size() + 1, std::vector<size_t>(b.size() + 1));
  for (size_t i = 1; i <= a.size(); ++i) {
    for (size_t j = 1; j <= b.size(); ++j) {
      table[i][j] = a[i - 1] == b[j - 1] ? table[i - 1][j - 1] + 1
                                         : std::max(table[i - 1][j], table[i][j - 1]);
    }
  }
  return table[a.size()][b.size()];
}

size_t EditLength(const LineDiff& diff) {
  const DiffCounts counts = CountDifferences(diff);
  return counts.OnlyBaseline + counts.OnlyRun + 2 * counts.Changed;
}

// The run, as the blocks make it from the baseline and the run's own lines; fails the test when
// the blocks do not go through both sides in order, or call lines the same that are not.
Lines Applied(const LineDiff& diff, const Lines& a, const Lines& b) {
  Lines made;
  size_t i = 0;
  size_t j = 0;
  for (const DiffBlock& block : diff.Blocks) {
    EXPECT_GT(block.Count, 0U);
    EXPECT_EQ(block.Baseline, i);
    EXPECT_EQ(block.Run, j);
    for (size_t k = 0; k < block.Count; ++k) {
      if (block.What == Kind::Same) {
        EXPECT_EQ(a.at(i), b.at(j));
        made.push_back(a[i]);
      } else if (block.What != Kind::OnlyBaseline) {
        made.push_back(b.at(j));
      }
      if (block.What != Kind::OnlyRun) ++i;
      if (block.What != Kind::OnlyBaseline) ++j;
    }
  }
  EXPECT_EQ(i, a.size());
  EXPECT_EQ(j, b.size());
  return made;
}

Lines RandomLines(std::mt19937& random, size_t most, uint64_t alphabet) {
  Lines lines(random() % (most + 1));
  for (uint64_t& line : lines) line = random() % alphabet;
  return lines;
}

const std::atomic<bool> kGoOn = false;

}  // namespace

TEST(LineDiffTest, IsAShortestEditScriptThatMakesTheRun) {
  std::mt19937 random(20261209);
  for (int round = 0; round < 4000; ++round) {
    const uint64_t alphabet = 2 + round % 5;
    const Lines a = RandomLines(random, 30, alphabet);
    // Half the time the run is the baseline with a few edits, as runs of one script are.
    Lines b = RandomLines(random, 30, alphabet);
    if (round % 2 == 0) {
      b = a;
      for (int edit = random() % 4; edit > 0 && !b.empty(); --edit) {
        b[random() % b.size()] = random() % (alphabet + 2);
      }
    }
    const std::optional<LineDiff> diff = DiffLines(a, b, kGoOn);
    ASSERT_TRUE(diff);
    EXPECT_TRUE(diff->Exact);
    EXPECT_EQ(EditLength(*diff), a.size() + b.size() - 2 * LcsLength(a, b)) << "round " << round;
    EXPECT_EQ(Applied(*diff, a, b), b) << "round " << round;
  }
}

TEST(LineDiffTest, PairsRemovedAndAddedLinesAsChanged) {
  const std::optional<LineDiff> diff = DiffLines(Lines{1, 2, 3, 4}, Lines{1, 7, 8, 9, 4}, kGoOn);
  ASSERT_TRUE(diff);
  const std::vector<DiffBlock> expected = {{Kind::Same, 0, 0, 1},
                                           {Kind::Changed, 1, 1, 2},
                                           {Kind::OnlyRun, 3, 3, 1},
                                           {Kind::Same, 3, 4, 1}};
  EXPECT_EQ(diff->Blocks, expected);
}

TEST(LineDiffTest, AlignsByPositionBeyondItsLimits) {
  std::mt19937 random(5);
  const DiffLimits fewLines{10, 1'000'000};
  const DiffLimits littleWork{1'000'000, 50};
  for (const DiffLimits& limits : {fewLines, littleWork}) {
    Lines a(300);
    for (uint64_t& line : a) line = random() % 50;
    Lines b = a;
    b.insert(b.begin() + 10, 99);
    b.erase(b.end() - 20);
    const std::optional<LineDiff> diff = DiffLines(a, b, kGoOn, limits);
    ASSERT_TRUE(diff);
    EXPECT_FALSE(diff->Exact);
    EXPECT_EQ(Applied(*diff, a, b), b);
    // What the runs share at their start is still the same, whatever comes after.
    EXPECT_EQ(diff->Blocks.front().What, Kind::Same);
    EXPECT_EQ(diff->Blocks.front().Count, 10U);
  }
}

TEST(LineDiffTest, StopsWhenAsked) {
  Lines a(20000);
  Lines b(20000);
  for (size_t k = 0; k < a.size(); ++k) {
    a[k] = k % 7;
    b[k] = k % 11;
  }
  const std::atomic<bool> stop = true;
  EXPECT_FALSE(DiffLines(a, b, stop));
}

TEST(LineTimesTest, ReadsTheLeadingTimeStamp) {
  EXPECT_EQ(LeadingTimeOfDay("14:02:09.877  Pump A idle."), ((14 * 60 + 2) * 60 + 9) * 1000 + 877);
  EXPECT_EQ(LeadingTimeOfDay("9:05:01 started"), ((9 * 60 + 5) * 60 + 1) * 1000);
  EXPECT_EQ(LeadingTimeOfDay("00:00:01,5"), 1500);
  EXPECT_EQ(LeadingTimeOfDay("23:59:59"), ((23 * 60 + 59) * 60 + 59) * 1000);
  for (const std::string_view none :
       {"", "==>script execution finished.", "24:00:00 late", "14:02:091", "14:2:09", "14-02-09"}) {
    EXPECT_FALSE(LeadingTimeOfDay(none)) << none;
  }
}

TEST(LineTimesTest, CountsFromTheRunsFirstStampAcrossMidnight) {
  RunClock clock;
  EXPECT_EQ(clock.Next("Started: 2026-12-01 23:59:58").SinceStart, RunClock::kNoTime);
  EXPECT_EQ(clock.Next("23:59:58.500  first").SinceStart, 0);
  EXPECT_EQ(clock.Next("no stamp").SincePrevious, RunClock::kNoTime);
  const RunClock::LineTime afterMidnight = clock.Next("00:00:01.000  after midnight");
  EXPECT_EQ(afterMidnight.SinceStart, 2500);
  EXPECT_EQ(afterMidnight.SincePrevious, 2500);
  EXPECT_EQ(clock.Next("00:00:03.000  later").SincePrevious, 2000);
}
