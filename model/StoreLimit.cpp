#include "StoreLimit.h"

#include <atomic>
#include <cctype>
#include <charconv>


namespace {

constexpr uint64_t kUnset = UINT64_MAX;
std::atomic<uint64_t> chosenLimit{kUnset};
constexpr size_t kPieceBytes = size_t{8} << 20;
std::atomic<size_t> chosenPieceBytes{kPieceBytes};
constexpr size_t kSearchBlockBytes = size_t{2} << 20;
std::atomic<size_t> chosenSearchBlockBytes{kSearchBlockBytes};
// A read of this size from the page cache takes a few milliseconds, and a read call per piece
// costs nothing beside the copy.
constexpr size_t kReadPieceBytes = size_t{4} << 20;
std::atomic<size_t> chosenReadPieceBytes{kReadPieceBytes};

}  // namespace

uint64_t InMemoryLimit() {
  const uint64_t chosen = chosenLimit.load();
  return chosen != kUnset ? chosen : kDefaultInMemory;
}

void SetInMemoryLimit(std::optional<uint64_t> bytes) {
  chosenLimit.store(bytes.value_or(kUnset));
}

size_t IndexedPieceBytes() {
  return chosenPieceBytes.load();
}

void SetIndexedPieceBytes(std::optional<size_t> bytes) {
  chosenPieceBytes.store(bytes.value_or(kPieceBytes));
}

size_t SearchBlockBytes() {
  return chosenSearchBlockBytes.load();
}

void SetSearchBlockBytes(std::optional<size_t> bytes) {
  chosenSearchBlockBytes.store(bytes.value_or(kSearchBlockBytes));
}

size_t ReadPieceBytes() {
  return chosenReadPieceBytes.load();
}

void SetReadPieceBytes(std::optional<size_t> bytes) {
  chosenReadPieceBytes.store(bytes.value_or(kReadPieceBytes));
}

std::optional<uint64_t> ParseByteSize(std::string_view text) {
  uint64_t number = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (error != std::errc() || end == text.data()) return std::nullopt;
  std::string_view unit = text.substr(static_cast<size_t>(end - text.data()));
  if (unit.empty()) return number;
  static constexpr std::string_view kUnits = "KMGT";
  const size_t power =
      kUnits.find(static_cast<char>(std::toupper(static_cast<unsigned char>(unit[0]))));
  if (power == std::string_view::npos) return std::nullopt;
  unit.remove_prefix(1);
  if (unit != "" && unit != "B" && unit != "b" && unit != "iB" && unit != "ib") return std::nullopt;
  const unsigned shift = 10 * static_cast<unsigned>(power + 1);
  if (number > (UINT64_MAX >> shift)) return std::nullopt;
  return number << shift;
}
