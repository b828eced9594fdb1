#include <gtest/gtest.h>

#include <new>

#include "FolderSearch.h"
#include "LogFileFixture.h"
#include "StoreLimit.h"

// Find in logs on one file that is indexed and that changes, or runs short of memory, between
// its index and the search of its rows.

namespace {

// One entry whose run k logs lines[k].
std::string Log(const std::vector<std::string>& lines) {
  std::vector<std::string> text = {"------ NextPart = Script", "script",
                                   "------ NextPart = LogMessage"};
  for (size_t k = 0; k < lines.size(); ++k) {
    text.insert(text.end(),
                {"==>loading script \"S\".", "-", "Started: 2026-12-01 10:0" + std::to_string(k),
                 lines[k], "==>script execution finished."});
  }
  return LogText(text);
}

const std::string kLong = Log({"valve 1", "idle", "valve 3", "idle", "idle"});
const std::string kShort = Log({"valve 1"});
const std::string kShorter = Log({"valve"});

struct ChangeCase {
  const char* Name;
  int Rewrites;  // how many times the hook rewrites the file, with kShort and kShorter in turn
  bool OutOfMemory;
  std::vector<size_t> Rows;  // the rows found
  uint64_t Bytes;
  const char* Skipped;  // a part of the reason, or empty
};

class FolderSearchChange : public LogFileTest, public testing::WithParamInterface<ChangeCase> {
 protected:
  void TearDown() override {
    SetSearchLoadedHook(nullptr);
    SetInMemoryLimit(std::nullopt);
    SetIndexedPieceBytes(std::nullopt);
    LogFileTest::TearDown();
  }
};

}  // namespace

TEST_P(FolderSearchChange, IsSearchedAgainOrSkippedWithTheReason) {
  const ChangeCase& test = GetParam();
  SetInMemoryLimit(0);
  SetIndexedPieceBytes(64);
  const std::filesystem::path path = Write("a.log", kLong);
  int rewrites = 0;
  SetSearchLoadedHook([&](const std::filesystem::path& loaded) {
    EXPECT_EQ(loaded, path);
    if (test.OutOfMemory) throw std::bad_alloc();
    if (rewrites < test.Rewrites) Write("a.log", rewrites % 2 == 0 ? kShort : kShorter);
    ++rewrites;
  });
  FolderSearchRequest request;
  request.Folder = path.parent_path();
  request.Text = "valve";
  const FileMatches found = SearchLogFile(request, "a.log");
  std::vector<size_t> rows;
  for (const RunMatch& run : found.Runs) rows.push_back(run.Row);
  EXPECT_EQ(rows, test.Rows);
  EXPECT_EQ(found.Bytes, test.Bytes);
  EXPECT_NE(found.Skipped.find(test.Skipped), std::string::npos) << found.Skipped;
  EXPECT_EQ(found.Skipped.empty(), std::string(test.Skipped).empty()) << found.Skipped;
  if (!found.Skipped.empty()) {
    EXPECT_NE(found.Skipped.find("a.log"), std::string::npos);
  }
}

INSTANTIATE_TEST_SUITE_P(
    FolderSearch, FolderSearchChange,
    testing::Values(ChangeCase{"Unchanged", 0, false, {0, 2}, kLong.size(), ""},
                    ChangeCase{"RewrittenOnce", 1, false, {0}, kShort.size(), ""},
                    ChangeCase{"KeepsChanging", 1000, false, {}, 0, "kept changing"},
                    ChangeCase{"OutOfMemory", 0, true, {}, 0, "not enough memory"}),
    [](const testing::TestParamInfo<ChangeCase>& info) { return info.param.Name; });
