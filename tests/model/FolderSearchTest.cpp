#include <gtest/gtest.h>

#include <new>

#include "FolderSearch.h"
#include "LogFileFixture.h"
#include "StoreLimit.h"

#ifdef _WIN32
#include <stdlib.h>
#endif

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

namespace {

// Folder links made for a test, removed again before the fixture removes its folder: mingw's
// std::filesystem::remove_all would walk into them.
class FolderLinks {
 public:
  ~FolderLinks() {
    std::error_code error;
    for (const std::filesystem::path& link : links_) std::filesystem::remove(link, error);
  }

  // Makes `link` lead to the folder `target`; false where this system makes no such link.
  bool Make(const std::filesystem::path& target, const std::filesystem::path& link) {
    links_.push_back(link);
    std::error_code error;
#ifdef _WIN32
    // A junction, which needs no right to make symbolic links. Wine 8 makes none and says so
    // only by its absence.
    _wsystem(
        (L"mklink /J \"" + link.wstring() + L"\" \"" + target.wstring() + L"\" >NUL 2>&1").c_str());
#else
    std::filesystem::create_directory_symlink(target, link, error);
#endif
    return std::filesystem::exists(link, error);
  }

 private:
  std::vector<std::filesystem::path> links_;
};

}  // namespace

TEST_F(LogFileTest, FindInSubfoldersPassesOverFolderLinks) {
  const std::filesystem::path logs = dir_ / "logs";
  std::filesystem::create_directories(logs / "sub");
  std::filesystem::create_directories(logs / "other");
  for (const char* name : {"logs/a.log", "logs/sub/b.log", "logs/other/c.log"}) {
    Write(name, kShort);
  }
  // A loop, as `loop -> .`, and a second way to a folder that is searched anyway.
  FolderLinks links;
  if (!links.Make(logs / "sub", logs / "sub" / "loop") ||
      !links.Make(logs / "other", logs / "sub" / "other")) {
    GTEST_SKIP() << "this system made no folder link";
  }
  FolderSearchRequest request;
  request.Folder = logs;
  request.Recursive = true;
  const std::vector<std::filesystem::path> expected = {"a.log", "other/c.log", "sub/b.log"};
  std::vector<std::filesystem::path> found;
  for (const std::filesystem::path& file : FilesToSearch(request)) {
    found.push_back(file.generic_string());
  }
  EXPECT_EQ(found, expected);
}
