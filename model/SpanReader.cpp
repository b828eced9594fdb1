#include "SpanReader.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "LogStore.h"

SpanReader::SpanReader(const LogStore& store, size_t readBytes, ReadAhead readAhead)
    : readBytes_(readBytes), keptBytes_(readBytes / 4), readAhead_(readAhead) {
  if (store.Indexed()) {
    source_.emplace(store);
  } else {
    text_ = store.Text.View();
    textStart_ = store.Text.Start();
  }
}

std::string_view SpanReader::Bytes(const LineSpan& span) {
  if (!source_) return text_.substr(span.Begin - textStart_, span.Size());
  if (span.Begin < heldStart_ || span.End > HeldEnd()) Hold(span);
  return held_.substr(span.Begin - heldStart_, span.Size());
}

LineList SpanReader::Lines(const LineSpan& span) {
  const std::string_view bytes = Bytes(span);
  return {bytes.data(), bytes.data() + bytes.size(), span.Count};
}

std::string_view SpanReader::BlockOf(const LineSpan& span, uint64_t from) {
  const std::string_view bytes =
      source_ ? HeldFrom(span, from)
              : text_.substr(from - textStart_, std::min<uint64_t>(span.End - from, readBytes_));
  if (from + bytes.size() == span.End) return bytes;
  const size_t lastEnd = bytes.find_last_of("\r\n");
  return lastEnd == std::string_view::npos ? bytes : bytes.substr(0, lastEnd + 1);
}

std::string_view SpanReader::HeldPart(const LineSpan& span, uint64_t from) const {
  const uint64_t end = std::min({span.End, HeldEnd(), from + readBytes_});
  return held_.substr(from - heldStart_, end - from);
}

std::string_view SpanReader::HeldFrom(const LineSpan& span, uint64_t from) {
  const bool inHeld = from >= heldStart_ && from <= HeldEnd();
  if (inHeld) {
    const std::string_view held = HeldPart(span, from);
    // Fewer bytes than the room kept before a block, without a whole line, go on into the next
    // block; more are a piece of a long line.
    if (from + held.size() == span.End || held.size() > keptBytes_ ||
        held.find_last_of("\r\n") != std::string_view::npos) {
      return held;
    }
  }
  const uint64_t readFrom = inHeld ? HeldEnd() : from;
  Hold({from, std::min(span.End, readFrom + readBytes_), 0});
  return HeldPart(span, from);
}

void SpanReader::Hold(const LineSpan& span) {
  const bool runsOn = span.Begin >= heldStart_ && span.Begin <= HeldEnd();
  const std::string_view kept = runsOn ? held_.substr(span.Begin - heldStart_) : std::string_view();
  const uint64_t from = runsOn ? HeldEnd() : span.Begin;
  if (kept.size() > keptBytes_ || span.End - from > readBytes_) {
    HoldLarge(span);
    return;
  }
  Block block = BlockAt(from);
  bytesRead_ += block.size;
  char* bytes = block.memory.get() + keptBytes_ - kept.size();
  if (!kept.empty()) std::memcpy(bytes, kept.data(), kept.size());
  std::unique_ptr<char[]> spare = std::exchange(current_, std::move(block)).memory;
  held_ = {bytes, kept.size() + current_.size};
  heldStart_ = span.Begin;
  StartReadAhead(std::move(spare));
}

void SpanReader::HoldLarge(const LineSpan& span) {
  large_.resize(span.Size());
  source_->Read(span.Begin, large_.data(), large_.size());
  bytesRead_ += large_.size();
  held_ = large_;
  heldStart_ = span.Begin;
}

SpanReader::Block SpanReader::BlockAt(uint64_t start) {
  if (next_.valid()) {
    Block ahead = next_.get();
    // A read ahead of bytes that the span skipped is of no use but for its memory.
    if (ahead.start == start) return ahead;
    return Read(*source_, start, readBytes_, keptBytes_, std::move(ahead.memory));
  }
  return Read(*source_, start, readBytes_, keptBytes_, std::move(spare_));
}

SpanReader::Block SpanReader::Read(const LogFileSource& source, uint64_t start, size_t readBytes,
                                   size_t keptBytes, std::unique_ptr<char[]> memory) {
  if (!memory) memory = std::make_unique_for_overwrite<char[]>(keptBytes + readBytes);
  const auto size = static_cast<size_t>(std::min<uint64_t>(readBytes, source.End() - start));
  source.Read(start, memory.get() + keptBytes, size);
  return {std::move(memory), start, size};
}

void SpanReader::StartReadAhead(std::unique_ptr<char[]> memory) {
  if (readAhead_ == ReadAhead::Off || HeldEnd() >= source_->End()) {
    spare_ = std::move(memory);
    return;
  }
  next_ = std::async(std::launch::async,
                     [source = *source_, start = HeldEnd(), readBytes = readBytes_,
                      keptBytes = keptBytes_, memory = std::move(memory)]() mutable {
                       return Read(source, start, readBytes, keptBytes, std::move(memory));
                     });
}
