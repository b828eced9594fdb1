#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <string>
#include <string_view>

#include "LogFileFixture.h"
#include "UniqueHandle.h"

namespace {

// The test makes its files through \\?\ paths of its own, so that a tree deeper than MAX_PATH
// does not depend on the code under test.
std::wstring Extended(const std::filesystem::path& path) {
  return LR"(\\?\)" + path.wstring();
}

// Opens `path` as the control software would for writing its log: sharing everything.
UniqueHandle OpenForWriting(const std::filesystem::path& path, DWORD rights) {
  return UniqueHandle(CreateFileW(Extended(path).c_str(), rights,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

void CreateFolders(const std::filesystem::path& root, const std::filesystem::path& relative) {
  std::filesystem::path folder = root;
  for (const std::filesystem::path& part : relative.parent_path()) {
    folder /= part;
    CreateDirectoryW(Extended(folder).c_str(), nullptr);
  }
}

// std::filesystem::remove_all cannot walk a tree deeper than MAX_PATH, so such a tree goes first.
void RemoveWithFolders(const std::filesystem::path& root, const std::filesystem::path& relative) {
  DeleteFileW(Extended(root / relative).c_str());
  for (auto folder = relative.parent_path(); !folder.empty(); folder = folder.parent_path()) {
    RemoveDirectoryW(Extended(root / folder).c_str());
  }
}

bool Append(const UniqueHandle& file, std::string_view bytes) {
  DWORD written = 0;
  return WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

TEST_F(LogFileTest, ReadsFilesWhoseNamesNeedUnicodeOrMoreThanMaxPath) {
  const std::wstring deep(120, L'd');
  const std::string text = LogText({"------ NextPart = Script", "s"});
  const std::filesystem::path names[] = {
      u8"with blanks.log",
      u8"Prüfstand Ölpumpe.log",
      u8"測定ログ.log",
      std::filesystem::path(deep) / deep / u8"tief ä.log",
  };
  for (const std::filesystem::path& name : names) {
    const std::filesystem::path path = dir_ / name;
    CreateFolders(dir_, name);
    ASSERT_TRUE(Append(OpenForWriting(path, GENERIC_WRITE), text)) << name;

    LogStore store;
    LoadLogFile(store, path);
    EXPECT_EQ(store.Text.View(), text) << name;
    RemoveWithFolders(dir_, name);
  }
}

TEST_F(LogFileTest, RefusesDirectoriesDevicesAndPipes) {
  const std::string pipeName =
      R"(\\.\pipe\mld-model-test-)" + std::to_string(GetCurrentProcessId());
  const UniqueHandle pipe(CreateNamedPipeA(pipeName.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE,
                                           1, 0, 0, 0, nullptr));
  ASSERT_NE(pipe.get(), INVALID_HANDLE_VALUE);
  const struct {
    std::filesystem::path path;
    std::string message;
  } cases[] = {
      {dir_, "Cannot open \"" + dir_.string() + "\": it is a directory, not a file"},
      {"NUL", "Cannot open \"NUL\": it is a device, not a regular file"},
      {pipeName, "Cannot open \"" + pipeName + "\": it is a pipe, not a regular file"},
  };
  for (const auto& c : cases) EXPECT_EQ(FailureMessage(c.path), c.message);
}

TEST_F(LogFileTest, AMissingFileIsNamedInUtf8WithTheSystemsReason) {
  const std::string message = FailureMessage(dir_ / u8"fehlt ä.log");
  const std::string start = "Cannot open \"" + dir_.string() + "\\fehlt \xc3\xa4.log\": ";
  ASSERT_TRUE(message.starts_with(start)) << message;
  // Words from the message table, not a bare number, and without the table's closing full stop
  // and line break.
  const std::string reason = message.substr(start.size());
  EXPECT_FALSE(reason.empty() || reason.starts_with("error ") || reason.ends_with('.') ||
               reason.ends_with('\n'))
      << reason;
}

TEST_F(LogFileTest, TheWriterKeepsAppendingRenamingAndDeletingItsLog) {
  // What the writer holds decides what our open must share: its writing needs FILE_SHARE_WRITE,
  // its right to rename or delete needs FILE_SHARE_DELETE.
  for (const DWORD rights : {DWORD{GENERIC_WRITE}, DWORD{GENERIC_WRITE | DELETE}}) {
    const std::filesystem::path path = dir_ / "live.log", moved = dir_ / "moved.log";
    const UniqueHandle writer = OpenForWriting(path, rights);
    ASSERT_TRUE(Append(writer, "first\r\n"));

    LogStore store;
    LoadLogFile(store, path);
    EXPECT_EQ(store.Text.View(), "first\r\n") << rights;
    EXPECT_TRUE(Append(writer, "second\r\n")) << rights;
    EXPECT_TRUE(MoveFileExW(path.c_str(), moved.c_str(), 0)) << rights;
    EXPECT_TRUE(DeleteFileW(moved.c_str())) << rights;
  }
}

}  // namespace
