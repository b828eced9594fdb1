#include "TextBuffer.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>
#include <utility>

#include "AddressSpace.h"
#include "FileReadError.h"

// The parts that do not depend on the system; the memory and the file reading live in
// TextBufferPosix.cpp and TextBufferWindows.cpp.

TextBuffer::TextBuffer(TextBuffer&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      staged_(std::exchange(other.staged_, 0)),
      committed_(std::exchange(other.committed_, 0)),
      capacity_(std::exchange(other.capacity_, 0)),
      file_(std::exchange(other.file_, std::nullopt)) {}

TextBuffer& TextBuffer::operator=(TextBuffer&& other) noexcept {
  if (this != &other) {
    Release();
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
    staged_ = std::exchange(other.staged_, 0);
    committed_ = std::exchange(other.committed_, 0);
    capacity_ = std::exchange(other.capacity_, 0);
    file_ = std::exchange(other.file_, std::nullopt);
  }
  return *this;
}

TextBuffer::~TextBuffer() {
  Release();
}

namespace {

size_t PageStart(size_t offset) {
  return offset / AddressSpace::PageSize() * AddressSpace::PageSize();
}

size_t PageEnd(size_t offset) {
  return PageStart(offset + AddressSpace::PageSize() - 1);
}

}  // namespace

TextBuffer::TextBuffer(size_t size) : size_(size), capacity_(RoomFor(size)) {
  // Only reserved: no memory is committed, or counted against the system's, until it is made
  // writable.
  data_ = AddressSpace::Reserve(capacity_);
  if (!data_) throw std::bad_alloc();
  if (!MakeWritable(0, size)) {
    Release();
    throw std::bad_alloc();
  }
}

void TextBuffer::Release() {
  if (data_) AddressSpace::Release(data_, capacity_);
  data_ = nullptr;
  size_ = staged_ = committed_ = capacity_ = 0;
  file_.reset();
}

bool TextBuffer::MakeWritable(size_t from, size_t to) {
  const size_t start = PageStart(from);
  const size_t end = PageEnd(to);
  if (end > capacity_) return false;
  if (end > start && !AddressSpace::MakeWritable(data_ + start, end - start)) return false;
  committed_ = std::max(committed_, end);
  return true;
}

void TextBuffer::SealReadOnly(size_t from) {
  const size_t start = PageStart(from);
  if (data_ && committed_ > start) AddressSpace::MakeReadOnly(data_ + start, committed_ - start);
}

size_t TextBuffer::RoomFor(size_t size) {
  return PageEnd(size + std::max(size, kGrowthRoom));
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

bool TextBuffer::Stage(std::string_view bytes) {
  staged_ = 0;
  if (bytes.empty()) return true;
  if (bytes.size() > capacity_ - size_ || !MakeWritable(size_, size_ + bytes.size())) return false;
  std::memcpy(data_ + size_, bytes.data(), bytes.size());
  SealReadOnly(size_);
  staged_ = bytes.size();
  return true;
}

bool TextBuffer::StillHolds(const FileReader& read, size_t offset) const {
  std::array<char, kCheckedBytes> bytes{};
  const size_t count = std::min(kCheckedBytes, size_ - offset);
  return read(offset, bytes.data(), count) == count &&
         std::memcmp(bytes.data(), data_ + offset, count) == 0;
}

TextBuffer::Growth TextBuffer::StageGrowthOf(FileIdentity identity, uint64_t fileSize,
                                             const FileReader& read) {
  staged_ = 0;
  if (!file_ || identity != *file_ || fileSize < size_) return Growth::NotGrown;
  // A log rewritten from its start, or in its last lines, is not our text grown. (A rewrite
  // elsewhere that keeps the size and both ends goes unseen; a writer that only appends never
  // makes one.)
  const size_t tail = size_ - std::min(kCheckedBytes, size_);
  if (!StillHolds(read, 0) || (tail > 0 && !StillHolds(read, tail))) return Growth::NotGrown;
  if (fileSize == size_) return Growth::Unchanged;
  if (fileSize - size_ > capacity_ - size_) return Growth::NotGrown;
  const auto added = static_cast<size_t>(fileSize - size_);
  if (!MakeWritable(size_, size_ + added)) return Growth::NotGrown;
  // A file that shrinks meanwhile gives fewer bytes; those it gives are still its end.
  const size_t got = read(size_, data_ + size_, added);
  SealReadOnly(size_);
  if (got == 0) return Growth::NotGrown;
  staged_ = got;
  return Growth::Grown;
}
