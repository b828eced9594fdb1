#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <algorithm>
#include <string>
#include <string_view>

#include "LogFileFixture.h"
#include "UniqueHandle.h"
#include "WindowsFileNames.h"

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

TEST_F(LogFileTest, RefusesDirectoriesAndDevicesWithoutOpeningADevice) {
  // A pipe server of our own: had the reader opened the pipe, it would have connected to it.
  const std::string pipeName =
      R"(\\.\pipe\mld-model-test-)" + std::to_string(GetCurrentProcessId());
  const UniqueHandle pipe(CreateNamedPipeA(pipeName.c_str(),
                                           PIPE_ACCESS_OUTBOUND | FILE_FLAG_OVERLAPPED,
                                           PIPE_TYPE_BYTE, 1, 0, 0, 0, nullptr));
  ASSERT_NE(pipe.get(), INVALID_HANDLE_VALUE);
  // The same pipe by the share name this machine gives its pipes.
  const std::string sharedPipeName = R"(\\localhost\pipe\)" + pipeName.substr(9);
  const std::string device = "it is a device, not a regular file";
  const struct {
    std::filesystem::path path;
    std::string message;
  } cases[] = {
      {dir_, "Cannot open \"" + dir_.string() + "\": it is a directory, not a file"},
      {"NUL", "Cannot open \"NUL\": " + device},
      {"COM1", "Cannot open \"COM1\": " + device},
      {pipeName, "Cannot open \"" + pipeName + "\": " + device},
      {sharedPipeName, "Cannot open \"" + sharedPipeName + "\": " + device},
  };
  for (const auto& c : cases) EXPECT_EQ(FailureMessage(c.path), c.message);

  OVERLAPPED waiting{};
  waiting.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  EXPECT_FALSE(ConnectNamedPipe(pipe.get(), &waiting));
  EXPECT_EQ(GetLastError(), DWORD{ERROR_IO_PENDING}) << "a client connected to the pipe";
  CancelIo(pipe.get());
  CloseHandle(waiting.hEvent);
}

TEST(WindowsFileNames, DeviceNamesAreKnownByName) {
  const struct {
    std::wstring_view name;
    bool device;
  } cases[] = {
      {L"COM1", true},
      {L"com1", true},
      {L"C:\\logs\\Com1.log", true},
      {L"logs/lpt9.tar.gz", true},
      {L"X:COM1", true},
      {L"COM1:", true},
      {L"nul ", true},
      {L"NUL .log", true},
      {L"CON", true},
      {L"aux.txt", true},
      {L"PRN", true},
      {L"COM0", true},
      {L"LPT0", true},
      {L"COM\u00b9", true},
      {L"lpt\u00b3.log", true},
      {L"CONIN$", true},
      {L"conout$.log", true},
      {L"\\\\.\\pipe\\x", true},
      {L"//./COM1", true},
      {L"\\\\.\\C:\\logs\\a.log", true},
      {L"\\\\?\\GLOBALROOT\\Device\\Serial0", true},
      {L"\\\\?\\pipe\\x", true},
      {L"\\\\?\\COM1", true},
      {L"\\\\?\\C:\\logs\\NUL", true},
      {L"\\\\localhost\\pipe\\x", true},
      {L"\\\\127.0.0.1\\pipe\\x", true},
      {L"//MYPC/pipe/x", true},
      {L"\\\\server/PIPE\\x", true},
      {L"\\\\server\\Pipe", true},
      {L"\\\\?\\UNC\\localhost\\pipe\\x", true},
      {L"//?/unc/server/pipe/x", true},
      {L"\\??\\GLOBALROOT\\Device\\Serial0", true},
      {L"\\??\\C:\\logs\\run.log", true},
      {L"\\\\server\\share\\pipe\\x", false},
      {L"\\\\?\\UNC\\server\\share\\pipe\\x", false},
      {L"\\\\server\\pipes\\x", false},
      {L"\\\\pipe\\share\\a.log", false},
      {L"C:\\pipe\\x.log", false},
      {L"COM10", false},
      {L"COMX.log", false},
      {L"LPT", false},
      {L"COM\u00b4", false},
      {L"CONSOLE.log", false},
      {L"null.log", false},
      {L"a.COM1", false},
      {L"C:\\COM1x\\a.log", false},
      {L"C:\\logs\\run.log", false},
      {L"\\\\?\\C:\\logs\\run.log", false},
      {L"\\\\?\\UNC\\server\\share\\a.log", false},
      {L"\\\\?\\Volume{01234567-89ab-cdef-0123-456789abcdef}\\a.log", false},
      {L"\\\\server\\share\\a.log", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NamesDevice(c.name), c.device) << std::filesystem::path(c.name).string();
  }
}

TEST(WindowsFileNames, LongNamesAreMadeAbsoluteAndNormalBeforeTheyAreMarked) {
  const std::wstring d(200, L'd'), e(50, L'e'), f(100, L'f');
  const std::wstring deep = d + L"\\" + f + L"\\a.log";  // what each long name below comes to
  const std::wstring cwd = std::filesystem::current_path().wstring();
  const struct {
    std::wstring given;
    std::wstring win32;
  } cases[] = {
      {L"C:/logs/./a.log", L"C:/logs/./a.log"},  // short names take the system's own route
      {L"C:/" + d + L"/./" + e + L"/../" + f + L"/a.log", L"\\\\?\\C:\\" + deep},
      {L"C:\\" + d + L"/" + f + L"\\.\\a.log", L"\\\\?\\C:\\" + deep},
      {L"//server/share/" + d + L"/" + f + L"/a.log", L"\\\\?\\UNC\\server\\share\\" + deep},
      {L"\\\\server\\share\\" + d + L"\\..\\" + d + L"\\" + f + L"\\a.log",
       L"\\\\?\\UNC\\server\\share\\" + deep},
      {d + L"/" + f + L"/a.log", L"\\\\?\\" + cwd + L"\\" + deep},
      {L"\\\\?\\C:\\" + d + L"\\.\\a.log", L"\\\\?\\C:\\" + d + L"\\.\\a.log"},
      {L"//?/C:/logs/a.log", L"\\\\?\\C:\\logs\\a.log"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Win32Name(c.given), c.win32) << std::filesystem::path(c.given).string();
  }
}

TEST_F(LogFileTest, OpensADeepFileNamedWithSlashesDotsAndDotDots) {
  const std::wstring deep(120, L'd');
  const std::filesystem::path name = std::filesystem::path(deep) / deep / u8"tief.log";
  const std::string text = LogText({"------ NextPart = Script", "s"});
  CreateFolders(dir_, name);
  ASSERT_TRUE(Append(OpenForWriting(dir_ / name, GENERIC_WRITE), text));

  std::wstring given = dir_.wstring() + L"/" + deep + L"/./../" + deep + L"/" + deep + L"/tief.log";
  std::replace(given.begin(), given.end(), L'\\', L'/');
  LogStore store;
  LoadLogFile(store, given);
  EXPECT_EQ(store.Text.View(), text);
  RemoveWithFolders(dir_, name);
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
