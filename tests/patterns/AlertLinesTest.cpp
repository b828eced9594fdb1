#include <gtest/gtest.h>

#include <QString>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <random>

#include "AlertLineMatcher.h"
#include "GeneratedLogs.h"
#include "LogStore.h"
#include "RunSearch.h"
#include "RunText.h"
#include "StoreLimit.h"

namespace {

THighlightRule Rule(const char* text, bool regex, bool alert, bool matchCase = false) {
  THighlightRule rule;
  rule.Pattern = {QString::fromUtf8(text), regex, matchCase, false};
  rule.Alert = alert;
  return rule;
}

// The rules of a fresh installation, and the same behind a rule without the alert tick that
// takes some of their lines first, beside an alert rule of plain text.
std::vector<THighlightRules> RuleSets() {
  THighlightRules shadowed = DefaultHighlightRules();
  shadowed.insert(shadowed.begin(), Rule("instrument", false, false));
  shadowed.push_back(Rule("Deck[13]", true, true, true));
  shadowed.push_back(Rule("aspirate", false, true));
  return {DefaultHighlightRules(), shadowed};
}

// Each line of each row's run decoded and given to the rules, one line at a time.
std::vector<size_t> AlertsLineByLine(const LogStore& store, const LineHighlighter& highlighter) {
  std::vector<size_t> alerts;
  for (size_t row = 0; row < store.RowToRun.size(); ++row) {
    const RunText run(store, store.RunOfRow(row));
    size_t count = 0;
    for (const std::string_view line : run.Log()) {
      const QString text = QString::fromStdString(Decode(line, store.TextEncoding));
      const std::optional<size_t> rule = highlighter.RuleOf(text);
      if (rule && highlighter.Rules()[*rule].Alert) ++count;
    }
    alerts.push_back(count);
  }
  return alerts;
}

class AlertLines : public testing::Test {
 protected:
  void SetUp() override {
    path_ = std::filesystem::temp_directory_path() /
            ("mld-alerts-" + std::to_string(std::random_device()()) + ".log");
  }
  void TearDown() override {
    SetInMemoryLimit(std::nullopt);
    std::filesystem::remove(path_);
  }
  std::filesystem::path path_;
};

// What the Alerts column and --list show, for a store in memory and an indexed one, and what F8
// steps through in each run.
TEST_F(AlertLines, AreTheLinesWhoseFirstMatchingRuleIsAnAlert) {
  std::mt19937_64 random(5);
  for (const Variant variant : {Variant::CrLf, Variant::MixedLineEnds, Variant::Utf8Late}) {
    const std::string text = Varied(Generated(11 + static_cast<int>(variant)), variant, random);
    std::ofstream(path_, std::ios::binary) << text;
    LogStore held;
    LoadLogText(held, text);
    SetInMemoryLimit(0);
    LogStore indexed;
    LoadLogFile(indexed, path_);
    ASSERT_TRUE(indexed.Indexed());
    size_t found = 0;
    for (const THighlightRules& rules : RuleSets()) {
      const auto highlighter = std::make_shared<const LineHighlighter>(rules);
      const std::vector<size_t> expected = AlertsLineByLine(held, *highlighter);
      found += std::accumulate(expected.begin(), expected.end(), size_t{0});
      const auto matcher = AlertMatchersFor(highlighter).For(held.TextEncoding);
      EXPECT_EQ(RowMatchCounts(held, *matcher), expected);
      EXPECT_EQ(RowMatchCounts(indexed, *matcher), expected);
      for (size_t row = 0; row < held.RowToRun.size(); ++row) {
        const std::string_view log = RunText(held, held.RunOfRow(row)).Log().Bytes();
        size_t forward = 0;
        for (auto line = matcher->FindForward(log, 0); line;
             line = matcher->FindForward(log, line->Offset + line->Size)) {
          ++forward;
        }
        size_t backward = 0;
        for (auto line = matcher->FindBackward(log, log.size()); line;
             line = matcher->FindBackward(log, line->Offset)) {
          ++backward;
        }
        ASSERT_EQ(forward, expected[row]) << "row " << row;
        ASSERT_EQ(backward, expected[row]) << "row " << row;
      }
    }
    EXPECT_GT(found, 0U);
  }
}

}  // namespace
