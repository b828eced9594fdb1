#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <algorithm>
#include <cwctype>
#include <new>
#include <optional>
#include <string>
#include <string_view>

#include "FileReadError.h"
#include "TextBuffer.h"

namespace {

std::string Utf8(std::wstring_view text) {
  const int length = static_cast<int>(text.size());
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
  std::string result(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), length, result.data(), bytes, nullptr, nullptr);
  return result;
}

// The system's own words for `error`, in the user's language, without the full stop and line
// break that end them, since ours come after the file name.
std::string SystemMessage(DWORD error) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring_view message(text, length);
  while (!message.empty() && (message.back() == L'.' || iswspace(message.back()))) {
    message.remove_suffix(1);
  }
  std::string reason = message.empty() ? "error " + std::to_string(error) : Utf8(message);
  LocalFree(text);
  return reason;
}

[[noreturn]] void FailWithLastError(std::string_view verb, const std::filesystem::path& path) {
  FailOnFile(verb, path, SystemMessage(GetLastError()));
}

// Paths of MAX_PATH characters and more open only when absolute and marked with \\?\. The mark
// also turns off the parsing that maps names such as NUL or COM1 to devices, so paths short
// enough to go without it keep the ordinary route.
std::wstring SystemName(const std::filesystem::path& path) {
  std::error_code error;
  std::wstring name = std::filesystem::absolute(path, error).wstring();
  if (error || name.size() < MAX_PATH || name.starts_with(LR"(\\?\)")) return path.wstring();
  if (name.starts_with(LR"(\\)")) return LR"(\\?\UNC\)" + name.substr(2);
  return LR"(\\?\)" + name;
}

std::optional<NonRegularFile> NonRegularKind(HANDLE file) {
  switch (GetFileType(file)) {
    case FILE_TYPE_DISK:
      break;
    case FILE_TYPE_CHAR:
      return NonRegularFile::Device;
    case FILE_TYPE_PIPE:
      return NonRegularFile::Pipe;
    default:
      return NonRegularFile::Other;
  }
  BY_HANDLE_FILE_INFORMATION info{};
  if (GetFileInformationByHandle(file, &info) && (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return NonRegularFile::Directory;
  }
  return std::nullopt;
}

class FileHandle {
 public:
  explicit FileHandle(HANDLE handle) : handle_(handle) {}
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  ~FileHandle() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  HANDLE Get() const { return handle_; }

 private:
  HANDLE handle_;
};

}  // namespace

TextBuffer::TextBuffer(size_t capacity) : size_(capacity), capacity_(capacity) {
  if (capacity == 0) return;
  void* memory = VirtualAlloc(nullptr, capacity, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
  if (!memory) throw std::bad_alloc();
  data_ = static_cast<char*>(memory);
}

void TextBuffer::Release() {
  if (data_) VirtualFree(data_, 0, MEM_RELEASE);
  data_ = nullptr;
  size_ = capacity_ = 0;
}

void TextBuffer::SealReadOnly() {
  DWORD previous = 0;
  if (data_) VirtualProtect(data_, capacity_, PAGE_READONLY, &previous);
}

size_t TextBuffer::PhysicalMemory() {
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof(status);
  return GlobalMemoryStatusEx(&status) ? static_cast<size_t>(status.ullTotalPhys)
                                       : static_cast<size_t>(-1);
}

TextBuffer TextBuffer::ReadFile(const std::filesystem::path& path) {
  // The control software keeps writing its log, and may rename or delete it, while we read:
  // share everything. Backup semantics let a directory be opened, so that it can be named as
  // such instead of failing with "access denied".
  const FileHandle file(CreateFileW(SystemName(path).c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_SEQUENTIAL_SCAN,
                                    nullptr));
  if (file.Get() == INVALID_HANDLE_VALUE) FailWithLastError("Cannot open", path);
  if (const auto kind = NonRegularKind(file.Get())) {
    FailOnFile("Cannot open", path, RefusalReason(*kind));
  }
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.Get(), &size)) FailWithLastError("Cannot open", path);

  const auto fileSize = static_cast<size_t>(size.QuadPart);
  TextBuffer buffer = ForFile(path, fileSize);
  // The size is the one seen at open: a log that grows meanwhile is read up to that point, and
  // one that shrinks is read up to its new end.
  constexpr size_t kLargestRead = size_t{1} << 30;
  size_t filled = 0;
  while (filled < fileSize) {
    const auto wanted = static_cast<DWORD>(std::min(fileSize - filled, kLargestRead));
    DWORD got = 0;
    if (!::ReadFile(file.Get(), buffer.data_ + filled, wanted, &got, nullptr)) {
      FailWithLastError("Cannot read", path);
    }
    if (got == 0) break;
    filled += got;
  }
  buffer.Shrink(filled);
  buffer.SealReadOnly();
  return buffer;
}
