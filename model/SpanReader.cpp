#include "SpanReader.h"

#include <algorithm>

#include "LogStore.h"

SpanReader::SpanReader(const LogStore& store, size_t readBytes) : readBytes_(readBytes) {
  if (store.Indexed()) {
    source_.emplace(store);
  } else {
    text_ = store.Text.View();
    textStart_ = store.Text.Start();
  }
}

std::string_view SpanReader::Bytes(const LineSpan& span) {
  if (!source_) return text_.substr(span.Begin - textStart_, span.Size());
  if (span.Begin < bufferStart_ || span.End > BufferEnd()) FillFor(span);
  return std::string_view(buffer_).substr(span.Begin - bufferStart_, span.Size());
}

LineList SpanReader::Lines(const LineSpan& span) {
  const std::string_view bytes = Bytes(span);
  return {bytes.data(), bytes.data() + bytes.size(), span.Count};
}

void SpanReader::FillFor(const LineSpan& span) {
  if (span.Begin >= bufferStart_ && span.Begin <= BufferEnd()) {
    buffer_.erase(0, span.Begin - bufferStart_);
  } else {
    buffer_.clear();
  }
  bufferStart_ = span.Begin;
  while (BufferEnd() < span.End) {
    Block block = next_.valid() ? next_.get() : Read(*source_, BufferEnd(), readBytes_);
    // A read ahead of bytes that the span skipped is of no use.
    if (block.start != BufferEnd()) block = Read(*source_, BufferEnd(), readBytes_);
    buffer_ += block.bytes;
  }
  ReadAhead();
}

SpanReader::Block SpanReader::Read(const LogFileSource& source, uint64_t start, size_t bytes) {
  Block block{start, std::string(std::min<uint64_t>(bytes, source.End() - start), '\0')};
  source.Read(start, block.bytes.data(), block.bytes.size());
  return block;
}

void SpanReader::ReadAhead() {
  if (next_.valid() || BufferEnd() >= source_->End()) return;
  next_ =
      std::async(std::launch::async, [source = *source_, start = BufferEnd(), bytes = readBytes_] {
        return Read(source, start, bytes);
      });
}
