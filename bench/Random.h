#pragma once

#include <array>
#include <cstdint>
#include <random>
#include <utility>

// Seeded random choices for made-up log content. The engine's sequence is fixed by the standard,
// and the reduction to a range is our own, so a seed gives the same log with every library.
class Random {
 public:
  explicit Random(uint64_t seed) : engine_(seed) {}

  // A number from `low` to `high`, both included.
  int Between(int low, int high) {
    return low + static_cast<int>(engine_() % static_cast<uint64_t>(high - low + 1));
  }
  bool Percent(int chance) { return Between(1, 100) <= chance; }

  template <typename T, size_t N>
  const T& Pick(const std::array<T, N>& items) {
    return items[static_cast<size_t>(Between(0, static_cast<int>(N) - 1))];
  }

  // Two different items, such as the two ends of a plate move.
  template <typename T, size_t N>
  std::pair<const T&, const T&> PickTwo(const std::array<T, N>& items) {
    const int first = Between(0, static_cast<int>(N) - 1);
    const int second = (first + Between(1, static_cast<int>(N) - 1)) % static_cast<int>(N);
    return {items[static_cast<size_t>(first)], items[static_cast<size_t>(second)]};
  }

 private:
  std::mt19937_64 engine_;
};
