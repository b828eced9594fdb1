#pragma once

#include <cstddef>
#include <filesystem>
#include <string_view>

// The bytes of one log file, read once and then only read. The memory comes straight from the
// system (on Linux with transparent huge pages asked for, so filling a 1 GiB buffer costs
// hundreds of page faults instead of a quarter of a million) and is sealed read-only once filled.
// The file itself is never mapped, because a log that is truncated while mapped would kill the
// viewer (SIGBUS on Linux, an in-page error on Windows).
class TextBuffer {
 public:
  TextBuffer() = default;
  TextBuffer(const TextBuffer&) = delete;
  TextBuffer& operator=(const TextBuffer&) = delete;
  TextBuffer(TextBuffer&& other) noexcept;
  TextBuffer& operator=(TextBuffer&& other) noexcept;
  ~TextBuffer();

  // A buffer holding a copy of `bytes` (tests and in-memory input).
  static TextBuffer FromBytes(std::string_view bytes);
  // Reads the whole regular file `path`. Throws LogFileError naming the file and the reason;
  // refuses anything that is not a regular file before reading a byte.
  // The file is shared with its writer, which may go on appending, renaming or deleting it.
  static TextBuffer ReadFile(const std::filesystem::path& path);

  const char* Data() const { return data_; }
  size_t Size() const { return size_; }
  std::string_view View() const { return {data_, size_}; }

 private:
  explicit TextBuffer(size_t capacity);
  // An unsealed buffer of `fileSize` bytes to read `path` into; throws LogFileError when the
  // memory cannot be had.
  static TextBuffer ForFile(const std::filesystem::path& path, size_t fileSize);
  static size_t PhysicalMemory();
  void Release();
  void Shrink(size_t size) { size_ = size; }
  void SealReadOnly();

  char* data_ = nullptr;
  size_t size_ = 0;
  size_t capacity_ = 0;
};
