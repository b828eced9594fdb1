#include <gtest/gtest.h>

#include "LogFileFixture.h"
#include "StoreText.h"

namespace {

std::vector<RunsInfo> RunsWithDates(const std::vector<std::string>& dates) {
  std::vector<RunsInfo> runs;
  for (const std::string& date : dates) {
    RunsInfo run;
    run.DateTime = date;
    runs.push_back(run);
  }
  return runs;
}

TEST(FoldRunsIntoRows, FoldsOnlyAdjacentByteEqualDates) {
  const struct {
    std::vector<std::string> dates;
    std::vector<int32_t> rows;
  } cases[] = {
      {{}, {}},
      {{"t1"}, {0}},
      {{"t1", "t1", "t1", "t2"}, {2, 3}},
      {{"t1", "t2", "t1"}, {0, 1, 2}},
      {{"t1", "T1", "t1 "}, {0, 1, 2}},
      {{"", "", "x", "", ""}, {1, 2, 4}},
      {{"a", "a", "b", "b"}, {1, 3}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FoldRunsIntoRows(RunsWithDates(c.dates)), c.rows) << testing::PrintToString(c.dates);
  }
}

TEST_F(LogFileTest, ReadsAFileWholeAndKeepsItsBytes) {
  const std::string text = LogText({"------ NextPart = Script",
                                    "37 \xb0"
                                    "C",
                                    "x"});
  LogStore store;
  LoadLogFile(store, Write("a b.log", text));
  EXPECT_EQ(store.Text.View(), text);
  EXPECT_EQ(store.TextEncoding, Encoding::Windows1252);
  EXPECT_EQ(Lines(store, store.ScriptParts), (std::vector<std::vector<std::string>>{{"37 \xb0"
                                                                                     "C",
                                                                                     "x"}}));
}

TEST_F(LogFileTest, TheBufferCannotBeWrittenThroughTheStore) {
  LogStore store;
  LoadLogFile(store, Write("x.log", "abc"));
  EXPECT_DEATH(const_cast<char*>(store.Text.Data())[0] = 'z', "");
}

}  // namespace
