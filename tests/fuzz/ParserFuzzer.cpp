// Any bytes at all must parse, fold and decode without a crash, and leave a store that keeps
// its invariants.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "ParseAndCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string problem = ParseAndCheck({reinterpret_cast<const char*>(data), size});
  if (!problem.empty()) {
    std::fprintf(stderr, "store invariant broken: %s\n", problem.c_str());
    std::abort();
  }
  return 0;
}
