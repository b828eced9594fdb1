#include "RunLines.h"

#include <algorithm>
#include <cstring>

#include "LineScanner.h"
#include "LogStore.h"

namespace {

// A stop waits for at most one piece's copy or read.
constexpr size_t kPieceBytes = size_t{4} << 20;

}  // namespace

RunLines::RunLines(std::string bytes) : bytes_(std::move(bytes)) {
  const char* begin = bytes_.data();
  LineScanner scanner(begin, begin + bytes_.size());
  while (!scanner.AtEnd()) {
    starts_.push_back(static_cast<uint64_t>(scanner.Position() - begin));
    scanner.Next();
  }
  starts_.push_back(bytes_.size());
}

std::string_view RunLines::Line(size_t k) const {
  std::string_view line(bytes_.data() + starts_[k], starts_[k + 1] - starts_[k]);
  if (line.ends_with("\r\n")) {
    line.remove_suffix(2);
  } else if (line.ends_with('\n') || line.ends_with('\r')) {
    line.remove_suffix(1);
  }
  return line;
}

RunSource::RunSource(const LogStore& store, const LineSpan& span) : span_(span) {
  if (store.Indexed()) {
    file_.emplace(store);
  } else {
    text_ = store.LinesOf(span).Bytes();
  }
}

std::optional<RunLines> RunSource::Read(const std::atomic<bool>& stop) const {
  std::string bytes(span_.Size(), '\0');
  for (size_t done = 0; done < bytes.size(); done += kPieceBytes) {
    if (stop.load(std::memory_order_relaxed)) return std::nullopt;
    const size_t piece = std::min(kPieceBytes, bytes.size() - done);
    if (file_) {
      file_->Read(span_.Begin + done, bytes.data() + done, piece);
    } else {
      std::memcpy(bytes.data() + done, text_.data() + done, piece);
    }
  }
  return RunLines(std::move(bytes));
}
