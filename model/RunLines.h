#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "LineSpan.h"
#include "LogFileSource.h"

struct LogStore;

// Lines of a log held in a buffer of their own, to read in any order: what a comparison of two
// runs keeps of each, so that it stays as it was whatever happens to the store later.
class RunLines {
 public:
  RunLines() = default;
  // The lines of `bytes`, as LineScanner cuts them.
  explicit RunLines(std::string bytes);

  size_t Count() const { return starts_.empty() ? 0 : starts_.size() - 1; }
  // Line `k`, without its line end.
  std::string_view Line(size_t k) const;

 private:
  std::string bytes_;
  std::vector<uint64_t> starts_;  // where each line starts, and last where the bytes end
};

// Where the lines of a span of a store are, taken on the GUI thread, so that they can be copied
// on another: a view of the store's text, which must stay until the copy has ended or been
// stopped, or the file of an indexed store.
class RunSource {
 public:
  RunSource() = default;
  RunSource(const LogStore& store, const LineSpan& span);

  // The lines, copied a piece at a time; nothing when `stop` is set first. An indexed store's
  // file may throw as LogFileSource::Read does.
  std::optional<RunLines> Read(const std::atomic<bool>& stop) const;
  // Reads the store's text, not a file: the store must not change until the read has ended.
  bool ReadsStore() const { return !file_.has_value(); }

 private:
  LineSpan span_;
  std::string_view text_;
  std::optional<LogFileSource> file_;
};
