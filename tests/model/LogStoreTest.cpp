#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "LogFileError.h"
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

class LogFileTest : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() / ("mld-store-test-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::string Write(const std::string& name, const std::string& bytes) {
    const std::string path = (dir_ / name).string();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }

  // Loads `path` into a store that already holds a file, expecting a failure naming the file.
  std::string FailureMessage(const std::string& path) {
    LogStore store;
    LoadLogText(store, LogText({"------ NextPart = Script", "s", "------ NextPart = LogMessage",
                                "==>loading script", "-", "d"}));
    try {
      LoadLogFile(store, path);
    } catch (const LogFileError& error) {
      EXPECT_TRUE(store.Runs.empty() && store.RunLogs.empty() && store.ScriptParts.empty());
      EXPECT_EQ(store.Text.Size(), 0u);
      return error.what();
    }
    ADD_FAILURE() << "no error for " << path;
    return {};
  }

  std::filesystem::path dir_;
};

TEST_F(LogFileTest, ReadsAFileWholeAndKeepsItsBytes) {
  const std::string text = LogText({"------ NextPart = Script",
                                    "37 \xb0"
                                    "C",
                                    "x"});
  LogStore store;
  LoadLogFile(store, Write("a b.log", text));
  EXPECT_EQ(store.Text.View(), text);
  EXPECT_EQ(store.TextEncoding, Encoding::Windows1252);
  EXPECT_EQ(Lines(store.ScriptParts), (std::vector<std::vector<std::string>>{{"37 \xb0"
                                                                              "C",
                                                                              "x"}}));
}

TEST_F(LogFileTest, UnreadableInputFailsWithTheNameAndTheReason) {
  const std::string missing = (dir_ / "missing.log").string();
  EXPECT_EQ(FailureMessage(missing), "Cannot open \"" + missing + "\": No such file or directory");
  EXPECT_EQ(FailureMessage(dir_.string()),
            "Cannot open \"" + dir_.string() + "\": it is a directory, not a file");
  EXPECT_EQ(FailureMessage("/dev/zero"),
            "Cannot open \"/dev/zero\": it is a device, not a regular file");

  // A FIFO without a writer must be refused at once, not waited on.
  const std::string fifo = (dir_ / "pipe.log").string();
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(FailureMessage(fifo), "Cannot open \"" + fifo + "\": it is a pipe, not a regular file");
}

TEST_F(LogFileTest, TheBufferCannotBeWrittenThroughTheStore) {
  LogStore store;
  LoadLogFile(store, Write("x.log", "abc"));
  EXPECT_DEATH(const_cast<char*>(store.Text.Data())[0] = 'z', "");
}

}  // namespace
