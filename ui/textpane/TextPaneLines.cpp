#include "TextPaneLines.h"

#include <algorithm>
#include <functional>
#include <limits>

#include "TextPaneChunks.h"

void TPaneLines::Clear() {
  segments_.clear();
  longLines_.clear();
  count_ = 0;
  units_ = 0;
}

void TPaneLines::Append(const LineList& lines, Encoding encoding) {
  const std::string_view bytes = lines.Bytes();
  AppendLines(bytes.data(), bytes.data() + bytes.size(), lines.Count(), encoding, false);
}

bool TPaneLines::Extend(const LineList& lines, Encoding encoding) {
  if (count_ == 0) {
    Append(lines, encoding);
    return true;
  }
  const std::string_view bytes = lines.Bytes();
  if (bytes.data() != segments_.front().Base || lines.Count() + 1 < count_) return false;
  const char* lastLine = segments_.back().Base + segments_.back().Starts.back();
  DropLastLine();
  AppendLines(lastLine, bytes.data() + bytes.size(), lines.Count() - count_, encoding, true);
  return true;
}

void TPaneLines::AppendLines(const char* begin, const char* end, size_t count, Encoding encoding,
                             bool continueLast) {
  TSegment* segment = continueLast && !segments_.empty() ? &segments_.back() : nullptr;
  if (segment) segment->End = end;
  const size_t firstLine = count_;
  for (auto line = LineList::Iterator(begin, end); line != LineList::Iterator(end, end); ++line) {
    const char* start = (*line).data();
    const bool fits = segment && static_cast<size_t>(start - segment->Base) <=
                                     std::numeric_limits<uint32_t>::max();
    if (!fits) {
      if (segment) segment->End = start;
      segment = &segments_.emplace_back(TSegment{start, end, encoding, count_, {}});
      segment->Starts.reserve(count - (count_ - firstLine));
    }
    segment->Starts.push_back(static_cast<uint32_t>(start - segment->Base));
    CountUnits((*line).size());
    ++count_;
  }
}

void TPaneLines::DropLastLine() {
  const size_t last = count_ - 1;
  units_ -= static_cast<size_t>(ChunkCount(last));
  if (!longLines_.empty() && longLines_.back().Line == last) longLines_.pop_back();
  segments_.back().Starts.pop_back();
  if (segments_.back().Starts.empty()) segments_.pop_back();
  --count_;
}

void TPaneLines::CountUnits(size_t lineBytes) {
  const int chunks = ::ChunkCount(lineBytes);
  if (chunks > 1) longLines_.push_back({count_, units_, chunks});
  units_ += static_cast<size_t>(chunks);
}

const TPaneLines::TSegment& TPaneLines::SegmentOf(size_t line) const {
  const auto after = std::upper_bound(
      segments_.begin(), segments_.end(), line,
      [](size_t wanted, const TSegment& segment) { return wanted < segment.FirstLine; });
  return *std::prev(after);
}

std::string_view TPaneLines::Line(size_t line) const {
  const TSegment& segment = SegmentOf(line);
  const size_t index = line - segment.FirstLine;
  const char* begin = segment.Base + segment.Starts[index];
  const char* end =
      index + 1 < segment.Starts.size() ? segment.Base + segment.Starts[index + 1] : segment.End;
  // A line's bytes run up to the next line's start; a line end is never part of a line, so a
  // trailing LF and then a CR before it can only be the line end.
  if (end != begin && end[-1] == '\n') --end;
  if (end != begin && end[-1] == '\r') --end;
  return {begin, static_cast<size_t>(end - begin)};
}

std::optional<std::pair<size_t, size_t>> TPaneLines::LineOfByte(const char* byte) const {
  const std::less<const char*> before;
  const auto holds = [&](const TSegment& segment) {
    return !before(byte, segment.Base) && before(byte, segment.End);
  };
  const auto segment = std::ranges::find_if(segments_, holds);
  if (segment == segments_.end()) return std::nullopt;
  const auto offset = static_cast<uint32_t>(byte - segment->Base);
  const auto after = std::ranges::upper_bound(segment->Starts, offset);
  const auto index = static_cast<size_t>(after - segment->Starts.begin() - 1);
  return std::pair(segment->FirstLine + index, offset - segment->Starts[index]);
}

int TPaneLines::ChunkCount(size_t line) const {
  return ::ChunkCount(Line(line).size());
}

std::string_view TPaneLines::ChunkBytes(TChunkRef ref) const {
  return ::ChunkBytes(Line(ref.Line), ref.Chunk);
}

std::optional<TChunkRef> TPaneLines::Next(TChunkRef ref) const {
  if (ref.Chunk + 1 < ChunkCount(ref.Line)) return TChunkRef{ref.Line, ref.Chunk + 1};
  if (ref.Line + 1 < count_) return TChunkRef{ref.Line + 1, 0};
  return std::nullopt;
}

std::optional<TChunkRef> TPaneLines::Previous(TChunkRef ref) const {
  if (ref.Chunk > 0) return TChunkRef{ref.Line, ref.Chunk - 1};
  if (ref.Line > 0) return TChunkRef{ref.Line - 1, ChunkCount(ref.Line - 1) - 1};
  return std::nullopt;
}

TChunkRef TPaneLines::LastChunk() const {
  return {count_ - 1, ChunkCount(count_ - 1) - 1};
}

size_t TPaneLines::UnitOf(TChunkRef ref) const {
  const auto next =
      std::lower_bound(longLines_.begin(), longLines_.end(), ref.Line,
                       [](const TLongLine& longLine, size_t line) { return longLine.Line < line; });
  if (next != longLines_.end() && next->Line == ref.Line) {
    return next->FirstUnit + static_cast<size_t>(ref.Chunk);
  }
  if (next == longLines_.begin()) return ref.Line;
  const TLongLine& before = *std::prev(next);
  return before.FirstUnit + static_cast<size_t>(before.Chunks) + (ref.Line - before.Line - 1);
}

TChunkRef TPaneLines::ChunkAtUnit(size_t unit) const {
  const auto after = std::upper_bound(
      longLines_.begin(), longLines_.end(), unit,
      [](size_t wanted, const TLongLine& longLine) { return wanted < longLine.FirstUnit; });
  if (after == longLines_.begin()) return {unit, 0};
  const TLongLine& before = *std::prev(after);
  const size_t past = unit - before.FirstUnit;
  if (past < static_cast<size_t>(before.Chunks)) return {before.Line, static_cast<int>(past)};
  return {before.Line + 1 + (past - static_cast<size_t>(before.Chunks)), 0};
}

void TPaneLines::SetEncoding(Encoding encoding) {
  for (TSegment& segment : segments_) segment.TextEncoding = encoding;
}
