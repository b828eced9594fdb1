#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <cwctype>
#include <new>
#include <optional>
#include <string>
#include <string_view>

#include "AddressSpace.h"
#include "FileCheck.h"
#include "FileReadError.h"
#include "TextBuffer.h"
#include "UniqueHandle.h"
#include "WindowsFileNames.h"

namespace {

std::string Utf8(std::wstring_view text) {
  const int length = static_cast<int>(text.size());
  const int bytes =
      WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
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

// Opens `path` for reading. The control software keeps writing its log, and may rename or
// delete it, while we read: share everything. Backup semantics let a directory be opened, so
// that it can be named as such instead of failing with "access denied".
UniqueHandle OpenShared(const std::filesystem::path& path) {
  return UniqueHandle(CreateFileW(
      Win32Name(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
}

// What the system tells of an open file: why it is refused, or which file it is and its size.
struct FileFacts {
  std::optional<NonRegularFile> refusal;
  FileIdentity identity;
  uint64_t size = 0;
};

FileFacts Refused(NonRegularFile kind) {
  FileFacts facts;
  facts.refusal = kind;
  return facts;
}

// The 64-bit file index is not unique on ReFS; the 128-bit file id is, where the volume gives
// one.
FileIdentity IdentityOf(HANDLE file, const BY_HANDLE_FILE_INFORMATION& info) {
  FILE_ID_INFO id{};
  if (GetFileInformationByHandleEx(file, FileIdInfo, &id, sizeof(id))) {
    uint64_t halves[2] = {};
    static_assert(sizeof(halves) == sizeof(id.FileId.Identifier));
    std::memcpy(halves, id.FileId.Identifier, sizeof(halves));
    return {id.VolumeSerialNumber, halves[0], halves[1]};
  }
  return {info.dwVolumeSerialNumber, (uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
}

// Nothing when the system cannot tell; GetLastError() says why.
std::optional<FileFacts> Examine(HANDLE file) {
  switch (GetFileType(file)) {
    case FILE_TYPE_DISK:
      break;
    case FILE_TYPE_CHAR:
      return Refused(NonRegularFile::Device);
    case FILE_TYPE_PIPE:
      return Refused(NonRegularFile::Pipe);
    default:
      return Refused(NonRegularFile::Other);
  }
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(file, &info)) return std::nullopt;
  if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return Refused(NonRegularFile::Directory);
  return FileFacts{std::nullopt, IdentityOf(file, info),
                   (uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow};
}

// A file opened for reading, or why it is not: the system's error, or a refusal.
struct OpenedFile {
  UniqueHandle file{INVALID_HANDLE_VALUE};
  FileFacts facts;
  DWORD error = 0;
  bool IsRegularFile() const { return error == 0 && !facts.refusal; }
};

OpenedFile OpenFile(const std::filesystem::path& path) {
  OpenedFile opened;
  if (NamesDevice(path.native())) {
    opened.facts = Refused(NonRegularFile::Device);
    return opened;
  }
  opened.file = OpenShared(path);
  if (opened.file.get() == INVALID_HANDLE_VALUE) {
    opened.error = GetLastError();
    return opened;
  }
  const std::optional<FileFacts> facts = Examine(opened.file.get());
  if (!facts) {
    opened.error = GetLastError();
    return opened;
  }
  opened.facts = *facts;
  return opened;
}

// Reads up to `count` bytes at `offset` and returns how many it read: fewer at the end of the
// file, or on a failure, which `error` then names (it is 0 otherwise).
size_t ReadAt(HANDLE file, uint64_t offset, char* into, size_t count, DWORD& error) {
  // One very large ReadFile can fail for lack of system resources.
  constexpr size_t kLargestRead = size_t{64} << 20;
  error = 0;
  size_t filled = 0;
  while (filled < count) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset + filled);
    at.OffsetHigh = static_cast<DWORD>((offset + filled) >> 32);
    const auto wanted = static_cast<DWORD>(std::min(count - filled, kLargestRead));
    DWORD got = 0;
    if (!::ReadFile(file, into + filled, wanted, &got, &at)) {
      if (GetLastError() != ERROR_HANDLE_EOF) error = GetLastError();
      break;
    }
    if (got == 0) break;
    filled += got;
  }
  return filled;
}

}  // namespace

char* AddressSpace::Reserve(size_t bytes) {
  return static_cast<char*>(VirtualAlloc(nullptr, bytes, MEM_RESERVE, PAGE_NOACCESS));
}

void AddressSpace::Release(char* start, size_t /*bytes*/) {
  VirtualFree(start, 0, MEM_RELEASE);
}

bool AddressSpace::MakeWritable(char* start, size_t bytes) {
  // Committing gives memory to the pages that have none yet; the pages already sealed are
  // opened for writing again by the protection change.
  DWORD previous = 0;
  return VirtualAlloc(start, bytes, MEM_COMMIT, PAGE_READWRITE) &&
         VirtualProtect(start, bytes, PAGE_READWRITE, &previous);
}

void AddressSpace::MakeReadOnly(char* start, size_t bytes) {
  DWORD previous = 0;
  VirtualProtect(start, bytes, PAGE_READONLY, &previous);
}

size_t AddressSpace::PageSize() {
  static const size_t page = [] {
    SYSTEM_INFO info{};
    GetSystemInfo(&info);
    return static_cast<size_t>(info.dwPageSize);
  }();
  return page;
}

size_t TextBuffer::PhysicalMemory() {
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof(status);
  return GlobalMemoryStatusEx(&status) ? static_cast<size_t>(status.ullTotalPhys)
                                       : static_cast<size_t>(-1);
}

TextBuffer TextBuffer::ReadFile(const std::filesystem::path& path, size_t most,
                                const ReadGoOn& goOn) {
  const OpenedFile opened = OpenFile(path);
  if (opened.error) FailOnFile("Cannot open", path, SystemMessage(opened.error));
  if (opened.facts.refusal) FailOnFile("Cannot open", path, RefusalReason(*opened.facts.refusal));

  static_assert(sizeof(size_t) == sizeof(uint64_t), "a file's size must fit in memory's sizes");
  const auto fileSize = std::min(static_cast<size_t>(opened.facts.size), most);
  TextBuffer buffer = ForFile(path, fileSize);
  // The size is the one seen at open: a log that grows meanwhile is read up to that point, and
  // one that shrinks is read up to its new end.
  const auto read = [&](uint64_t offset, char* into, size_t count) {
    DWORD error = 0;
    const size_t got = ReadAt(opened.file.get(), offset, into, count, error);
    if (error) FailOnFile("Cannot read", path, SystemMessage(error));
    return got;
  };
  buffer.Shrink(buffer.FillInPieces(fileSize, read, goOn));
  buffer.SealReadOnly();
  buffer.file_ = opened.facts.identity;
  return buffer;
}

bool WithSharedFile(const std::filesystem::path& path,
                    const std::function<void(const ProbedFile&, const FileReader&)>& use) {
  const OpenedFile opened = OpenFile(path);
  if (!opened.IsRegularFile()) return false;
  use(ProbedFile{opened.facts.identity, opened.facts.size},
      [&opened](uint64_t offset, char* into, size_t count) {
        DWORD ignored = 0;
        return ReadAt(opened.file.get(), offset, into, count, ignored);
      });
  return true;
}
