// How long comparing two runs takes: a generated run against a copy of it with other numbers
// and time stamps in every line and a few lines changed, added and removed, as a run of the
// same script on another day differs from it. Prints one table row per store kind and last
//   bench: compare_100k_ms=T compare_100k_indexed_ms=T
// for the best of ROUNDS rounds each.
#include <chrono>
#include <fstream>
#include <iostream>
#include <random>
#include <sstream>
#include <string>

#include "LogStore.h"
#include "RunComparison.h"
#include "StoreLimit.h"

namespace {

constexpr std::string_view kLogStart = "------ NextPart = LogMessage";
constexpr std::string_view kEntryEnd = "------ NextEntry";
// A run starts after the run before it has ended.
constexpr std::string_view kRunEnd = "==>script execution finished.\r\n";

std::string ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  if (!in) throw std::runtime_error("cannot read " + path);
  return bytes.str();
}

// Every run of digits of `line` another number.
std::string OtherNumbers(std::string_view line, std::mt19937& random) {
  std::string out;
  for (size_t k = 0; k < line.size(); ++k) {
    const bool digit = line[k] >= '0' && line[k] <= '9';
    out += digit ? static_cast<char>('0' + random() % 10) : line[k];
  }
  return out;
}

// The run's log lines as another run of the same script would write them.
std::string AnotherRun(std::string_view log, std::mt19937& random) {
  std::string out;
  std::uniform_int_distribution<int> permille(0, 999);
  size_t start = 0;
  while (start < log.size()) {
    const size_t end = std::min(log.find('\n', start), log.size() - 1);
    const std::string_view line = log.substr(start, end + 1 - start);
    start = end + 1;
    if (line.starts_with("Started: ")) {
      out += "Started: 2026-12-09 23:59:59\r\n";
      continue;
    }
    const int chance = permille(random);
    if (chance < 2) continue;  // removed
    if (chance < 5) out += "00:00:00.000  WARNING: a message the other run did not log.\r\n";
    out += OtherNumbers(line, random);
  }
  return out;
}

double BestMilliseconds(const LogStore& store, int rounds) {
  double best = 1e12;
  for (int round = 0; round < rounds; ++round) {
    const std::atomic<bool> stop = false;
    const auto start = std::chrono::steady_clock::now();
    const auto comparison = CompareRuns(ComparisonRequest::For(store, 1, 0, MaskRules()), stop);
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    best = std::min(best, took.count());
    if (!comparison || !comparison->Log.Diff().Exact) throw std::runtime_error("no exact diff");
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::cerr << "usage: compare-bench ONE-RUN-LOG TWO-RUN-LOG ROUNDS\n";
    return 2;
  }
  try {
    const std::string one = ReadWhole(argv[1]);
    const size_t logStart = one.find(kLogStart);
    const size_t logEnd = one.rfind(kEntryEnd);
    const size_t firstLine = one.find('\n', logStart) + 1;
    std::mt19937 random(7);
    const std::string log = one.substr(firstLine, logEnd - firstLine);
    std::ofstream(argv[2], std::ios::binary)
        << one.substr(0, logEnd) << kRunEnd << AnotherRun(log, random) << kEntryEnd << "\r\n";
    const int rounds = std::stoi(argv[3]);
    double memory = 0;
    double indexed = 0;
    for (const uint64_t limit : {UINT64_MAX, uint64_t{0}}) {
      SetInMemoryLimit(limit);
      LogStore store;
      LoadLogFile(store, argv[2]);
      const double ms = BestMilliseconds(store, rounds);
      (store.Indexed() ? indexed : memory) = ms;
      std::printf("%-34s %10.1f ms  (%llu and %llu log lines)\n",
                  store.Indexed() ? "compare, indexed store" : "compare, store in memory", ms,
                  static_cast<unsigned long long>(store.LogOf(store.RunOfRow(0)).Count),
                  static_cast<unsigned long long>(store.LogOf(store.RunOfRow(1)).Count));
    }
    std::printf("bench: compare_100k_ms=%.0f compare_100k_indexed_ms=%.0f\n", memory, indexed);
  } catch (const std::exception& error) {
    std::cerr << "compare-bench: " << error.what() << '\n';
    return 1;
  }
  return 0;
}
