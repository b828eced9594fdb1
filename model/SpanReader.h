#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "LineList.h"
#include "LineSpan.h"
#include "LogFileSource.h"

// Gives the bytes of a store's line spans one after the other, as a search or a dump goes
// through the runs: from the store's text, or, for an indexed store, from its file in large
// reads that serve the many spans they hold, so that going through the whole file streams it at
// the disk's speed. Spans are read fastest in file order. A copy may read on another thread.
class SpanReader {
 public:
  // Bytes are read this many at a time, or a span's worth when it is larger.
  static constexpr size_t kReadBytes = size_t{16} << 20;

  explicit SpanReader(const LogStore& store);

  // The bytes of `span`, with its line ends; valid until the next call. An indexed store's file
  // may throw FileChangedError (LogFileSource::Read).
  std::string_view Bytes(const LineSpan& span);
  LineList Lines(const LineSpan& span);

 private:
  std::string_view text_;  // the store's text, when it is not indexed
  uint64_t textStart_ = 0;
  std::optional<LogFileSource> source_;
  std::string buffer_;
  uint64_t bufferStart_ = 0;
};
