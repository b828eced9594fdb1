#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "SharedFile.h"

struct FileCheck;

// The bytes of one log file, read once and then only read, except that bytes the file gains at
// its end can be added in place. Usually the whole file; an indexed store keeps only its last
// lines, from Start() on, since the parse may still read them again. The memory comes straight from
// the system: address space for the file and as much again (at least kGrowthRoom) is reserved, and
// only what the text takes is committed, so the text grows without ever moving and the line lists
// that point into it stay valid. On Linux transparent huge pages are asked for, so filling a 1 GiB
// buffer costs hundreds of page faults instead of a quarter of a million. The text is sealed
// read-only once filled. The file itself is never mapped, because a log that is truncated while
// mapped would kill the viewer (SIGBUS on Linux, an in-page error on Windows).
class TextBuffer {
 public:
  // Room for growth that even a small file gets.
  static constexpr size_t kGrowthRoom = size_t{64} << 20;
  // How many bytes at the start and just before the end of the text must still be the file's
  // for bytes at its end to count as grown onto it.
  static constexpr size_t kCheckedBytes = 4096;

  TextBuffer() = default;
  TextBuffer(const TextBuffer&) = delete;
  TextBuffer& operator=(const TextBuffer&) = delete;
  TextBuffer(TextBuffer&& other) noexcept;
  TextBuffer& operator=(TextBuffer&& other) noexcept;
  ~TextBuffer();

  // The machine's memory in bytes; the largest size_t when the system does not tell.
  static size_t PhysicalMemory();

  // A buffer holding a copy of `bytes` (tests and in-memory input).
  static TextBuffer FromBytes(std::string_view bytes);
  // A buffer of `size` bytes that `fill` writes; what `fill` throws goes on to the caller.
  static TextBuffer Filled(size_t size, const std::function<void(char* into)>& fill);
  // Hears how many bytes of the file have been read, after each piece; false stops the read.
  using ReadGoOn = std::function<bool(uint64_t bytesRead)>;
  // Reads the regular file `path`, or its first `most` bytes, ReadPieceBytes() at a time. Throws
  // LogFileError naming the file and the reason (FileLockedError when another program keeps it
  // locked); refuses anything that is not a regular file before reading a byte. The file is
  // shared with its writer, which may go on appending, renaming or deleting it: each piece opens
  // it anew, and a file that is another one by then, or gone, fails the read. When `goOn` stops
  // the read, the buffer holds the pieces read so far.
  static TextBuffer ReadFile(const std::filesystem::path& path, size_t most = SIZE_MAX,
                             const ReadGoOn& goOn = {});

  const char* Data() const { return data_; }
  size_t Size() const { return size_; }
  std::string_view View() const { return {data_, size_}; }
  // Where in the file the text starts and ends.
  uint64_t Start() const { return start_; }
  uint64_t End() const { return start_ + size_; }

  // Keeps only the text from its byte `offset` on, moved to the start of the buffer, where it
  // still grows from the same file. The memory stays the buffer's, so the next bytes staged need
  // no fresh pages. Only for a text that nothing points into.
  void KeepFrom(size_t offset);
  // The bytes that can still be added at the end without moving the text.
  size_t Room() const { return capacity_ - size_; }
  // Moves the text to new memory with room for at least `bytes` more: the text an index keeps
  // is one line when that line is long, and no room reserved up front holds every line. Only for
  // a text that nothing points into; throws std::bad_alloc when the memory cannot be had.
  void MakeRoom(size_t bytes);
  // The file the text was read from; nothing for a text from elsewhere.
  std::optional<FileIdentity> File() const { return file_; }
  // What the file must still be for bytes read from it now to belong with this text; only for a
  // text read from a file.
  FileCheck Check() const;

  // Growing: new bytes are first staged after the text, where they do not count yet, and then
  // taken in, or left to be overwritten by the next staging.
  enum class Growth {
    Unchanged,  // the file is as the text has it
    Grown,      // the bytes the file gained are staged
    NotGrown,   // anything else: another file, shorter, rewritten, unreadable, or too large for
                // the room reserved; only reading it whole tells what it holds now
    Locked,     // another program keeps it locked for now; nothing is staged, and a later look
                // may get it
  };
  // Opens `path` to see what it is beyond the text that `check` stands for: with Grown, `file` is
  // open on it and it is longer. Throws FileLockedError when the bytes checked are locked.
  static Growth LookBeyond(const FileCheck& check, const std::filesystem::path& path,
                           std::optional<SharedFile>& file);
  // Stages `bytes`; false, with nothing staged, when the room reserved cannot hold them.
  bool Stage(std::string_view bytes);
  // Stages what the file `path` has gained at its end since the text was read from it, or the
  // first `most` bytes of that. It must be the same file (FileIdentity), not shorter, and its
  // first and last kCheckedBytes bytes as far as the text goes must be the text's. Only the new
  // bytes are read; reading never blocks the writer. Nothing here throws: whatever fails is
  // NotGrown.
  Growth StageGrowth(const std::filesystem::path& path, size_t most = SIZE_MAX);
  std::string_view Staged() const { return {data_ + size_, staged_}; }
  // The staged bytes become the end of the text.
  void TakeStaged() {
    size_ += staged_;
    staged_ = 0;
  }

 private:
  // Reserves room for `size` bytes and their growth, at least `leastGrowth` bytes, and commits
  // the first `size`, writable.
  explicit TextBuffer(size_t size, size_t leastGrowth = 0);
  // An unsealed buffer of `fileSize` bytes to read `path` into; throws LogFileError when the
  // memory cannot be had.
  static TextBuffer ForFile(const std::filesystem::path& path, size_t fileSize);
  static size_t RoomFor(size_t size);
  // Fills the first `size` bytes with what `read` gives for an offset and a count (fewer only at
  // the end of the file), a piece at a time, asking `goOn` after each piece; returns how many
  // bytes it filled.
  size_t FillInPieces(size_t size, const std::function<size_t(uint64_t, char*, size_t)>& read,
                      const ReadGoOn& goOn);
  void Release();
  void Shrink(size_t size) { size_ = size; }
  // Makes bytes `from` to `to` writable, committing what is not yet; false when the system
  // refuses or the reservation ends before `to`.
  bool MakeWritable(size_t from, size_t to);
  // Seals the committed bytes from `from` on read-only.
  void SealReadOnly(size_t from = 0);
  // The file's first bytes, as far as kCheckedBytes and the file go.
  std::string_view Head() const;

  char* data_ = nullptr;
  size_t size_ = 0;
  size_t staged_ = 0;                 // bytes staged after size_
  size_t committed_ = 0;              // bytes from data_ on that are committed (whole pages)
  size_t capacity_ = 0;               // bytes reserved from data_ on (whole pages)
  std::optional<FileIdentity> file_;  // the file the text was read from
  uint64_t start_ = 0;                // where in the file the text starts
  std::string head_;                  // with a start past 0: the file's first bytes
};
