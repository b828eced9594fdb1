#include "RunSearch.h"

#include <algorithm>

#include "LineScanner.h"
#include "SpanReader.h"

namespace {

// Where the line that holds byte `at` of `bytes` ends, with its line end.
size_t EndOfLine(std::string_view bytes, size_t at) {
  LineScanner scanner(bytes.data() + at, bytes.data() + bytes.size());
  scanner.Next();
  return static_cast<size_t>(scanner.Position() - bytes.data());
}

}  // namespace

size_t CountMatchingLines(const TextSearch& search, std::string_view bytes) {
  size_t lines = 0;
  for (size_t at = search.FindForward(bytes, 0); at != TextSearch::npos;
       at = search.FindForward(bytes, EndOfLine(bytes, at))) {
    ++lines;
  }
  return lines;
}

std::string_view LeadingLines(std::string_view bytes, size_t size) {
  if (bytes.size() <= size) return bytes;
  return bytes.substr(0, EndOfLine(bytes, size > 0 ? size - 1 : 0));
}

std::vector<LineSpan> RowLogSpans(const LogStore& store, size_t firstRow) {
  std::vector<LineSpan> logs;
  logs.reserve(store.RowToRun.size() - std::min(firstRow, store.RowToRun.size()));
  for (size_t row = firstRow; row < store.RowToRun.size(); ++row) {
    logs.push_back(store.LogOf(store.RunOfRow(row)));
  }
  return logs;
}

std::vector<size_t> RowMatchCounts(const LogStore& store, const TextSearch& search) {
  SpanReader reader(store);
  std::vector<size_t> counts;
  counts.reserve(store.RowToRun.size());
  for (const LineSpan& log : RowLogSpans(store)) {
    counts.push_back(CountMatchingLines(search, reader.Bytes(log)));
  }
  return counts;
}
