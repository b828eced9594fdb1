#include "RunSearch.h"

#include <algorithm>
#include <future>
#include <numeric>
#include <thread>

#include "LineScanner.h"
#include "SpanMatchCount.h"
#include "SpanReader.h"
#include "StoreLimit.h"

namespace {

constexpr unsigned kMostParts = 4;

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

std::vector<LineSpan> RowLogSpans(const LogStore& store, size_t firstRow) {
  std::vector<LineSpan> logs;
  logs.reserve(store.RowToRun.size() - std::min(firstRow, store.RowToRun.size()));
  for (size_t row = firstRow; row < store.RowToRun.size(); ++row) {
    logs.push_back(store.LogOf(store.RunOfRow(row)));
  }
  return logs;
}

uint64_t BytesOf(const std::vector<LineSpan>& spans) {
  return std::accumulate(spans.begin(), spans.end(), uint64_t{0},
                         [](uint64_t sum, const LineSpan& span) { return sum + span.Size(); });
}

size_t SearchPartsForThisMachine() {
  return std::clamp(std::thread::hardware_concurrency(), 1U, kMostParts);
}

std::vector<SearchPart> SearchParts(const LogStore& store, const std::vector<LineSpan>& rowLogs,
                                    size_t count) {
  const uint64_t total = BytesOf(rowLogs);
  std::vector<SearchPart> parts;
  uint64_t taken = 0;
  size_t row = 0;
  for (size_t part = 1; part <= count; ++part) {
    const size_t begin = row;
    // The part ends where the bytes taken reach its share of the whole.
    while (row < rowLogs.size() && (part == count || taken < total * part / count)) {
      taken += rowLogs[row++].Size();
    }
    parts.push_back(
        {begin, row, SpanReader(store, SearchBlockBytes(), SpanReader::ReadAhead::Off)});
  }
  return parts;
}

std::vector<size_t> RowMatchCounts(const LogStore& store, const LineMatcher& matcher,
                                   const std::function<bool()>& goOn) {
  const std::vector<LineSpan> logs = RowLogSpans(store);
  std::vector<size_t> counts(logs.size());
  std::vector<SearchPart> parts = SearchParts(store, logs);
  const std::function<bool()> goesOn = goOn ? goOn : [] { return true; };
  const auto count = [&](SearchPart& part) {
    for (size_t row = part.Begin; row < part.End && goesOn(); ++row) {
      counts[row] = CountMatchingLines(matcher, part.Reader, logs[row], goesOn);
    }
  };
  // Every part is waited for, even when one throws: they write into `counts`.
  std::vector<std::future<void>> others;
  for (size_t part = 1; part < parts.size(); ++part) {
    others.push_back(std::async(std::launch::async, count, std::ref(parts[part])));
  }
  count(parts.front());
  for (std::future<void>& other : others) other.get();
  return counts;
}
