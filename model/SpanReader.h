#pragma once

#include <cstddef>
#include <cstdint>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "LineList.h"
#include "LineSpan.h"
#include "LogFileSource.h"

// Gives the bytes of a store's line spans one after the other, as a search or a dump goes
// through the runs: from the store's text, or, for an indexed store, from its file in large
// reads that serve the many spans they hold. While the spans of one read are used, the next read
// is already under way on a thread of its own, so that going through the whole file costs about
// what the slower of reading and using it costs; the two blocks the reads fill are used again and
// again. Spans are read fastest in file order. A reader may be moved to another thread.
class SpanReader {
 public:
  // Bytes are read this many at a time, or a span's worth when it is larger.
  static constexpr size_t kReadBytes = size_t{8} << 20;

  // Off for one of several readers that each have a core to themselves (SearchParts): each
  // searches a block right after reading it, while the block is in its core's cache, and the
  // cores are busy enough without a thread to read ahead.
  enum class ReadAhead : bool { Off, On };

  // `readBytes`: tests read a few bytes at a time, so that small files take many reads.
  explicit SpanReader(const LogStore& store, size_t readBytes = kReadBytes,
                      ReadAhead readAhead = ReadAhead::On);

  // The bytes of `span`, with its line ends; valid until the next call. An indexed store's file
  // may throw FileChangedError (LogFileSource::Read).
  std::string_view Bytes(const LineSpan& span);
  LineList Lines(const LineSpan& span);
  // The bytes of `span` from `from` on, up to the read size: whole lines, or a piece of a line
  // that is longer than what is left of a block. Valid until the next call; read in blocks that
  // serve many calls, and never a span whole.
  std::string_view BlockOf(const LineSpan& span, uint64_t from);
  // What the reader has taken from an indexed store's file so far (a read ahead once used).
  uint64_t BytesRead() const { return bytesRead_; }

 private:
  // The bytes of one read, after room for what the read before held of a span that runs on
  // into this one.
  struct Block {
    std::unique_ptr<char[]> memory;
    uint64_t start = 0;
    size_t size = 0;
  };

  uint64_t HeldEnd() const { return heldStart_ + held_.size(); }
  // Makes the bytes held hold `span`, keeping what they hold of it and reading on from there.
  void Hold(const LineSpan& span);
  // Reads `span` whole on its own, when a block cannot hold it.
  void HoldLarge(const LineSpan& span);
  // The held bytes of `span` from `from` on, up to the read size, after a read when they hold
  // too little.
  std::string_view HeldFrom(const LineSpan& span, uint64_t from);
  std::string_view HeldPart(const LineSpan& span, uint64_t from) const;
  // The block that starts at `start`: the read ahead, or a read now.
  Block BlockAt(uint64_t start);
  void StartReadAhead(std::unique_ptr<char[]> memory);
  static Block Read(const LogFileSource& source, uint64_t start, size_t readBytes, size_t keptBytes,
                    std::unique_ptr<char[]> memory);

  std::string_view text_;  // the store's text, when it is not indexed
  uint64_t textStart_ = 0;
  std::optional<LogFileSource> source_;
  size_t readBytes_;
  size_t keptBytes_;  // the room before a block's bytes
  ReadAhead readAhead_;
  std::string_view held_;
  uint64_t heldStart_ = 0;
  Block current_;
  std::string large_;
  // The read of the bytes after the held ones, with a source of its own; a reader that goes
  // waits for it.
  std::future<Block> next_;
  std::unique_ptr<char[]> spare_;  // the memory for the next read, without reads ahead
  uint64_t bytesRead_ = 0;
};
