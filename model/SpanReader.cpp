#include "SpanReader.h"

#include <algorithm>

#include "LogStore.h"

SpanReader::SpanReader(const LogStore& store) {
  if (store.Indexed()) {
    source_.emplace(store);
  } else {
    text_ = store.Text.View();
    textStart_ = store.Text.Start();
  }
}

std::string_view SpanReader::Bytes(const LineSpan& span) {
  if (!source_) return text_.substr(span.Begin - textStart_, span.Size());
  const bool held = span.Begin >= bufferStart_ && span.End <= bufferStart_ + buffer_.size();
  if (!held) {
    const uint64_t wanted = std::max<uint64_t>(span.Size(), kReadBytes);
    buffer_.resize(std::min(wanted, source_->End() - span.Begin));
    bufferStart_ = span.Begin;
    source_->Read(bufferStart_, buffer_.data(), buffer_.size());
  }
  return std::string_view(buffer_).substr(span.Begin - bufferStart_, span.Size());
}

LineList SpanReader::Lines(const LineSpan& span) {
  const std::string_view bytes = Bytes(span);
  return {bytes.data(), bytes.data() + bytes.size(), span.Count};
}
