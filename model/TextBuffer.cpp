#include "TextBuffer.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>
#include <utility>

#include "AddressSpace.h"
#include "FileCheck.h"
#include "FileReadError.h"
#include "LogFileError.h"
#include "StoreLimit.h"

// The parts that do not depend on the system; the memory and the file reading live in
// TextBufferPosix.cpp and TextBufferWindows.cpp.

TextBuffer::TextBuffer(TextBuffer&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      staged_(std::exchange(other.staged_, 0)),
      committed_(std::exchange(other.committed_, 0)),
      capacity_(std::exchange(other.capacity_, 0)),
      file_(std::exchange(other.file_, std::nullopt)),
      start_(std::exchange(other.start_, 0)),
      head_(std::move(other.head_)) {}

TextBuffer& TextBuffer::operator=(TextBuffer&& other) noexcept {
  if (this != &other) {
    Release();
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
    staged_ = std::exchange(other.staged_, 0);
    committed_ = std::exchange(other.committed_, 0);
    capacity_ = std::exchange(other.capacity_, 0);
    file_ = std::exchange(other.file_, std::nullopt);
    start_ = std::exchange(other.start_, 0);
    head_ = std::move(other.head_);
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

TextBuffer::TextBuffer(size_t size, size_t leastGrowth)
    : size_(size), capacity_(RoomFor(std::max(size, leastGrowth))) {
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
  start_ = 0;
  head_.clear();
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
  return Filled(bytes.size(), [bytes](char* into) {
    if (!bytes.empty()) std::memcpy(into, bytes.data(), bytes.size());
  });
}

TextBuffer TextBuffer::Filled(size_t size, const std::function<void(char* into)>& fill) {
  TextBuffer buffer(size);
  fill(buffer.data_);
  buffer.SealReadOnly();
  return buffer;
}

TextBuffer TextBuffer::ForFile(const std::filesystem::path& path, size_t fileSize) {
  if (fileSize > PhysicalMemory()) {
    throw FileTooLargeError(
        FileMessage("Cannot read", path,
                    "the file is too large for memory (" + std::to_string(fileSize) + " bytes)"));
  }
  try {
    return TextBuffer(fileSize);
  } catch (const std::bad_alloc&) {
    throw FileTooLargeError(
        FileMessage("Cannot read", path,
                    "not enough memory for the file (" + std::to_string(fileSize) + " bytes)"));
  }
}

size_t TextBuffer::FillInPieces(size_t size,
                                const std::function<size_t(uint64_t, char*, size_t)>& read,
                                const ReadGoOn& goOn) {
  const size_t piece = std::max<size_t>(ReadPieceBytes(), 1);
  size_t filled = 0;
  while (filled < size) {
    const size_t wanted = std::min(piece, size - filled);
    const size_t got = read(filled, data_ + filled, wanted);
    filled += got;
    if (got < wanted || (goOn && !goOn(filled))) break;
  }
  return filled;
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

std::string_view TextBuffer::Head() const {
  return start_ == 0 ? View().substr(0, kCheckedBytes) : std::string_view(head_);
}

void TextBuffer::KeepFrom(size_t offset) {
  if (offset == 0) return;
  std::string head(Head());
  const size_t kept = size_ - offset;
  MakeWritable(0, kept);
  std::memmove(data_, data_ + offset, kept);
  SealReadOnly();
  size_ = kept;
  staged_ = 0;
  start_ += offset;
  head_ = std::move(head);
}

void TextBuffer::MakeRoom(size_t bytes) {
  if (Room() >= bytes) return;
  TextBuffer moved(size_, bytes);
  if (size_ > 0) std::memcpy(moved.data_, data_, size_);
  moved.SealReadOnly();
  moved.size_ = size_;
  moved.file_ = file_;
  moved.start_ = start_;
  moved.head_ = std::move(head_);
  *this = std::move(moved);
}

FileCheck TextBuffer::Check() const {
  const size_t tail = size_ - std::min(kCheckedBytes, size_);
  return {file_.value_or(FileIdentity()), End(), std::string(Head()), start_ + tail,
          std::string(View().substr(tail))};
}

namespace {

[[noreturn]] void FailToOpen(const std::filesystem::path& path, const SharedFile& file) {
  const std::string message = FileMessage("Cannot open", path, file.Reason());
  if (file.GetState() == SharedFile::State::Locked) throw FileLockedError(message);
  throw LogFileError(message);
}

}  // namespace

TextBuffer TextBuffer::ReadFile(const std::filesystem::path& path, size_t most,
                                const ReadGoOn& goOn) {
  std::optional<SharedFile> file;
  file.emplace(SharedFile::Open(path));
  if (!file->IsOpen()) FailToOpen(path, *file);
  const FileIdentity identity = file->Facts().Identity;
  static_assert(sizeof(size_t) == sizeof(uint64_t), "a file's size must fit in memory's sizes");
  const auto fileSize = std::min(static_cast<size_t>(file->Facts().Size), most);
  TextBuffer buffer = ForFile(path, fileSize);
  // The size is the one seen at the first open: a log that grows meanwhile is read up to that
  // point, and one that shrinks is read up to its new end.
  const auto read = [&](uint64_t offset, char* into, size_t count) {
    if (!file) file.emplace(SharedFile::Open(path));
    if (file->GetState() == SharedFile::State::Locked) FailToOpen(path, *file);
    if (!file->IsOpen() || file->Facts().Identity != identity) {
      FailOnFile("Cannot read", path, kReplacedWhileRead);
    }
    const size_t got = file->Read(offset, into, count);
    if (!file->ReadError().empty()) FailOnFile("Cannot read", path, file->ReadError());
    file.reset();
    return got;
  };
  buffer.Shrink(buffer.FillInPieces(fileSize, read, goOn));
  buffer.SealReadOnly();
  buffer.file_ = identity;
  return buffer;
}

TextBuffer::Growth TextBuffer::LookBeyond(const FileCheck& check, const std::filesystem::path& path,
                                          std::optional<SharedFile>& file) {
  file.emplace(SharedFile::Open(path));
  if (file->GetState() == SharedFile::State::Locked) return Growth::Locked;
  // A log rewritten from its start, or in its last lines, is not our text grown.
  if (!check.Holds(*file)) return Growth::NotGrown;
  return file->Facts().Size == check.End ? Growth::Unchanged : Growth::Grown;
}

TextBuffer::Growth TextBuffer::StageGrowth(const std::filesystem::path& path, size_t most) {
  staged_ = 0;
  if (!file_) return Growth::NotGrown;
  try {
    std::optional<SharedFile> file;
    const Growth growth = LookBeyond(Check(), path, file);
    if (growth != Growth::Grown) return growth;
    const auto added = static_cast<size_t>(std::min<uint64_t>(file->Facts().Size - End(), most));
    if (added > capacity_ - size_ || !MakeWritable(size_, size_ + added)) return Growth::NotGrown;
    // A file that shrinks meanwhile gives fewer bytes; those it gives are still its end.
    const size_t got = file->Read(End(), data_ + size_, added);
    SealReadOnly(size_);
    staged_ = got;
    return got > 0 ? Growth::Grown : Growth::NotGrown;
  } catch (const FileLockedError&) {
    SealReadOnly(size_);
    return Growth::Locked;
  }
}
