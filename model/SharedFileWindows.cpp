#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <cwctype>
#include <string>
#include <string_view>

#include "SharedFile.h"
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

std::optional<NonRegularFile> KindOf(HANDLE file) {
  switch (GetFileType(file)) {
    case FILE_TYPE_DISK:
      return std::nullopt;
    case FILE_TYPE_CHAR:
      return NonRegularFile::Device;
    case FILE_TYPE_PIPE:
      return NonRegularFile::Pipe;
    default:
      return NonRegularFile::Other;
  }
}

HANDLE HandleOf(intptr_t handle) {
  return reinterpret_cast<HANDLE>(handle);
}

}  // namespace

int SharedFile::TryOpen() {
  Close();
  if (NamesDevice(path_.native())) {
    state_ = State::Refused;
    reason_ = RefusalReason(NonRegularFile::Device);
    return 0;
  }
  // The control software keeps writing its log, and may rename or delete it, while we read:
  // share everything. Backup semantics let a directory be opened, so that it can be named as
  // such instead of failing with "access denied".
  const HANDLE file =
      CreateFileW(Win32Name(path_).c_str(), GENERIC_READ,
                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                  FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (file == INVALID_HANDLE_VALUE) return static_cast<int>(GetLastError());
  handle_ = reinterpret_cast<intptr_t>(file);
  std::optional<NonRegularFile> refusal = KindOf(file);
  BY_HANDLE_FILE_INFORMATION info{};
  if (!refusal) {
    if (!GetFileInformationByHandle(file, &info)) return static_cast<int>(GetLastError());
    if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) refusal = NonRegularFile::Directory;
  }
  if (refusal) {
    Close();
    state_ = State::Refused;
    reason_ = RefusalReason(*refusal);
    return 0;
  }
  state_ = State::Open;
  facts_ = {IdentityOf(file, info), (uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow};
  return 0;
}

int SharedFile::TryRead(uint64_t offset, char* into, size_t count, size_t& got) {
  // One very large ReadFile can fail for lack of system resources.
  constexpr size_t kLargestRead = size_t{64} << 20;
  OVERLAPPED at{};
  at.Offset = static_cast<DWORD>(offset);
  at.OffsetHigh = static_cast<DWORD>(offset >> 32);
  DWORD read = 0;
  got = 0;
  if (!::ReadFile(HandleOf(handle_), into, static_cast<DWORD>(std::min(count, kLargestRead)), &read,
                  &at)) {
    const DWORD error = GetLastError();
    return error == ERROR_HANDLE_EOF ? 0 : static_cast<int>(error);
  }
  got = read;
  return 0;
}

void SharedFile::Close() {
  if (handle_ != -1) CloseHandle(HandleOf(handle_));
  handle_ = -1;
}

bool SharedFile::IsLockError(int error) {
  // A read that overlaps a range another process locked with LockFileEx, and an open refused
  // while another process holds the file without sharing it.
  return error == ERROR_LOCK_VIOLATION || error == ERROR_SHARING_VIOLATION;
}

bool SharedFile::IsMissingError(int error) {
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// The system's own words for `error`, in the user's language, without the full stop and line
// break that end them, since ours come after the file name.
std::string SharedFile::SystemMessage(int error) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, static_cast<DWORD>(error), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring_view message(text, length);
  while (!message.empty() && (message.back() == L'.' || iswspace(message.back()))) {
    message.remove_suffix(1);
  }
  std::string reason = message.empty() ? "error " + std::to_string(error) : Utf8(message);
  LocalFree(text);
  return reason;
}
