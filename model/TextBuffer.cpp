#include "TextBuffer.h"

#include <cstring>
#include <new>
#include <utility>

#include "FileReadError.h"

// The parts that do not depend on the system; the memory and the file reading live in
// TextBufferPosix.cpp and TextBufferWindows.cpp.

TextBuffer::TextBuffer(TextBuffer&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      capacity_(std::exchange(other.capacity_, 0)) {}

TextBuffer& TextBuffer::operator=(TextBuffer&& other) noexcept {
  if (this != &other) {
    Release();
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
    capacity_ = std::exchange(other.capacity_, 0);
  }
  return *this;
}

TextBuffer::~TextBuffer() {
  Release();
}

TextBuffer TextBuffer::FromBytes(std::string_view bytes) {
  TextBuffer buffer(bytes.size());
  if (!bytes.empty()) std::memcpy(buffer.data_, bytes.data(), bytes.size());
  buffer.SealReadOnly();
  return buffer;
}

TextBuffer TextBuffer::ForFile(const std::filesystem::path& path, size_t fileSize) {
  if (fileSize > PhysicalMemory()) {
    FailOnFile("Cannot read", path,
               "the file is too large for memory (" + std::to_string(fileSize) + " bytes)");
  }
  try {
    return TextBuffer(fileSize);
  } catch (const std::bad_alloc&) {
    FailOnFile("Cannot read", path,
               "not enough memory for the file (" + std::to_string(fileSize) + " bytes)");
  }
}
