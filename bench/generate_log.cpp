// Writes a large, realistic message log for the benchmarks.
#include <charconv>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "LogGenerator.h"
#include "LogTextWriter.h"

namespace {

constexpr std::string_view kUsage =
    "usage: generate-log OUTPUT BYTES [SEED]     a log of at least BYTES bytes (suffix K, M or G)\n"
    "       generate-log --runs N OUTPUT [SEED]  N runs of a few messages each\n"
    "       generate-log --run-lines N OUTPUT [SEED]\n"
    "                                            one run of N messages\n";

struct Request {
  enum class Shape { Size, ShortRuns, OneRun };
  Shape shape = Shape::Size;
  uint64_t amount = 0;  // bytes, runs or messages
  std::string path;
  uint64_t seed = 1;
};

std::optional<uint64_t> ParseNumber(std::string_view text) {
  uint64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// "1073741824", "1024M" or "1G".
std::optional<uint64_t> ParseSize(std::string_view text) {
  constexpr std::string_view kSuffixes = "KMG";
  const size_t suffix = text.empty() ? std::string_view::npos : kSuffixes.find(text.back());
  if (suffix == std::string_view::npos) return ParseNumber(text);
  const auto number = ParseNumber(text.substr(0, text.size() - 1));
  if (!number) return std::nullopt;
  return *number << (10 * (suffix + 1));
}

std::optional<Request> ParseArguments(const std::vector<std::string_view>& args) {
  Request request;
  size_t next = 0;
  std::optional<uint64_t> amount;
  if (!args.empty() && (args[0] == "--runs" || args[0] == "--run-lines")) {
    if (args.size() < 3) return std::nullopt;
    request.shape = args[0] == "--runs" ? Request::Shape::ShortRuns : Request::Shape::OneRun;
    amount = ParseNumber(args[1]);
    request.path = args[2];
    next = 3;
  } else {
    if (args.size() < 2) return std::nullopt;
    request.path = args[0];
    amount = ParseSize(args[1]);
    next = 2;
  }
  if (!amount || args.size() > next + 1) return std::nullopt;
  request.amount = *amount;
  if (args.size() == next + 1) {
    const auto seed = ParseNumber(args[next]);
    if (!seed) return std::nullopt;
    request.seed = *seed;
  }
  return request;
}

void Generate(const Request& request) {
  LogTextWriter out(request.path);
  LogGenerator generator(out, request.seed);
  switch (request.shape) {
    case Request::Shape::Size:
      generator.WriteUntilSize(request.amount);
      break;
    case Request::Shape::ShortRuns:
      generator.WriteShortRuns(static_cast<int64_t>(request.amount));
      break;
    case Request::Shape::OneRun:
      generator.WriteOneRun(static_cast<int>(request.amount));
      break;
  }
  out.Close();
  std::cout << "generate-log: " << request.path << ": " << out.Size() << " bytes, " << out.Lines()
            << " lines, " << generator.Entries() << " entries, " << generator.Runs() << " runs\n";
}

}  // namespace

int main(int argc, char** argv) {
  const auto request = ParseArguments(std::vector<std::string_view>(argv + 1, argv + argc));
  if (!request || (request->shape == Request::Shape::OneRun && request->amount > INT32_MAX)) {
    std::cerr << kUsage;
    return 2;
  }
  try {
    Generate(*request);
  } catch (const std::exception& error) {
    std::cerr << "generate-log: " << error.what() << '\n';
    return 1;
  }
  return 0;
}
